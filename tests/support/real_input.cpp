#include "real_input.h"

#include <algorithm>

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

}  // namespace korvex_test
