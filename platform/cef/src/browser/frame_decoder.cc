#include "browser/frame_decoder.h"

#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include <turbojpeg.h>

namespace cef_detail {

// Blocks the image decoder has given back, kept for its next frame instead of being returned
// to the system (fresh blocks come as new pages, each faulted in on first touch). Every block
// carries its size in front of it.
class BlockCache {
  public:
    ~BlockCache() {
        for (Block* block : free_) std::free(block);
    }

    void* Allocate(std::size_t size) {
        for (auto it = free_.begin(); it != free_.end(); ++it) {
            Block* block = *it;
            if (block->capacity >= size && block->capacity <= size + size / 4) {
                free_.erase(it);
                return block + 1;
            }
        }
        auto* block = static_cast<Block*>(std::malloc(sizeof(Block) + size));
        if (!block) return nullptr;
        block->capacity = size;
        return block + 1;
    }

    void Free(void* data) {
        if (!data) return;
        if (free_.size() == kKept) {
            std::free(free_.front());
            free_.erase(free_.begin());
        }
        free_.push_back(static_cast<Block*>(data) - 1);
    }

    void* Reallocate(void* data, std::size_t size) {
        if (!data) return Allocate(size);
        const Block* block = static_cast<Block*>(data) - 1;
        if (block->capacity >= size) return data;
        void* bigger = Allocate(size);
        if (!bigger) return nullptr;  // the old block stays the caller's, as with realloc
        std::memcpy(bigger, data, block->capacity);
        Free(data);
        return bigger;
    }

  private:
    // 16 bytes, so a block keeps the alignment malloc gave it.
    struct Block {
        std::size_t capacity;
        unsigned char padding[16 - sizeof(std::size_t)];
    };
    static constexpr std::size_t kKept = 16;
    std::vector<Block*> free_;
};

namespace {

// The cache of the decoder running on this thread, set for the whole of each decode: the image
// decoder is called nowhere else. (A plain pointer: thread-local objects with destructors are
// not safe with every thread library.)
thread_local BlockCache* t_blocks = nullptr;

void* CachedMalloc(std::size_t size) { return t_blocks->Allocate(size); }
void CachedFree(void* data) { t_blocks->Free(data); }
// The PNG decoder grows its inflated data block by block.
void* CachedRealloc(void* data, std::size_t size) { return t_blocks->Reallocate(data, size); }

}  // namespace
}  // namespace cef_detail

// Debian's stb_image for the lossless pictures (PNG), from memory only, with the cache above.
#define STBI_MALLOC(size) cef_detail::CachedMalloc(size)
#define STBI_FREE(data) cef_detail::CachedFree(data)
#define STBI_REALLOC(data, size) cef_detail::CachedRealloc(data, size)
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace cef_detail {
namespace {

// Standard base64, four characters at a time; stops at the first character outside the
// alphabet (padding included).
bool DecodeBase64(std::string_view text, std::vector<std::uint8_t>& out) {
    static const std::array<std::int8_t, 256> table = [] {
        std::array<std::int8_t, 256> t{};
        t.fill(-1);
        const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i) t[std::uint8_t(alphabet[i])] = std::int8_t(i);
        return t;
    }();
    out.resize(text.size() / 4 * 3 + 3);
    std::uint8_t* o = out.data();
    const auto* in = reinterpret_cast<const std::uint8_t*>(text.data());
    std::size_t left = text.size();
    for (; left >= 4; in += 4, left -= 4) {
        const int a = table[in[0]], b = table[in[1]], c = table[in[2]], d = table[in[3]];
        if ((a | b | c | d) < 0) break;
        const std::uint32_t v = std::uint32_t(a) << 18 | std::uint32_t(b) << 12 |
                                std::uint32_t(c) << 6 | std::uint32_t(d);
        o[0] = std::uint8_t(v >> 16);
        o[1] = std::uint8_t(v >> 8);
        o[2] = std::uint8_t(v);
        o += 3;
    }
    // The last, partial group (before padding or the end).
    std::uint32_t bits = 0;
    int count = 0;
    for (; left > 0; ++in, --left) {
        const int value = table[*in];
        if (value < 0) break;
        bits = (bits << 6) | std::uint32_t(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            *o++ = std::uint8_t(bits >> count);
        }
    }
    out.resize(std::size_t(o - out.data()));
    return !out.empty();
}

// stb's red, green, blue, alpha bytes to the bitmap's 0xFFRRGGBB. A loop the compiler turns
// into vector code.
void ToBitmapPixels(const std::uint8_t* rgba, std::uint32_t* out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t p;  // 0xAABBGGRR
        std::memcpy(&p, rgba + i * 4, 4);
        out[i] = 0xFF000000u | (p & 0xFFu) << 16 | (p & 0xFF00u) | (p >> 16 & 0xFFu);
    }
}

