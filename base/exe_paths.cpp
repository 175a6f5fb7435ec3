#include "base/exe_paths.h"

#include <cwchar>

namespace {

constexpr DWORD kModulePathUnits = 260;
constexpr size_t kFileNameMaxChars = 50;

struct ExePaths {
    wchar_t directory[kModulePathUnits] = {};
    wchar_t fileName[kFileNameMaxChars + 1] = {};
    wchar_t appName[kFileNameMaxChars + 1] = {};

    ExePaths() {
        wchar_t path[kModulePathUnits] = {};
        DWORD n = GetModuleFileNameW(nullptr, path, kModulePathUnits);
        if (n >= kModulePathUnits) n = kModulePathUnits - 1;  // cut; keep a terminator
        path[n] = 0;
        const wchar_t* slash = std::wcsrchr(path, L'\\');
        const wchar_t* name = slash ? slash + 1 : path;

        const size_t dirLength = size_t(name - path);
        std::wmemcpy(directory, path, dirLength);
        directory[dirLength] = 0;

        std::wcsncpy(fileName, name, kFileNameMaxChars);
        fileName[kFileNameMaxChars] = 0;

        std::wcscpy(appName, fileName);
        if (wchar_t* dot = std::wcsrchr(appName, L'.')) *dot = 0;
    }
};

const ExePaths& Paths() {
    static const ExePaths paths;
    return paths;
}

}  // namespace

const wchar_t* GetExeDirectory() { return Paths().directory; }

const wchar_t* GetExeFileName() { return Paths().fileName; }

bool FileExists(const wchar_t* path) {
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace korvex {

const wchar_t* GetAppName() { return Paths().appName; }

std::wstring GetExePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace korvex
