#include "base/wine.h"

#include <windows.h>

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

}  // namespace korvex::wine
