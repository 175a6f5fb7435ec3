// Pixels read back from windows, the screen and drawings, and a 32-bit premultiplied-alpha
// drawing surface to make expected pictures with.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace korvex_test {

// 32-bit pixels, row by row, 0xAARRGGBB.
struct Pixels {
    int width = 0, height = 0;
    std::vector<std::uint32_t> argb;

    std::uint32_t at(int x, int y) const { return argb[std::size_t(y) * width + x]; }
    std::uint32_t& at(int x, int y) { return argb[std::size_t(y) * width + x]; }
    Pixels Crop(const RECT& r) const;
    friend bool operator==(const Pixels&, const Pixels&) = default;
};
inline unsigned Red(std::uint32_t p) { return (p >> 16) & 0xFF; }
inline unsigned Green(std::uint32_t p) { return (p >> 8) & 0xFF; }
inline unsigned Blue(std::uint32_t p) { return p & 0xFF; }
inline unsigned Alpha(std::uint32_t p) { return p >> 24; }
inline std::uint32_t Rgb(std::uint32_t p) { return p & 0xFFFFFF; }

// Writes the pixels as a PNG file (GDI+ must be running); false when it could not.
bool SavePng(const Pixels& pixels, const std::wstring& path);

// What a window's client area shows now, read from its own device context.
Pixels CaptureClient(HWND window);
// What the screen shows in a rectangle of screen coordinates.
Pixels CaptureScreen(const RECT& screen);

// A 32-bit premultiplied-alpha drawing surface: a DIB section in a memory device context, with
// a GDI+ surface on it.
class Canvas {
  public:
    Canvas(int width, int height, std::uint32_t fill = 0);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return m_dc; }
    Gdiplus::Graphics& graphics() { return *m_graphics; }
    // The pixels drawn so far (GDI+ work flushed first).
    Pixels Read();
    void Fill(std::uint32_t argb);

  private:
    int m_width, m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    std::uint32_t* m_bits = nullptr;
    std::unique_ptr<Gdiplus::Graphics> m_graphics;
};

}  // namespace korvex_test
