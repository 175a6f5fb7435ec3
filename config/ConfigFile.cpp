#include "ConfigFile.h"

#include <cstring>
#include <vector>

#include "ConfigCipher.h"

namespace korvex {

ConfigFileResult ReadConfigRecord(const std::uint8_t* data, std::size_t length,
                                  SysCtrlConfig& record) {
    ConfigFileResult result;
    result.length = length;
    if (length % kConfigBlockSize != 0) {
        result.error = ConfigFileError::NotBlocks;
        return result;
    }
    if (length < kConfigFileMinSize || !data) {
        result.error = ConfigFileError::TooShort;
        return result;
    }
    std::vector<std::uint8_t> plain(length - kConfigBlockSize);
    const auto key = BuildConfigKey();
    result.plaintext = DecipherConfig(plain.data(), data, length, key.data());
    if (result.plaintext < kConfigRecordSize) {
        result.error = ConfigFileError::PlaintextTooShort;
        return result;
    }
    std::memcpy(&record, plain.data(), kConfigRecordSize);
    TerminateConfigTexts(record);
    return result;
}

std::string DescribeConfigFileResult(const ConfigFileResult& result) {
    const std::string n = std::to_string(result.length);
    switch (result.error) {
        case ConfigFileError::None:
            return "the file holds a whole record";
        case ConfigFileError::NotBlocks:
            return "the file is " + n + " bytes long, not a whole number of 8-byte blocks";
        case ConfigFileError::TooShort:
            return "the file is " + n + " bytes long; a record needs at least " +
                   std::to_string(kConfigFileMinSize);
        case ConfigFileError::PlaintextTooShort:
            return "the header leaves " + std::to_string(result.plaintext) +
                   " plaintext bytes of " + std::to_string(result.length - kConfigBlockSize) +
                   "; the record needs " + std::to_string(kConfigRecordSize) +
                   " (damaged file or wrong key)";
    }
    return "unknown error";
}

}  // namespace korvex
