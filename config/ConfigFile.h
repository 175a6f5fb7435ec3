// From the bytes of sysctrl.dat to the record: the checks that the file can fill the record,
// deciphering, and the copy. Shared by the launcher's loading and the operators' tool.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "ConfigRecord.h"

namespace korvex {

// Smallest file that fills the record: the header block and 389 data blocks.
inline constexpr std::size_t kConfigFileMinSize = 8 + kConfigRecordSize;

enum class ConfigFileError {
    None,
    NotBlocks,          // length is not a multiple of 8
    TooShort,           // fewer than 3120 bytes
    PlaintextTooShort,  // the header's padding leaves fewer than 3112 plaintext bytes
};

struct ConfigFileResult {
    ConfigFileError error = ConfigFileError::None;
    std::size_t length = 0;     // bytes of the file
    std::size_t plaintext = 0;  // plaintext length the header gives (0 if never deciphered)
    explicit operator bool() const { return error == ConfigFileError::None; }
};

// Deciphers `length` bytes of a configuration file with the shared key and, when they fill the
// record, copies the first 3112 plaintext bytes into `record` and terminates its texts. On an
// error `record` is not touched.
ConfigFileResult ReadConfigRecord(const std::uint8_t* data, std::size_t length,
                                  SysCtrlConfig& record);

// One line in English that says why a file was refused.
std::string DescribeConfigFileResult(const ConfigFileResult& result);

}  // namespace korvex
