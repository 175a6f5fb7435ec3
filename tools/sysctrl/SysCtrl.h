// The sysctrl commands: decode a configuration file to JSON, encode JSON to a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>

#include <nlohmann/json.hpp>

namespace sysctrl {

// The record of a configuration file's bytes as JSON. Throws ConfigJsonError saying why the
// bytes do not hold a readable record.
nlohmann::ordered_json DecodeConfigBytes(const std::uint8_t* data, std::size_t length);

// Runs the command line; returns the exit code (0 done, 1 bad input, 2 bad usage).
int RunSysCtrl(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace sysctrl
