// Turns screencast frames of the engine (base64 text of a JPEG image) into the rows of a 24-bit
// top-down device-independent bitmap: blue, green, red, each row padded to 4 bytes.
// Free of Win32.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace cef_detail {

struct DecodedFrame {
    std::vector<std::uint8_t> rows;  // height * RowBytes(width) bytes
    int width = 0;
    int height = 0;
};

// Bytes of one row of a 24-bit bitmap of the given width.
constexpr std::size_t RowBytes(int width) { return (std::size_t(width) * 3 + 3) & ~std::size_t(3); }

// Frames larger than this on either side are refused.
constexpr int kMaxFrameSide = 16384;

class BlockCache;

// One per decoding thread: it keeps the working memory of one frame for the next, since
// frames of a size need the same large blocks 25 times a second.
class FrameDecoder {
  public:
    FrameDecoder();
    ~FrameDecoder();
    FrameDecoder(const FrameDecoder&) = delete;
    FrameDecoder& operator=(const FrameDecoder&) = delete;

    // False, with frame left as it was, for text that is not base64 of a JPEG image of a
    // sensible size. frame's storage is reused from call to call.
    bool Decode(std::string_view base64_jpeg, DecodedFrame& frame);

  private:
    std::vector<std::uint8_t> bytes_;
    std::unique_ptr<BlockCache> blocks_;
};

}  // namespace cef_detail
