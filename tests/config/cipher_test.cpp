// The block cipher of the configuration file: permutations, header, mask, padding and lengths.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <random>
#include <vector>

#include "config/ConfigCipher.h"
#include "config/ConfigEncipher.h"

namespace {

using korvex::ConfigBlock;

ConfigBlock OnlyBit(unsigned n) {
    ConfigBlock b{};
    b[n / 8] = std::uint8_t(1u << (n % 8));
    return b;
}

TEST(BitPermutation, IsAPermutationOfOneToSixtyFour) {
    std::array<std::uint8_t, 64> sorted = kBitPermutation;
    std::sort(sorted.begin(), sorted.end());
    for (unsigned i = 0; i < 64; ++i) EXPECT_EQ(sorted[i], i + 1);
}

TEST(PermuteBlockBits, Bit32BecomesBit0) {
    ConfigBlock b = OnlyBit(32);
    PermuteBlockBits(b.data());
    EXPECT_EQ(b, OnlyBit(0));
}

TEST(PermuteBlockBits, EverySingleBitGoesWhereTheTableSays) {
    for (unsigned i = 0; i < 64; ++i) {
        ConfigBlock b = OnlyBit(kBitPermutation[i] - 1u);
        PermuteBlockBits(b.data());
        EXPECT_EQ(b, OnlyBit(i)) << "result bit " << i;
    }
}

TEST(PermuteKeyBits, Bit0BecomesTheTopBitOfByte6) {
    ConfigBlock b = OnlyBit(0);
    PermuteKeyBits(b.data());
    EXPECT_EQ(b, (ConfigBlock{0, 0, 0, 0, 0, 0, 0x80, 0}));
}

TEST(PermuteKeyBits, Bit63BecomesTheTopBitOfByte4) {
    // kBitPermutation[0] is 33: reversed bit 32 is bit 7 of byte 4.
    ConfigBlock b = OnlyBit(63);
    PermuteKeyBits(b.data());
    EXPECT_EQ(b, (ConfigBlock{0, 0, 0, 0, 0x80, 0, 0, 0}));
}

TEST(PermuteKeyBits, EverySingleBitGoesToTheReversedTarget) {
    for (unsigned j = 0; j < 64; ++j) {
        ConfigBlock b = OnlyBit(j);
        PermuteKeyBits(b.data());
        const unsigned target = kBitPermutation[63 - j] - 1u;
        ConfigBlock expected{};
        expected[target / 8] = std::uint8_t(0x80u >> (target % 8));
        EXPECT_EQ(b, expected) << "input bit " << j;
    }
}

TEST(UnpermuteBlockBits, UndoesThePermutation) {
    std::mt19937_64 random(7);
    for (int n = 0; n < 200; ++n) {
        ConfigBlock b;
        for (auto& x : b) x = std::uint8_t(random());
        ConfigBlock c = b;
        PermuteBlockBits(c.data());
        korvex::UnpermuteBlockBits(c.data());
        EXPECT_EQ(c, b);
    }
}

TEST(ConfigKey, IsTheTwoConstantsLittleEndian) {
    EXPECT_EQ(korvex::BuildConfigKey(),
              (korvex::ConfigKey{0x93, 0x1C, 0x7A, 0x4B, 0xF8, 0x6D, 0x05, 0xE2}));
}

// A file of `blocks` data blocks whose header is the given deciphered block H.
std::vector<std::uint8_t> FileWithHeader(ConfigBlock h, std::size_t blocks,
                                         const korvex::ConfigKey& key) {
    std::vector<std::uint8_t> file(8 * (blocks + 1), 0x5A);
    korvex::EncipherBlock(h.data(), key);
    std::copy(h.begin(), h.end(), file.begin());
    return file;
}

struct LengthCase {
    std::size_t length;
    std::size_t expected;
};

class DecipherLength : public ::testing::TestWithParam<LengthCase> {};

// Header with padding length 0 (H[4] = 0xD5), so the result is the whole data area.
TEST_P(DecipherLength, ReturnsPlaintextLengthOrRejectsUntouched) {
    const auto [length, expected] = GetParam();
    const auto key = korvex::BuildConfigKey();
    ConfigBlock h{};
    h[4] = 0xD5;
    std::vector<std::uint8_t> input = FileWithHeader(h, length / 8 ? length / 8 - 1 : 0, key);
    input.resize(length, 0x33);
    std::vector<std::uint8_t> output(length + 64, 0xEE);
    const auto keyBefore = key;

    EXPECT_EQ(DecipherConfig(output.data(), input.data(), length, key.data()), expected);
    EXPECT_EQ(key, keyBefore);
    const std::size_t written = expected ? length - 8 : 0;
    for (std::size_t i = 0; i < output.size(); ++i)
        if (i >= written) ASSERT_EQ(output[i], 0xEE) << "byte " << i << " written";
    if (written)
        EXPECT_LT(
            std::size_t(std::count(output.begin(), output.begin() + std::ptrdiff_t(written), 0xEE)),
            written);
}

INSTANTIATE_TEST_SUITE_P(Lengths, DecipherLength,
                         ::testing::Values(LengthCase{0, 0}, LengthCase{8, 0}, LengthCase{15, 0},
                                           LengthCase{16, 8}, LengthCase{20, 0},
                                           LengthCase{3120, 3112}, LengthCase{3128, 3120},
                                           LengthCase{8 * 1000, 8 * 999}),
                         [](const auto& info) { return std::to_string(info.param.length); });

TEST(DecipherConfig, NullPointersAreRejected) {
    const auto key = korvex::BuildConfigKey();
    std::vector<std::uint8_t> in(3120), out(3120, 0xEE);
    EXPECT_EQ(DecipherConfig(nullptr, in.data(), in.size(), key.data()), 0u);
    EXPECT_EQ(DecipherConfig(out.data(), nullptr, in.size(), key.data()), 0u);
    EXPECT_EQ(DecipherConfig(out.data(), in.data(), in.size(), nullptr), 0u);
    EXPECT_EQ(std::count(out.begin(), out.end(), 0xEE), 3120);
}

struct PaddingCase {
    std::uint8_t h4;
    std::size_t padding;
};

class DecipherPadding : public ::testing::TestWithParam<PaddingCase> {};

TEST_P(DecipherPadding, HeaderByte4GivesThePaddingLength) {
    const auto [h4, padding] = GetParam();
    const auto key = korvex::BuildConfigKey();
    ConfigBlock h{};
    h[4] = h4;
    const auto input = FileWithHeader(h, 390, key);
    std::vector<std::uint8_t> output(input.size());
    EXPECT_EQ(DecipherConfig(output.data(), input.data(), input.size(), key.data()),
              input.size() - 8 - padding);
}

INSTANTIATE_TEST_SUITE_P(Headers, DecipherPadding,
                         ::testing::Values(PaddingCase{15, 0xC6}, PaddingCase{0xD5, 0},
                                           PaddingCase{0xDD, 8}, PaddingCase{0x48, 255}),
                         [](const auto& info) { return "H4_" + std::to_string(info.param.h4); });

TEST(DecipherConfig, PaddingBeyondTheDataIsRejectedUntouched) {
    const auto key = korvex::BuildConfigKey();
    ConfigBlock h{};
    h[4] = std::uint8_t((16 ^ 0xC6) + 15);  // padding 16 in an 8-byte data area
    const auto input = FileWithHeader(h, 1, key);
    std::vector<std::uint8_t> output(8, 0xEE);
    EXPECT_EQ(DecipherConfig(output.data(), input.data(), input.size(), key.data()), 0u);
    EXPECT_EQ(output, std::vector<std::uint8_t>(8, 0xEE));
}

TEST(DecipherConfig, FreeHeaderBytesChangeNothing) {
    const auto key = korvex::BuildConfigKey();
    std::vector<std::uint8_t> plain(3112);
    std::iota(plain.begin(), plain.end(), 0);
    korvex::CipherChoices choices{{0x11, 0x22, 0x33, 0x44}, {0, 0, 0}, {}};
    const auto reference = korvex::EncipherConfig(plain.data(), plain.size(), choices, key);
    std::vector<std::uint8_t> first(plain.size());
    ASSERT_EQ(DecipherConfig(first.data(), reference.data(), reference.size(), key.data()), 3112u);

    for (const auto& freeBytes : std::vector<std::array<std::uint8_t, 3>>{
             {0xFF, 0xFF, 0xFF}, {0x01, 0x80, 0x7F}, {0xA5, 0x00, 0x5A}}) {
        choices.freeBytes = freeBytes;
        const auto file = korvex::EncipherConfig(plain.data(), plain.size(), choices, key);
        EXPECT_NE(file, reference);  // the header block differs ...
        EXPECT_TRUE(std::equal(file.begin() + 8, file.end(), reference.begin() + 8));
        std::vector<std::uint8_t> out(plain.size());
        EXPECT_EQ(DecipherConfig(out.data(), file.data(), file.size(), key.data()), 3112u);
        EXPECT_EQ(out, first);  // ... the plaintext does not
    }
    EXPECT_EQ(first, plain);
}

TEST(DecipherConfig, MaskAndPaddingRoundTrip) {
    const auto key = korvex::BuildConfigKey();
    std::mt19937_64 random(11);
    for (std::size_t length : {1u, 7u, 8u, 100u, 3112u, 4000u}) {
        std::vector<std::uint8_t> plain(length);
        for (auto& b : plain) b = std::uint8_t(random());
        const auto choices = korvex::RandomCipherChoices(length, random);
        const auto file = korvex::EncipherConfig(plain.data(), length, choices, key);
        ASSERT_EQ(file.size(), 8 + length + choices.padding.size());
        std::vector<std::uint8_t> out(file.size() - 8);
        ASSERT_EQ(DecipherConfig(out.data(), file.data(), file.size(), key.data()), length);
        EXPECT_TRUE(std::equal(plain.begin(), plain.end(), out.begin())) << length;
        EXPECT_TRUE(std::equal(choices.padding.begin(), choices.padding.end(),
                               out.begin() + std::ptrdiff_t(length)));
    }
}

TEST(DecipherConfig, BlocksAreIndependent) {
    const auto key = korvex::BuildConfigKey();
    std::vector<std::uint8_t> plain(64, 0x42);
    const auto file = korvex::EncipherConfig(plain.data(), plain.size(),
                                             korvex::CipherChoices{{1, 2, 3, 4}, {}, {}}, key);
    for (std::size_t block = 1; block < file.size() / 8; ++block) {
        auto damaged = file;
        damaged[block * 8 + 3] ^= 0x10;
        std::vector<std::uint8_t> out(plain.size());
        ASSERT_EQ(DecipherConfig(out.data(), damaged.data(), damaged.size(), key.data()), 64u);
        for (std::size_t i = 0; i < out.size(); ++i)
            if (i / 8 != block - 1) EXPECT_EQ(out[i], 0x42) << "byte " << i;
        EXPECT_FALSE(std::equal(out.begin() + std::ptrdiff_t(8 * (block - 1)),
                                out.begin() + std::ptrdiff_t(8 * block), plain.begin()));
    }
}

TEST(DecipherConfig, AnotherKeyGivesAnotherPlaintext) {
    const auto key = korvex::BuildConfigKey();
    std::vector<std::uint8_t> plain(3112, 0x20);
    const auto file = korvex::EncipherConfig(plain.data(), plain.size(), {}, key);
    auto wrong = key;
    wrong[0] ^= 1;
    std::vector<std::uint8_t> out(file.size() - 8);
    DecipherConfig(out.data(), file.data(), file.size(), wrong.data());
    EXPECT_FALSE(std::equal(plain.begin(), plain.end(), out.begin()));
}

TEST(EncipherConfig, RefusesPaddingThatBreaksBlocks) {
    const auto key = korvex::BuildConfigKey();
    std::vector<std::uint8_t> plain(10);
    EXPECT_THROW(korvex::EncipherConfig(plain.data(), plain.size(), {}, key),
                 std::invalid_argument);
    korvex::CipherChoices tooLong;
    tooLong.padding.resize(262);
    EXPECT_THROW(korvex::EncipherConfig(plain.data(), plain.size(), tooLong, key),
                 std::invalid_argument);
}

}  // namespace
