#include "ConfigEncipher.h"

#include <stdexcept>

#include "ConfigCipher.h"

namespace korvex {

ConfigBlock MakeConfigHeader(const std::array<std::uint8_t, 4>& mask, std::uint8_t paddingLength,
                             const std::array<std::uint8_t, 3>& freeBytes) {
    ConfigBlock h{};
    h[kHeaderMask0] = mask[0] ^ kMask0Xor;
    h[kHeaderMask1] = mask[1] ^ kMask1Xor;
    h[kHeaderMask2] = mask[2] ^ kMask2Xor;
    h[kHeaderMask3] = mask[3] ^ kMask3Xor;
    h[kHeaderPadding] = std::uint8_t((paddingLength ^ kPaddingXor) + kPaddingBias);
    for (std::size_t i = 0; i < kHeaderFreeBytes.size(); ++i) h[kHeaderFreeBytes[i]] = freeBytes[i];
    return h;
}

void EncipherBlock(std::uint8_t block[8], const ConfigKey& key) {
    ConfigKey k = key;
    PermuteKeyBits(k.data());
    UnpermuteBlockBits(block);
    for (unsigned i = 0; i < 8; ++i) block[i] ^= k[i];
}

std::vector<std::uint8_t> EncipherConfig(const std::uint8_t* plaintext, std::size_t length,
                                         const CipherChoices& choices, const ConfigKey& key) {
    const std::size_t area = length + choices.padding.size();
    if (area % kConfigBlockSize != 0 || area == 0)
        throw std::invalid_argument("plaintext and padding do not make whole blocks");
    if (choices.padding.size() > 255) throw std::invalid_argument("padding over 255 bytes");

    std::vector<std::uint8_t> file(kConfigBlockSize + area);
    ConfigBlock h =
        MakeConfigHeader(choices.mask, std::uint8_t(choices.padding.size()), choices.freeBytes);
    EncipherBlock(h.data(), key);
    std::copy(h.begin(), h.end(), file.begin());

    std::vector<std::uint8_t> plain(plaintext, plaintext + length);
    plain.insert(plain.end(), choices.padding.begin(), choices.padding.end());
    for (std::size_t offset = 0; offset < area; offset += kConfigBlockSize) {
        std::uint8_t* block = file.data() + kConfigBlockSize + offset;
        for (unsigned i = 0; i < 8; ++i) block[i] = plain[offset + i] ^ choices.mask[i % 4];
        EncipherBlock(block, key);
    }
    return file;
}

CipherChoices RandomCipherChoices(std::size_t plaintextLength, std::mt19937_64& random) {
    std::uniform_int_distribution<unsigned> byte(0, 255);
    CipherChoices c;
    for (auto& m : c.mask) m = std::uint8_t(byte(random));
    for (auto& f : c.freeBytes) f = std::uint8_t(byte(random));
    const std::size_t toBlock = (kConfigBlockSize - plaintextLength % kConfigBlockSize) % 8;
    const std::size_t extraBlocks = std::uniform_int_distribution<std::size_t>(0, 30)(random);
    c.padding.resize(toBlock + extraBlocks * kConfigBlockSize);
    for (auto& p : c.padding) p = std::uint8_t(byte(random));
    return c;
}

std::vector<std::uint8_t> EncipherRecord(const SysCtrlConfig& record) {
    std::random_device device;
    std::mt19937_64 random((std::uint64_t(device()) << 32) ^ device());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    return EncipherConfig(bytes, sizeof record, RandomCipherChoices(sizeof record, random),
                          BuildConfigKey());
}

}  // namespace korvex
