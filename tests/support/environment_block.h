// An environment block for CreateProcessW (CREATE_UNICODE_ENVIRONMENT): this process's own
// variables with some entries added or replaced.
#pragma once

#include <string>
#include <vector>

namespace korvex_test {

// extra: "NAME=value" entries; each replaces a variable of the same name (any case).
std::wstring EnvironmentBlock(const std::vector<std::wstring>& extra);

}  // namespace korvex_test
