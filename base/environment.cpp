#include "base/environment.h"

#include <windows.h>

namespace korvex {

std::optional<std::wstring> GetEnv(const wchar_t* name) {
    std::wstring value(256, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD n = GetEnvironmentVariableW(name, value.data(), DWORD(value.size()));
        if (n == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::wstring();
        }
        if (n < value.size()) {
            value.resize(n);
            return value;
        }
        value.resize(n);  // n counts the terminator when the buffer was too small
    }
}

bool HasEnv(const wchar_t* name) {
    const auto value = GetEnv(name);
    return value && !value->empty();
}

}  // namespace korvex
