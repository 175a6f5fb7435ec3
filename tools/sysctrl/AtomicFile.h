// Writing a file so that it appears whole or not at all.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sysctrl {

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and renames it to
// `path`. Throws std::runtime_error naming the failure; nothing is left behind then.
void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The whole content of a file. Throws std::runtime_error naming the failure.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

}  // namespace sysctrl
