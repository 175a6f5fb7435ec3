// Turns the engine's pictures (base64 text of a screencast's JPEG frame or of a lossless PNG
// capture) into 32-bit pixels in the layout of a top-down 32-bit device-independent bitmap:
// blue, green, red and an unused byte (0xFF: the picture is opaque), rows of exactly width
// pixels. JPEG through libjpeg-turbo, PNG through stb_image.
// Free of Win32.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace cef_detail {

struct DecodedFrame {
    std::vector<std::uint32_t> pixels;  // width * height, row by row from the top, 0xFFRRGGBB
    int width = 0;
    int height = 0;
};

// Pictures larger than this on either side are refused.
constexpr int kMaxFrameSide = 16384;

class BlockCache;

// One per decoding thread: it keeps the working memory of one picture for the next, since
// pictures of a size need the same large blocks 25 times a second.
class FrameDecoder {
  public:
    FrameDecoder();
    ~FrameDecoder();
    FrameDecoder(const FrameDecoder&) = delete;
    FrameDecoder& operator=(const FrameDecoder&) = delete;

    // False, with frame left as it was, for text that is not base64 of a JPEG or PNG image of a
    // sensible size. frame's storage is reused from call to call.
    bool Decode(std::string_view base64_image, DecodedFrame& frame);

  private:
    bool DecodeJpeg(DecodedFrame& frame);
    bool DecodePng(DecodedFrame& frame);

    std::vector<std::uint8_t> bytes_;
    std::unique_ptr<BlockCache> blocks_;
    void* jpeg_ = nullptr;              // libjpeg-turbo's decompressor (tjhandle)
    std::vector<std::uint32_t> spare_;  // a JPEG is decoded here, then swapped into the frame
};

}  // namespace cef_detail
