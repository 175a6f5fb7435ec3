// A picture decoded by GDI+ into 32-bit ARGB pixels, with the pixel format GDI+ reported.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

struct DecodedImage {
    bool ok = false;  // GDI+ decoded it
    unsigned width = 0, height = 0;
    INT pixelFormat = 0;              // Gdiplus::PixelFormat of the decoded image
    std::vector<std::uint32_t> argb;  // width * height pixels, row by row

    std::uint32_t at(unsigned x, unsigned y) const { return argb[std::size_t(y) * width + x]; }
    static unsigned alpha(std::uint32_t p) { return p >> 24; }
    static unsigned red(std::uint32_t p) { return (p >> 16) & 0xFF; }
    static unsigned green(std::uint32_t p) { return (p >> 8) & 0xFF; }
    static unsigned blue(std::uint32_t p) { return p & 0xFF; }
};

DecodedImage DecodeWithGdiplus(std::span<const std::uint8_t> bytes);

// Alpha-weighted centre and brightness of a picture: where and how bright its visible part is.
struct InkMeasure {
    double x = 0, y = 0, luminance = 0;
};
InkMeasure MeasureInk(const DecodedImage& image);
