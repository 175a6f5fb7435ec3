#include "screen_pixels.h"

#include <algorithm>

namespace korvex_test {

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

}  // namespace korvex_test

namespace korvex_test {

bool SavePng(const Pixels& pixels, const std::wstring& path) {
    if (pixels.width <= 0 || pixels.height <= 0) return false;
    Gdiplus::Bitmap bitmap(pixels.width, pixels.height, pixels.width * 4, PixelFormat32bppRGB,
                           reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(pixels.argb.data())));
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<BYTE> storage(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(storage.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(encoders[i].MimeType) == L"image/png")
            return bitmap.Save(path.c_str(), &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
    }
    return false;
}

}  // namespace korvex_test
