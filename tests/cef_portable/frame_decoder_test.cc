// The engine's pictures: base64 JPEG frames and lossless PNG captures to 32-bit bitmap pixels,
// and what is refused.
#include "browser/frame_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

using cef_detail::DecodedFrame;
using cef_detail::FrameDecoder;

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

void Append(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    out->insert(out->end(), static_cast<std::uint8_t*>(data),
                static_cast<std::uint8_t*>(data) + size);
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
    stbi_write_jpg_to_func(Append, &jpeg, width, height, 3, rgb.data(), 95);
    return Base64(jpeg);
}

// The colour (0x00RRGGBB) of a pixel of the exact picture: one-pixel stripes and checks of pure
// colours, which a lossy picture smears, over a ramp of every level.
std::uint32_t ExactColour(int x, int y) {
    if (y % 4 == 0) return (x + y) % 2 ? 0xFF0000u : 0x0000FFu;
    return std::uint32_t(x & 0xFF) << 16 | std::uint32_t(y & 0xFF) << 8 |
           std::uint32_t((x ^ y) & 0xFF);
}

// The exact picture as the engine's lossless capture sends it: a PNG of 3 or 4 channels (the
// alpha opaque), base64 text.
std::string ExactPng(int width, int height, int channels) {
    std::vector<std::uint8_t> pixels(std::size_t(width) * height * channels);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &pixels[(std::size_t(y) * width + x) * channels];
            const std::uint32_t c = ExactColour(x, y);
            p[0] = std::uint8_t(c >> 16);
            p[1] = std::uint8_t(c >> 8);
            p[2] = std::uint8_t(c);
            if (channels == 4) p[3] = 255;
        }
    }
    std::vector<std::uint8_t> png;
    stbi_write_png_to_func(Append, &png, width, height, channels, pixels.data(), width * channels);
    return Base64(png);
}

// Red, green, blue of a pixel of the decoded picture.
std::vector<int> Rgb(const DecodedFrame& frame, int x, int y) {
    const std::uint32_t p = frame.pixels[std::size_t(y) * std::size_t(frame.width) + x];
    return {int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)};
}

bool Near(const std::vector<int>& got, const std::vector<int>& want) {
    for (std::size_t i = 0; i < want.size(); ++i) {
        if (std::abs(got[i] - want[i]) > 16) return false;
    }
    return true;
}

// Pixels of the decoded picture that differ from the exact picture.
int Wrong(const DecodedFrame& frame) {
    int wrong = 0;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            wrong += frame.pixels[std::size_t(y) * std::size_t(frame.width) + x] !=
                     (0xFF000000u | ExactColour(x, y));
        }
    }
    return wrong;
}

TEST(FrameDecoder, DecodesAJpegFrameToBitmapPixels) {
    // Odd and even widths: the rows are exactly width pixels, no padding.
    for (int width : {64, 65, 66, 67}) {
        SCOPED_TRACE(width);
        FrameDecoder decoder;
        DecodedFrame frame;
        ASSERT_TRUE(decoder.Decode(TwoColourJpeg(width, 24), frame));
        EXPECT_EQ(frame.width, width);
        EXPECT_EQ(frame.height, 24);
        EXPECT_EQ(frame.pixels.size(), std::size_t(width) * 24);
        EXPECT_TRUE(Near(Rgb(frame, 4, 4), {255, 0, 0}));
        EXPECT_TRUE(Near(Rgb(frame, width - 5, 19), {0, 0, 255}));
        EXPECT_EQ(frame.pixels[0] >> 24, 0xFFu) << "the unused byte says opaque";
    }
}

struct LosslessCase {
    const char* name;
    int width, height, channels;
};

class LosslessPicture : public testing::TestWithParam<LosslessCase> {};

