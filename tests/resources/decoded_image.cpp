#include "decoded_image.h"

#include <objidl.h>
#include <shlwapi.h>
// GDI+ after the COM headers it builds on.
#include <gdiplus.h>

#include <cstring>
#include <memory>

DecodedImage DecodeWithGdiplus(std::span<const std::uint8_t> bytes) {
    DecodedImage image;
    IStream* stream = SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size()));
    if (!stream) return image;
    {
        std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
        if (bitmap && bitmap->GetLastStatus() == Gdiplus::Ok) {
            image.width = bitmap->GetWidth();
            image.height = bitmap->GetHeight();
            image.pixelFormat = bitmap->GetPixelFormat();
            Gdiplus::Rect all(0, 0, static_cast<INT>(image.width), static_cast<INT>(image.height));
            Gdiplus::BitmapData data{};
            if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) ==
                Gdiplus::Ok) {
                image.argb.resize(std::size_t(image.width) * image.height);
                for (unsigned y = 0; y < image.height; ++y) {
                    auto* row = static_cast<const std::uint8_t*>(data.Scan0) +
                                std::ptrdiff_t(y) * data.Stride;
                    std::memcpy(&image.argb[std::size_t(y) * image.width], row, image.width * 4u);
                }
                bitmap->UnlockBits(&data);
                image.ok = true;
            }
        }
    }
    stream->Release();
    return image;
}

InkMeasure MeasureInk(const DecodedImage& image) {
    double sum = 0, sx = 0, sy = 0, lum = 0;
    for (unsigned y = 0; y < image.height; ++y) {
        for (unsigned x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.at(x, y);
            const double a = DecodedImage::alpha(p);
            sum += a;
            sx += a * x;
            sy += a * y;
            lum += a * (0.299 * DecodedImage::red(p) + 0.587 * DecodedImage::green(p) +
                        0.114 * DecodedImage::blue(p));
        }
    }
    if (sum == 0) return {};
    return {sx / sum, sy / sum, lum / sum};
}
