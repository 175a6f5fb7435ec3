#include "file_text.h"

#include <windows.h>

#include "base/scoped_handle.h"

namespace korvex_test {

std::string ReadFileText(const std::wstring& path) {
    const korvex::ScopedHandle f(CreateFileW(path.c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
    if (!f) return {};
    std::string out;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(f.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        out.append(buffer, got);
    return out;
}

}  // namespace korvex_test