TEST_P(LosslessPicture, ComesOutExactly) {
    const LosslessCase& c = GetParam();
    FrameDecoder decoder;
    DecodedFrame frame;
    ASSERT_TRUE(decoder.Decode(ExactPng(c.width, c.height, c.channels), frame));
    ASSERT_EQ(frame.width, c.width);
    ASSERT_EQ(frame.height, c.height);
    ASSERT_EQ(frame.pixels.size(), std::size_t(c.width) * std::size_t(c.height));
    EXPECT_EQ(Wrong(frame), 0);
}

INSTANTIATE_TEST_SUITE_P(
    FrameDecoder, LosslessPicture,
    testing::Values(LosslessCase{"rgb", 301, 77, 3}, LosslessCase{"rgba", 301, 77, 4},
                    LosslessCase{"one_pixel", 1, 1, 3}, LosslessCase{"one_row", 257, 1, 4},
                    LosslessCase{"one_column", 1, 129, 3}),
    [](const testing::TestParamInfo<LosslessCase>& info) { return std::string(info.param.name); });

TEST(FrameDecoder, ReadsBase64WithOrWithoutPaddingAndStopsAtItsEnd) {
    // Pictures whose base64 ends in no, one and two padding characters.
    for (int width : {5, 6, 7, 8, 9}) {
        const std::string text = ExactPng(width, 3, 3);
        SCOPED_TRACE(testing::Message() << width << " pixels, " << text.size() % 4 << " "
                                        << std::count(text.begin(), text.end(), '='));
        std::string unpadded = text;
        while (!unpadded.empty() && unpadded.back() == '=') unpadded.pop_back();
        for (const std::string& variant : {text, unpadded, text + "\"trailing\""}) {
            FrameDecoder decoder;
            DecodedFrame frame;
            ASSERT_TRUE(decoder.Decode(variant, frame));
            EXPECT_EQ(frame.width, width);
            EXPECT_EQ(Wrong(frame), 0);
        }
    }
}

TEST(FrameDecoder, OneDecoderFollowsChangingSizesAndKinds) {
    // The decoder keeps its working memory from picture to picture: pictures of other sizes and
    // kinds in between must still come out whole and right.
    FrameDecoder decoder;
    DecodedFrame frame;
    const int sizes[][3] = {{128, 72, 0}, {40, 30, 0}, {128, 72, 4},
                            {130, 70, 0}, {64, 64, 3}, {128, 72, 0}};
    for (const auto& [width, height, png_channels] : sizes) {
        SCOPED_TRACE(testing::Message() << width << "x" << height << " png " << png_channels);
        const bool png = png_channels != 0;
        ASSERT_TRUE(decoder.Decode(
            png ? ExactPng(width, height, png_channels) : TwoColourJpeg(width, height), frame));
        EXPECT_EQ(frame.width, width);
        EXPECT_EQ(frame.height, height);
        EXPECT_EQ(frame.pixels.size(), std::size_t(width) * std::size_t(height));
        if (png) {
            EXPECT_EQ(Wrong(frame), 0);
        } else {
            EXPECT_TRUE(Near(Rgb(frame, 2, height - 3), {255, 0, 0}));
            EXPECT_TRUE(Near(Rgb(frame, width - 3, 2), {0, 0, 255}));
        }
    }
}

TEST(FrameDecoder, RefusesWhatIsNotAFrameAndKeepsTheLastOne) {
    const std::string good = TwoColourJpeg(32, 16);
    FrameDecoder decoder;
    const std::string cases[] = {
        "",
        "====",
        "not base64 at all!",
        Base64({'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}),     // another format
        Base64({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}),  // a PNG's signature alone
        ExactPng(40, 20, 3).substr(0, 200),                     // a PNG cut short
        good.substr(0, good.size() / 3),                        // a JPEG cut short
        good.substr(0, 40),                                     // header only
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.substr(0, 20));
        DecodedFrame frame;
        frame.pixels = {0x123456};
        frame.width = 1;
        frame.height = 1;
        EXPECT_FALSE(decoder.Decode(text, frame));
        EXPECT_EQ(frame.pixels, (std::vector<std::uint32_t>{0x123456}));
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
    EXPECT_TRUE(frame.pixels.empty());
}

}  // namespace
