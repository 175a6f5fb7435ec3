#include "high_dpi.h"

#include <windows.h>

#include <cstdio>

#include "base/environment.h"
#include "base/exe_paths.h"
#include "linux_processes.h"
#include "scratch_copy.h"

namespace korvex_test {
namespace {

constexpr wchar_t kMarker[] = L"KORVEX_AT_DPI";

// The two places Wine (like Windows) keeps the display's DPI.
bool WriteLogPixels(HKEY root, const wchar_t* path, DWORD dpi) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const bool written =
        RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                       sizeof dpi) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

}  // namespace

int RunAtDpi(int dpi, int argc, wchar_t** argv) {
    if (korvex::HasEnv(kMarker)) {
        SetProcessDPIAware();
        return -1;
    }
    if (!WriteLogPixels(HKEY_CURRENT_USER, L"Control Panel\\Desktop", DWORD(dpi)) ||
        !WriteLogPixels(HKEY_LOCAL_MACHINE,
                        L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts",
                        DWORD(dpi))) {
        std::fprintf(stderr, "the prefix's DPI could not be set\n");
        return 2;
    }
    return RunAgain(korvex::GetExePath(), RunDir(), kMarker, argc, argv);
}

}  // namespace korvex_test
