// The cipher of sysctrl.dat: 8-byte blocks, a fixed bit permutation, an 8-byte key and a 4-byte
// mask carried in the header block. Portable; no chaining, so every block stands alone.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Bit n of a block is bit n % 8 of byte n / 8. Entry i (1 to 64) names the input bit, counted
// from 1, that becomes bit i of a permuted block.
extern const std::array<std::uint8_t, 64> kBitPermutation;

// Bit i of the result is bit kBitPermutation[i] - 1 of the input. In place.
void PermuteBlockBits(std::uint8_t block[8]);

// Bit j of the input moves to the reversed bit kBitPermutation[63 - j] - 1 of the result (the
// bit counted from the most significant end of its byte). In place.
void PermuteKeyBits(std::uint8_t block[8]);

// Deciphers `length` bytes of `input` into `output` (room for length - 8 bytes) with the 8-byte
// `key`, which is not changed. Returns the plaintext length, length - 8 - padding. Returns 0 and
// leaves `output` untouched when a pointer is null, length is below 16 or not a multiple of 8,
// or the header's padding length exceeds the data area (a damaged header).
std::size_t DecipherConfig(std::uint8_t* output, const std::uint8_t* input, std::size_t length,
                           const std::uint8_t key[8]);

namespace korvex {

inline constexpr std::size_t kConfigBlockSize = 8;

// Header bytes and the constants that hide the mask and the padding length in them.
inline constexpr std::size_t kHeaderMask0 = 2, kHeaderMask1 = 7, kHeaderMask2 = 1, kHeaderMask3 = 5,
                             kHeaderPadding = 4;
inline constexpr std::uint8_t kMask0Xor = 0x68, kMask1Xor = 0x72, kMask2Xor = 0x67,
                              kMask3Xor = 0x77, kPaddingXor = 0xC6, kPaddingBias = 15;
// Header bytes that carry nothing.
inline constexpr std::array<std::size_t, 3> kHeaderFreeBytes = {0, 3, 6};

// The key every installation shares, assembled at run time.
std::array<std::uint8_t, 8> BuildConfigKey();

// The inverse of PermuteBlockBits. In place.
void UnpermuteBlockBits(std::uint8_t block[8]);

}  // namespace korvex
