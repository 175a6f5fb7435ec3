#include "base/wine.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

#include "base/scoped_handle.h"

namespace korvex::wine {
namespace {

template <class Fn>
Fn Export(const wchar_t* module, const char* name) {
    HMODULE m = GetModuleHandleW(module);
    return m ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m, name))) : nullptr;
}

}  // namespace

bool IsWine() { return Export<void (*)()>(L"ntdll.dll", "wine_get_version") != nullptr; }

std::optional<std::string> UnixPath(const std::wstring& windows_path) {
    using Fn = char*(__cdecl*)(const wchar_t*);
    auto fn = Export<Fn>(L"kernel32.dll", "wine_get_unix_file_name");
    if (!fn) return std::nullopt;
    char* p = fn(windows_path.c_str());
    if (!p) return std::nullopt;
    std::string result(p);
    HeapFree(GetProcessHeap(), 0, p);
    return result;
}

std::optional<std::wstring> WindowsPath(const std::string& unix_path) {
    using Fn = wchar_t*(__cdecl*)(const char*);
    auto fn = Export<Fn>(L"kernel32.dll", "wine_get_dos_file_name");
    if (!fn) return std::nullopt;
    wchar_t* p = fn(unix_path.c_str());
    if (!p) return std::nullopt;
    std::wstring result(p);
    HeapFree(GetProcessHeap(), 0, p);
    return result;
}

std::optional<bool> UnixUserIsRoot() {
    if (!IsWine()) return std::nullopt;
    ScopedHandle file(CreateFileW(L"Z:\\proc\\self\\status", GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    if (!file) return std::nullopt;
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (text.size() < 65536 && ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) &&
           got > 0) {
        text.append(buffer, got);
    }
    // "Uid:\t<real>\t<effective>\t<saved>\t<file system>": the effective user decides.
    const std::size_t line = text.find("\nUid:");
    if (line == std::string::npos) return std::nullopt;
    std::string_view rest = std::string_view(text).substr(line + 5);
    for (int field = 0; field < 2; ++field) {
        const std::size_t start = rest.find_first_not_of(" \t");
        if (start == std::string_view::npos) return std::nullopt;
        rest.remove_prefix(start);
        if (field == 0) rest.remove_prefix(std::min(rest.find_first_of(" \t\n"), rest.size()));
    }
    const std::size_t end = rest.find_first_of(" \t\n");
    const std::string_view effective = rest.substr(0, end);
    if (effective.empty()) return std::nullopt;
    return effective == "0";
}

}  // namespace korvex::wine
