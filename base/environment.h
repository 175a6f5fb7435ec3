// The process's environment variables. Win32.
#pragma once

#include <optional>
#include <string>

namespace korvex {

// The variable's value; nullopt when it is not set (an empty value is a value).
std::optional<std::wstring> GetEnv(const wchar_t* name);
// True when the variable is set to anything but the empty text.
bool HasEnv(const wchar_t* name);

}  // namespace korvex
