#include "real_input.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <vector>

#include "message_pump.h"

namespace korvex_test {
namespace {

// Screen coordinates in the 0..65535 range of absolute mouse input.
LONG Absolute(LONG value, int metric) {
    const int extent = ::GetSystemMetrics(metric);
    return static_cast<LONG>((value * 65535 + extent / 2) / std::max(1, extent - 1));
}

}  // namespace

void MoveMouseTo(POINT screen) {
    ::SetCursorPos(screen.x, screen.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = Absolute(screen.x, SM_CXSCREEN);
    input.mi.dy = Absolute(screen.y, SM_CYSCREEN);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof input);
}

void LeftButton(bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &input, sizeof input);
}

void RightButton(bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    ::SendInput(1, &input, sizeof input);
}

void PressKeys(std::initializer_list<WORD> virtualKeys) {
    auto key = [](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = WORD(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        const bool extended = vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN ||
                              vk == VK_INSERT || vk == VK_DELETE || vk == VK_HOME || vk == VK_END ||
                              vk == VK_PRIOR || vk == VK_NEXT;
        input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
        return input;
    };
    std::vector<INPUT> inputs;
    for (WORD vk : virtualKeys) inputs.push_back(key(vk, false));
    for (auto it = std::rbegin(virtualKeys); it != std::rend(virtualKeys); ++it)
        inputs.push_back(key(*it, true));
    ::SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

void TapKey(WORD virtualKey) {
    INPUT keys[2]{};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = virtualKey;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, keys, sizeof(INPUT));
}

POINT ScreenPoint(HWND window, POINT client) {
    ::ClientToScreen(window, &client);
    return client;
}

RECT WindowRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

// One pixel in the screen's bottom-left corner: out of the way of what tests look at and out
// of their screenshots.
Typist::Typist() {
    window_ = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE, 0,
                                ::GetSystemMetrics(SM_CYSCREEN) - 1, 1, 1, nullptr, nullptr,
                                ::GetModuleHandleW(nullptr), nullptr);
    ::SetForegroundWindow(window_);
    ::SetFocus(window_);
    PumpFor(std::chrono::milliseconds(300));
}

Typist::~Typist() { ::DestroyWindow(window_); }

}  // namespace korvex_test
