// Making sysctrl.dat from a record: the inverse of the deciphering steps. Not part of the
// launcher; the operators' tool and the tests use it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

#include "ConfigRecord.h"

namespace korvex {

using ConfigKey = std::array<std::uint8_t, 8>;
using ConfigBlock = std::array<std::uint8_t, 8>;

// What the cipher leaves free: the mask, the three ignored header bytes and the padding that
// follows the plaintext (its length makes the data area whole blocks; at most 255 bytes).
struct CipherChoices {
    std::array<std::uint8_t, 4> mask{};
    std::array<std::uint8_t, 3> freeBytes{};
    std::vector<std::uint8_t> padding;
};

// The deciphered header block H for a mask, a padding length and the free bytes.
ConfigBlock MakeConfigHeader(const std::array<std::uint8_t, 4>& mask, std::uint8_t paddingLength,
                             const std::array<std::uint8_t, 3>& freeBytes);

// Enciphers one block in place: the inverse block permutation, then XOR with the permuted key.
// The caller XORs data blocks with the mask first.
void EncipherBlock(std::uint8_t block[8], const ConfigKey& key);

// A whole file for `plaintext`. Throws std::invalid_argument when the padding does not make the
// data area whole blocks or is longer than 255 bytes.
std::vector<std::uint8_t> EncipherConfig(const std::uint8_t* plaintext, std::size_t length,
                                         const CipherChoices& choices, const ConfigKey& key);

// Fresh random choices: mask, free bytes, and 0 to 31 blocks' worth of padding content.
CipherChoices RandomCipherChoices(std::size_t plaintextLength, std::mt19937_64& random);

// The record enciphered with the shared key and fresh random choices.
std::vector<std::uint8_t> EncipherRecord(const SysCtrlConfig& record);

}  // namespace korvex
