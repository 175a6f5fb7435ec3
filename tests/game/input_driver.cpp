#include "input_driver.h"

#include <cwchar>

namespace game_test {

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        if (::GetTickCount64() >= end) return false;
        ::Sleep(20);
    }
}

namespace {

struct ThreadWindowSearch {
    const wchar_t* caption;
    HWND found = nullptr;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<ThreadWindowSearch*>(lParam);
    wchar_t text[128] = {};
    ::GetWindowTextW(window, text, 128);
    if (::IsWindowVisible(window) && std::wcscmp(text, search->caption) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

INPUT KeyInput(const Key& key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key.vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key.vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (key.extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

}  // namespace

HWND WaitForThreadWindow(DWORD threadId, const wchar_t* caption, DWORD timeoutMs) {
    ThreadWindowSearch search{caption};
    WaitUntil(
        [&] {
            ::EnumThreadWindows(threadId, &MatchCaption, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

HWND FocusOfThread(DWORD threadId) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}

bool WaitForForeground(HWND window) {
    return WaitUntil([&] { return ::GetForegroundWindow() == window; });
}

bool TypeChord(const std::vector<Key>& keys) {
    std::vector<INPUT> inputs;
    for (const Key& key : keys) inputs.push_back(KeyInput(key, false));
    for (auto it = keys.end(); it != keys.begin();) inputs.push_back(KeyInput(*--it, true));
    const UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return sent == inputs.size();
}

bool ClickCentre(HWND window) {
    RECT rect{};
    if (!::GetWindowRect(window, &rect)) return false;
    const LONG width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0) return false;
    // The move travels with the button strokes: a cursor position set apart from them (with
    // SetCursorPos) can be overtaken by pointer motion the display reports late.
    INPUT inputs[3]{};
    for (INPUT& input : inputs) input.type = INPUT_MOUSE;
    inputs[0].mi.dx = ((rect.left + rect.right) / 2 * 65536 + width - 1) / width;
    inputs[0].mi.dy = ((rect.top + rect.bottom) / 2 * 65536 + height - 1) / height;
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return ::SendInput(3, inputs, sizeof(INPUT)) == 3;
}

LRESULT SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT fallback) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kStepTimeoutMs,
                               &result)) {
        return fallback;
    }
    return static_cast<LRESULT>(result);
}

std::vector<DWORD> ClientPixels(HWND window) {
    // Paint whatever is pending first; the window's own thread does it while this one waits.
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT client{};
    if (!::GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0) return {};
    const int width = client.right, height = client.bottom;

    std::vector<DWORD> pixels;
    HDC windowDc = ::GetDC(window);
    HDC memoryDc = ::CreateCompatibleDC(windowDc);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(memoryDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        HGDIOBJ old = ::SelectObject(memoryDc, bitmap);
        if (::BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY)) {
            ::GdiFlush();
            const auto* first = static_cast<const DWORD*>(bits);
            pixels.assign(first, first + static_cast<std::size_t>(width) * height);
        }
        ::SelectObject(memoryDc, old);
        ::DeleteObject(bitmap);
    }
    ::DeleteDC(memoryDc);
    ::ReleaseDC(window, windowDc);
    return pixels;
}

}  // namespace game_test
