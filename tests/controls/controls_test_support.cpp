#include "controls_test_support.h"

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstring>

namespace controls_test {

namespace {

#ifdef _WIN64
// One entry of the GDI handle table that the process environment block points to (the same
// layout on 64-bit Windows and in Wine).
struct GdiHandleEntry {
    std::uint64_t kernelObject;
    std::uint16_t processId;
    std::uint16_t count;
    std::uint16_t unique;
    std::uint8_t type;  // 0: a free entry
    std::uint8_t flags;
    std::uint64_t userObject;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr std::size_t kGdiHandleTableEntries = 0x10000;
constexpr std::size_t kPebGdiSharedHandleTable = 0xF8;

// Wine keeps a table of the process's own objects only.
int CountGdiHandleTable() {
    PROCESS_BASIC_INFORMATION info{};
    if (::NtQueryInformationProcess(::GetCurrentProcess(), ProcessBasicInformation, &info,
                                    sizeof info, nullptr) != 0)
        return -1;
    const auto* peb = reinterpret_cast<const std::uint8_t*>(info.PebBaseAddress);
    const auto* table =
        *reinterpret_cast<const GdiHandleEntry* const*>(peb + kPebGdiSharedHandleTable);
    if (table == nullptr) return -1;
    int live = 0;
    for (std::size_t i = 0; i < kGdiHandleTableEntries; ++i) live += table[i].type != 0;
    return live;
}
#endif

// Screen coordinates in the 0..65535 range of absolute mouse input.
LONG Absolute(LONG value, int metric) {
    const int extent = ::GetSystemMetrics(metric);
    return static_cast<LONG>((value * 65535 + extent / 2) / std::max(1, extent - 1));
}

constexpr DWORD kPumpLimitMs = 15000;
constexpr DWORD kSettleMs = 150;

}  // namespace

int GdiObjectCount() {
    const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0) return static_cast<int>(counted);
#ifdef _WIN64
    return CountGdiHandleTable();
#else
    return -1;
#endif
}

std::size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    // Wine fills only the page-file figure, which it takes from the process's private pages.
    return std::max<std::size_t>(counters.PrivateUsage, counters.PagefileUsage);
}

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

void PumpPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        PumpPending();
        if (done()) return true;
        if (::GetTickCount() - start > kPumpLimitMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void Settle() {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < kSettleMs) {
        PumpPending();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    PumpPending();
}

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

Pixels Pixels::Crop(const RECT& r) const {
    Pixels out;
    out.width = std::max(0L, std::min<LONG>(r.right, width) - std::max(0L, r.left));
    out.height = std::max(0L, std::min<LONG>(r.bottom, height) - std::max(0L, r.top));
    out.argb.reserve(std::size_t(out.width) * out.height);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) out.argb.push_back(at(r.left + x, r.top + y));
    return out;
}

namespace {

// Copies `width` x `height` pixels at (x, y) of `source` into a fresh 32-bit bitmap.
Pixels Copy(HDC source, int x, int y, int width, int height) {
    Pixels out;
    if (width <= 0 || height <= 0) return out;
    Canvas canvas(width, height);
    ::BitBlt(canvas.dc(), 0, 0, width, height, source, x, y, SRCCOPY);
    out = canvas.Read();
    for (std::uint32_t& p : out.argb) p = Rgb(p) | 0xFF000000;  // GDI leaves alpha undefined
    return out;
}

}  // namespace

Pixels CaptureClient(HWND window) {
    RECT client{};
    ::GetClientRect(window, &client);
    HDC dc = ::GetDC(window);
    Pixels out = Copy(dc, 0, 0, client.right, client.bottom);
    ::ReleaseDC(window, dc);
    return out;
}

Pixels CaptureScreen(const RECT& screen) {
    HDC dc = ::GetDC(nullptr);
    Pixels out =
        Copy(dc, screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top);
    ::ReleaseDC(nullptr, dc);
    return out;
}

Canvas::Canvas(int width, int height, std::uint32_t fill) : m_width(width), m_height(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = ::CreateCompatibleDC(nullptr);
    m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<std::uint32_t*>(bits);
    m_previous = ::SelectObject(m_dc, m_bitmap);
    Fill(fill);
    m_graphics = std::make_unique<Gdiplus::Graphics>(m_dc);
}

Canvas::~Canvas() {
    m_graphics.reset();
    ::SelectObject(m_dc, m_previous);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_dc);
}

void Canvas::Fill(std::uint32_t argb) {
    ::GdiFlush();
    if (m_bits != nullptr) std::fill(m_bits, m_bits + std::size_t(m_width) * m_height, argb);
}

Pixels Canvas::Read() {
    if (m_graphics) m_graphics->Flush(Gdiplus::FlushIntentionSync);
    ::GdiFlush();
    Pixels out;
    out.width = m_width;
    out.height = m_height;
    if (m_bits != nullptr) out.argb.assign(m_bits, m_bits + std::size_t(m_width) * m_height);
    return out;
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
