// Screen frames: base64 JPEG text to 24-bit bitmap rows, and what is refused.
#include "browser/frame_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

using cef_detail::DecodedFrame;
using cef_detail::FrameDecoder;
using cef_detail::RowBytes;

std::string Base64(const std::vector<std::uint8_t>& bytes) {
    static const char* alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = bytes[i] << 16 | bytes[i + 1] << 8 | bytes[i + 2];
        for (int s = 18; s >= 0; s -= 6) out += alphabet[(v >> s) & 63];
    }
    if (i + 1 == bytes.size()) {
        const unsigned v = bytes[i] << 16;
        out += {alphabet[v >> 18], alphabet[(v >> 12) & 63], '=', '='};
    } else if (i + 2 == bytes.size()) {
        const unsigned v = bytes[i] << 16 | bytes[i + 1] << 8;
        out += {alphabet[v >> 18], alphabet[(v >> 12) & 63], alphabet[(v >> 6) & 63], '='};
    }
    return out;
}

// A JPEG (quality 95) of an image whose left half is pure red and right half pure blue, as the
// engine sends it: base64 text.
std::string TwoColourJpeg(int width, int height) {
    std::vector<std::uint8_t> rgb(std::size_t(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &rgb[(std::size_t(y) * width + x) * 3];
            p[0] = x < width / 2 ? 255 : 0;
            p[2] = x < width / 2 ? 0 : 255;
        }
    }
    std::vector<std::uint8_t> jpeg;
    stbi_write_jpg_to_func(
        [](void* context, void* data, int size) {
            auto* out = static_cast<std::vector<std::uint8_t>*>(context);
            out->insert(out->end(), static_cast<std::uint8_t*>(data),
                        static_cast<std::uint8_t*>(data) + size);
        },
        &jpeg, width, height, 3, rgb.data(), 95);
    return Base64(jpeg);
}

// Blue, green, red of a pixel of the decoded rows.
std::vector<int> Bgr(const DecodedFrame& frame, int x, int y) {
    const std::uint8_t* p = &frame.rows[std::size_t(y) * RowBytes(frame.width) + x * 3];
    return {p[0], p[1], p[2]};
}

bool Near(const std::vector<int>& got, const std::vector<int>& want) {
    for (std::size_t i = 0; i < want.size(); ++i) {
        if (std::abs(got[i] - want[i]) > 16) return false;
    }
    return true;
}

TEST(FrameDecoder, DecodesToPaddedBlueGreenRedRows) {
    // Widths whose 3-byte rows need 0..3 bytes of padding.
    for (int width : {64, 65, 66, 67}) {
        SCOPED_TRACE(width);
        FrameDecoder decoder;
        DecodedFrame frame;
        ASSERT_TRUE(decoder.Decode(TwoColourJpeg(width, 24), frame));
        EXPECT_EQ(frame.width, width);
        EXPECT_EQ(frame.height, 24);
        EXPECT_EQ(frame.rows.size(), RowBytes(width) * 24);
        EXPECT_EQ(RowBytes(width) % 4, 0u);
        EXPECT_TRUE(Near(Bgr(frame, 4, 4), {0, 0, 255}));           // red, stored B G R
        EXPECT_TRUE(Near(Bgr(frame, width - 5, 19), {255, 0, 0}));  // blue
    }
}

TEST(FrameDecoder, OneDecoderFollowsChangingSizes) {
    // The decoder keeps its working memory from frame to frame: frames of other sizes in between
    // must still come out whole and right.
    FrameDecoder decoder;
    DecodedFrame frame;
    const int sizes[][2] = {{128, 72}, {40, 30}, {128, 72}, {130, 70}, {128, 72}};
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(testing::Message() << width << "x" << height);
        ASSERT_TRUE(decoder.Decode(TwoColourJpeg(width, height), frame));
        EXPECT_EQ(frame.width, width);
        EXPECT_EQ(frame.height, height);
        EXPECT_EQ(frame.rows.size(), RowBytes(width) * std::size_t(height));
        EXPECT_TRUE(Near(Bgr(frame, 2, height - 3), {0, 0, 255}));
        EXPECT_TRUE(Near(Bgr(frame, width - 3, 2), {255, 0, 0}));
    }
}

TEST(FrameDecoder, RefusesWhatIsNotAFrameAndKeepsTheLastOne) {
    const std::string good = TwoColourJpeg(32, 16);
    FrameDecoder decoder;
    const std::string cases[] = {
        "",
        "====",
        "not base64 at all!",
        Base64({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}),  // another format
        good.substr(0, good.size() / 3),                        // cut short
        good.substr(0, 40),                                     // header only
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.substr(0, 20));
        DecodedFrame frame;
        frame.rows = {1, 2, 3, 4};
        frame.width = 1;
        frame.height = 1;
        EXPECT_FALSE(decoder.Decode(text, frame));
        EXPECT_EQ(frame.rows, (std::vector<std::uint8_t>{1, 2, 3, 4}));
        EXPECT_EQ(frame.width, 1);
    }
}

TEST(FrameDecoder, RefusesAFrameLargerThanAllowedBeforeDecodingIt) {
    // A header claiming 20000 x 8 pixels; the image data after it is irrelevant.
    std::string text = TwoColourJpeg(16, 8);
    std::vector<std::uint8_t> bytes;
    {
        // Decode the base64 back, patch the width in the start-of-frame marker, encode again.
        const std::string alphabet =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        unsigned bits = 0;
        int count = 0;
        for (char c : text) {
            const auto v = alphabet.find(c);
            if (v == std::string::npos) break;
            bits = bits << 6 | unsigned(v);
            count += 6;
            if (count >= 8) {
                count -= 8;
                bytes.push_back(std::uint8_t(bits >> count));
            }
        }
    }
    bool patched = false;
    for (std::size_t i = 0; i + 8 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {  // baseline start of frame
            bytes[i + 7] = std::uint8_t(20000 >> 8);
            bytes[i + 8] = std::uint8_t(20000 & 0xFF);
            patched = true;
            break;
        }
    }
    ASSERT_TRUE(patched);
    FrameDecoder decoder;
    DecodedFrame frame;
    EXPECT_FALSE(decoder.Decode(Base64(bytes), frame));
    EXPECT_TRUE(frame.rows.empty());
}

}  // namespace
