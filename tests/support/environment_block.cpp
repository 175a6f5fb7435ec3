#include "environment_block.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

namespace korvex_test {

std::wstring EnvironmentBlock(const std::vector<std::wstring>& extra) {
    std::vector<std::wstring> entries;
    wchar_t* env = GetEnvironmentStringsW();
    for (wchar_t* p = env; *p; p += wcslen(p) + 1) entries.emplace_back(p);
    FreeEnvironmentStringsW(env);
    for (const auto& e : extra) {
        const std::wstring name = e.substr(0, e.find(L'=') + 1);
        std::erase_if(entries, [&](const std::wstring& x) {
            return _wcsnicmp(x.c_str(), name.c_str(), name.size()) == 0;
        });
        entries.push_back(e);
    }
    std::sort(entries.begin(), entries.end(), [](const std::wstring& a, const std::wstring& b) {
        return _wcsicmp(a.c_str(), b.c_str()) < 0;
    });
    std::wstring block;
    for (const auto& e : entries) block += e + L'\0';
    block += L'\0';
    return block;
}

}  // namespace korvex_test
