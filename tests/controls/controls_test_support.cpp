#include "controls_test_support.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstring>

namespace controls_test {

int HeapBlocksHolding(std::span<const std::uint8_t> bytes) {
    HANDLE heap = ::GetProcessHeap();
    if (!::HeapLock(heap)) return -1;
    int found = 0;
    PROCESS_HEAP_ENTRY entry{};
    while (::HeapWalk(heap, &entry)) {
        if (!(entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)) continue;
        if (entry.cbData != bytes.size()) continue;
        found += std::memcmp(entry.lpData, bytes.data(), bytes.size()) == 0;
    }
    ::HeapUnlock(heap);
    return found;
}

std::span<const std::uint8_t> ResourceBytes(LPCWSTR type, UINT id) {
    HMODULE self = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceW(self, MAKEINTRESOURCEW(id), type);
    if (info == nullptr) return {};
    HGLOBAL data = ::LoadResource(self, info);
    const auto* bytes = static_cast<const std::uint8_t*>(::LockResource(data));
    return {bytes, bytes != nullptr ? ::SizeofResource(self, info) : 0};
}

InkBox FindInk(const Pixels& pixels, std::uint32_t ground, const RECT* within) {
    RECT area{0, 0, pixels.width, pixels.height};
    if (within != nullptr) ::IntersectRect(&area, &area, within);
    InkBox box;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (Rgb(pixels.at(x, y)) == Rgb(ground)) continue;
            if (!box.any) {
                box = {true, x, y, x + 1, y + 1};
                continue;
            }
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x + 1);
            box.bottom = std::max(box.bottom, y + 1);
        }
    }
    return box;
}

TextSample SampleText(const wchar_t* text, HFONT font) {
    TextSample sample;
    const int length = static_cast<int>(std::wcslen(text));
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ previous = ::SelectObject(screen, font);
    ::GetTextExtentPoint32W(screen, text, length, &sample.extent);
    ::SelectObject(screen, previous);
    ::ReleaseDC(nullptr, screen);

    Canvas canvas(std::max(1L, sample.extent.cx + 8), std::max(1L, sample.extent.cy + 8),
                  0xFF000000);
    previous = ::SelectObject(canvas.dc(), font);
    ::SetBkMode(canvas.dc(), TRANSPARENT);
    ::SetTextColor(canvas.dc(), RGB(255, 255, 255));
    ::TextOutW(canvas.dc(), 0, 0, text, length);
    ::SelectObject(canvas.dc(), previous);
    sample.ink = FindInk(canvas.Read(), 0xFF000000);
    return sample;
}

LPCWSTR PlainWindowClass() {
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = ::CreateSolidBrush(RGB(64, 96, 128));
        wc.lpszClassName = L"ControlsTestPlain";
        return ::RegisterClassW(&wc);
    }();
    return atom != 0 ? L"ControlsTestPlain" : nullptr;
}

}  // namespace controls_test