bool SensibleSize(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxFrameSide && height <= kMaxFrameSide;
}

// Makes the decoder's cache the one stb allocates from, for one decode.
class UseBlocks {
  public:
    explicit UseBlocks(BlockCache* cache) { t_blocks = cache; }
    ~UseBlocks() { t_blocks = nullptr; }
    UseBlocks(const UseBlocks&) = delete;
    UseBlocks& operator=(const UseBlocks&) = delete;
};

}  // namespace

FrameDecoder::FrameDecoder() : blocks_(std::make_unique<BlockCache>()), jpeg_(tjInitDecompress()) {}

FrameDecoder::~FrameDecoder() {
    if (jpeg_) tjDestroy(jpeg_);
}

bool FrameDecoder::Decode(std::string_view base64_image, DecodedFrame& frame) {
    if (!DecodeBase64(base64_image, bytes_) || bytes_.size() > std::size_t(INT32_MAX)) return false;
    // Every JPEG begins with its start-of-image marker.
    if (bytes_.size() >= 2 && bytes_[0] == 0xFF && bytes_[1] == 0xD8) return DecodeJpeg(frame);
    return DecodePng(frame);
}

// Straight into the bitmap's layout: libjpeg-turbo writes blue, green, red and 0xFF itself.
bool FrameDecoder::DecodeJpeg(DecodedFrame& frame) {
    if (!jpeg_) return false;
    const auto size = static_cast<unsigned long>(bytes_.size());
    int width = 0, height = 0, subsampling = 0, colours = 0;
    // The size first, from the header alone: nothing is decoded for an absurd picture.
    if (tjDecompressHeader3(jpeg_, bytes_.data(), size, &width, &height, &subsampling, &colours) !=
            0 ||
        !SensibleSize(width, height)) {
        return false;
    }
    spare_.resize(std::size_t(width) * std::size_t(height));
    // A warning (a picture cut short, a corrupt stream) fails too: it is not shown.
    if (tjDecompress2(jpeg_, bytes_.data(), size, reinterpret_cast<unsigned char*>(spare_.data()),
                      width, width * 4, height, TJPF_BGRX, 0) != 0) {
        return false;
    }
    frame.pixels.swap(spare_);
    frame.width = width;
    frame.height = height;
    return true;
}

bool FrameDecoder::DecodePng(DecodedFrame& frame) {
    UseBlocks use(blocks_.get());
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes_.data(), int(bytes_.size()), &width, &height, &channels) ||
        !SensibleSize(width, height)) {
        return false;
    }
    // Four channels: stb's vector colour conversion serves only that layout.
    stbi_uc* rgba =
        stbi_load_from_memory(bytes_.data(), int(bytes_.size()), &width, &height, &channels, 4);
    if (!rgba) return false;
    const std::size_t count = std::size_t(width) * std::size_t(height);
    frame.pixels.resize(count);
    ToBitmapPixels(rgba, frame.pixels.data(), count);
    stbi_image_free(rgba);
    frame.width = width;
    frame.height = height;
    return true;
}

}  // namespace cef_detail
