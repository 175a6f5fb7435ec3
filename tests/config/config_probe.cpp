// Loads the configuration beside itself into a window's start, as the launcher does, and writes
// what happened to the file named on its command line (UTF-16 lines) and the record's bytes to
// the same name with ".record" appended.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "config/ConfigLoader.h"
#include "base/exe_paths.h"

namespace {

constexpr wchar_t kWindowClass[] = L"KorvexConfigProbe";
constexpr wchar_t kOwnerCaption[] = L"config probe owner";

bool WriteBytes(const std::wstring& path, const void* data, size_t size) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return false;
    const bool ok = fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && ok;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 2) return 2;
    const std::wstring resultPath = argv[1];
    LocalFree(argv);

    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    RegisterClassW(&wc);
    HWND owner = CreateWindowExW(0, kWindowClass, kOwnerCaption, WS_OVERLAPPEDWINDOW, 0, 0, 300,
                                 200, nullptr, nullptr, instance, nullptr);
    if (!owner) return 3;

    const bool loaded = LoadConfigFile(owner);

    MSG msg{};
    bool quitSeen = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        if (msg.message == WM_QUIT) quitSeen = true;

    wchar_t cwd[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, cwd);
    std::wstring report = L"result=" + std::to_wstring(loaded) + L"\nquit=" +
                          std::to_wstring(quitSeen) + L"\ncwd=" + cwd + L"\nexedir=" +
                          GetExeDirectory() + L"\nexename=" + GetExeFileName() + L"\n";
    DestroyWindow(owner);
    if (!WriteBytes(resultPath + L".record", &g_config, sizeof g_config)) return 4;
    if (!WriteBytes(resultPath, report.data(), report.size() * sizeof(wchar_t))) return 4;
    return 0;
}
