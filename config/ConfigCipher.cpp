#include "ConfigCipher.h"

#include <cstring>

const std::array<std::uint8_t, 64> kBitPermutation = {
    33, 17, 10, 23, 30, 54, 20, 61,  //
    34, 7,  26, 41, 40, 50, 6,  64,  //
    4,  15, 22, 14, 35, 1,  12, 42,  //
    57, 19, 29, 39, 48, 28, 63, 45,  //
    56, 9,  36, 31, 18, 8,  21, 2,   //
    38, 58, 52, 27, 46, 13, 44, 62,  //
    11, 55, 3,  24, 53, 16, 32, 59,  //
    37, 60, 25, 47, 51, 43, 5,  49,
};

namespace {

using Block = std::uint8_t[8];

bool BitOf(const std::uint8_t* block, unsigned n) { return (block[n / 8] >> (n % 8)) & 1u; }
void SetBit(std::uint8_t* block, unsigned n) { block[n / 8] |= std::uint8_t(1u << (n % 8)); }
void SetReversedBit(std::uint8_t* block, unsigned n) {
    block[n / 8] |= std::uint8_t(1u << (7 - n % 8));
}

void XorBlock(std::uint8_t* block, const std::uint8_t* with) {
    for (unsigned i = 0; i < 8; ++i) block[i] ^= with[i];
}

// The two halves of the key, each stored little-endian in its four key bytes.
constexpr std::uint32_t kKeyLow = 0x4B7A1C93u;
constexpr std::uint32_t kKeyHigh = 0xE2056DF8u;

void PutLittleEndian(std::uint8_t* out, std::uint32_t value) {
    for (unsigned i = 0; i < 4; ++i) out[i] = std::uint8_t(value >> (8 * i));
}

}  // namespace

void PermuteBlockBits(std::uint8_t block[8]) {
    Block result = {};
    for (unsigned i = 0; i < 64; ++i)
        if (BitOf(block, kBitPermutation[i] - 1u)) SetBit(result, i);
    std::memcpy(block, result, 8);
}

void PermuteKeyBits(std::uint8_t block[8]) {
    Block result = {};
    for (unsigned j = 0; j < 64; ++j)
        if (BitOf(block, j)) SetReversedBit(result, kBitPermutation[63 - j] - 1u);
    std::memcpy(block, result, 8);
}

std::size_t DecipherConfig(std::uint8_t* output, const std::uint8_t* input, std::size_t length,
                           const std::uint8_t key[8]) {
    using namespace korvex;
    if (!output || !input || !key || length < 2 * kConfigBlockSize ||
        length % kConfigBlockSize != 0)
        return 0;

    Block k;
    std::memcpy(k, key, 8);
    PermuteKeyBits(k);

    Block h;
    std::memcpy(h, input, 8);
    XorBlock(h, k);
    PermuteBlockBits(h);

    const std::uint8_t m0 = h[kHeaderMask0] ^ kMask0Xor, m1 = h[kHeaderMask1] ^ kMask1Xor,
                       m2 = h[kHeaderMask2] ^ kMask2Xor, m3 = h[kHeaderMask3] ^ kMask3Xor;
    const Block mask = {m0, m1, m2, m3, m0, m1, m2, m3};
    const std::size_t padding = std::uint8_t(h[kHeaderPadding] - kPaddingBias) ^ kPaddingXor;
    const std::size_t area = length - kConfigBlockSize;
    if (padding > area) return 0;  // the header claims more padding than there is data

    for (std::size_t offset = 0; offset < area; offset += kConfigBlockSize) {
        Block b;
        std::memcpy(b, input + kConfigBlockSize + offset, 8);
        XorBlock(b, k);
        PermuteBlockBits(b);
        XorBlock(b, mask);
        std::memcpy(output + offset, b, 8);
    }
    return area - padding;
}

namespace korvex {

std::array<std::uint8_t, 8> BuildConfigKey() {
    std::array<std::uint8_t, 8> key{};
    PutLittleEndian(key.data(), kKeyLow);
    PutLittleEndian(key.data() + 4, kKeyHigh);
    return key;
}

void UnpermuteBlockBits(std::uint8_t block[8]) {
    Block result = {};
    for (unsigned i = 0; i < 64; ++i)
        if (BitOf(block, i)) SetBit(result, kBitPermutation[i] - 1u);
    std::memcpy(block, result, 8);
}

}  // namespace korvex
