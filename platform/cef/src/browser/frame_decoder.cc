#include "browser/frame_decoder.h"

#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>

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
// The JPEG decoder never grows a block, but the allocator must come whole.
[[maybe_unused]] void* CachedRealloc(void* data, std::size_t size) {
    return t_blocks->Reallocate(data, size);
}

}  // namespace
}  // namespace cef_detail

// Debian's stb_image, JPEG only, from memory only, with the cache above.
#define STBI_MALLOC(size) cef_detail::CachedMalloc(size)
#define STBI_FREE(data) cef_detail::CachedFree(data)
#define STBI_REALLOC(data, size) cef_detail::CachedRealloc(data, size)
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace cef_detail {
namespace {

// Standard base64; stops at the first character outside the alphabet (padding included).
bool DecodeBase64(std::string_view text, std::vector<std::uint8_t>& out) {
    static const std::array<std::int8_t, 256> table = [] {
        std::array<std::int8_t, 256> t{};
        t.fill(-1);
        const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i) t[std::uint8_t(alphabet[i])] = std::int8_t(i);
        return t;
    }();
    out.clear();
    out.reserve(text.size() / 4 * 3 + 3);
    std::uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        const int value = table[std::uint8_t(c)];
        if (value < 0) break;
        bits = (bits << 6) | std::uint32_t(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(std::uint8_t(bits >> count));
        }
    }
    return !out.empty();
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

FrameDecoder::FrameDecoder() : blocks_(std::make_unique<BlockCache>()) {}
FrameDecoder::~FrameDecoder() = default;

bool FrameDecoder::Decode(std::string_view base64_jpeg, DecodedFrame& frame) {
    if (!DecodeBase64(base64_jpeg, bytes_) || bytes_.size() > std::size_t(INT32_MAX)) return false;
    UseBlocks use(blocks_.get());
    int width = 0, height = 0, channels = 0;
    // The size first, from the header alone: nothing is decoded for an absurd frame.
    if (!stbi_info_from_memory(bytes_.data(), int(bytes_.size()), &width, &height, &channels) ||
        width <= 0 || height <= 0 || width > kMaxFrameSide || height > kMaxFrameSide) {
        return false;
    }
    stbi_uc* rgb =
        stbi_load_from_memory(bytes_.data(), int(bytes_.size()), &width, &height, &channels, 3);
    if (!rgb) return false;
    const std::size_t stride = RowBytes(width);
    frame.rows.resize(stride * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        const stbi_uc* in = rgb + std::size_t(y) * std::size_t(width) * 3;
        std::uint8_t* out = frame.rows.data() + std::size_t(y) * stride;
        for (int x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    stbi_image_free(rgb);
    frame.width = width;
    frame.height = height;
    return true;
}

}  // namespace cef_detail
