// Checks the ground every Windows test stands on: a private prefix, a private display, a real
// window on it, and a CJK font behind the names the programs ask for.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "base/environment.h"

namespace {

std::wstring Env(const wchar_t* name) { return korvex::GetEnv(name).value_or(L""); }

TEST(Harness, RunsInThrowawayPrefix) {
    std::wstring prefix = Env(L"WINEPREFIX");
    std::wstring run = Env(L"KORVEX_RUN_DIR");
    ASSERT_FALSE(run.empty());
    EXPECT_EQ(run.rfind(L"/tmp/korvex-run.", 0), 0u);
    EXPECT_EQ(prefix, run + L"/prefix");
}

// The shell's special folders exist inside the throwaway prefix (not as links to a vanished home).
TEST(Harness, SpecialFoldersAreRealFolders) {
    for (int csidl :
         {CSIDL_DESKTOPDIRECTORY, CSIDL_PROGRAMS, CSIDL_LOCAL_APPDATA, CSIDL_PERSONAL}) {
        wchar_t path[MAX_PATH] = {};
        ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) << "csidl " << csidl;
        DWORD attributes = GetFileAttributesW(path);
        ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << "csidl " << csidl;
        EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << "csidl " << csidl;
        EXPECT_FALSE(attributes & FILE_ATTRIBUTE_REPARSE_POINT) << "csidl " << csidl;
    }
}

// Each build runs as 64-bit Windows runs it: the x86-64 program natively, the i686 release in
// the same 64-bit system through its 32-bit layer (WoW64), with the 32-bit system folder filled.
TEST(Harness, RunsAsOn64BitWindows) {
    SYSTEM_INFO native{};
    GetNativeSystemInfo(&native);
    EXPECT_EQ(native.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_AMD64);
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
#ifdef _WIN64
    EXPECT_FALSE(wow64);
#else
    EXPECT_TRUE(wow64);
    static_assert(sizeof(void*) == 4);
    wchar_t folder[MAX_PATH] = {};
    ASSERT_GT(GetSystemWow64DirectoryW(folder, MAX_PATH), 0u);
    std::wstring user32 = std::wstring(folder) + L"\\user32.dll";
    EXPECT_NE(GetFileAttributesW(user32.c_str()), INVALID_FILE_ATTRIBUTES);
#endif
}

TEST(Harness, ShowsAWindowOnItsDisplay) {
    HWND hwnd = CreateWindowExW(0, L"STATIC", L"harness", WS_POPUP | WS_VISIBLE, 10, 10, 200, 100,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 200);
    DestroyWindow(hwnd);
}

// The CJK stand-in must draw Chinese glyphs: text in "宋体" covers pixels.
TEST(Harness, SongTiDrawsChineseText) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 64, 32);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    RECT all{0, 0, 64, 32};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HFONT font = CreateFontW(24, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"宋体");
    HGDIOBJ oldFont = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    TextOutW(dc, 0, 0, L"游戏", 2);
    int dark = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            if (GetRValue(GetPixel(dc, x, y)) < 128) ++dark;
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBmp);
    DeleteObject(font);
    DeleteObject(bmp);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    EXPECT_GT(dark, 20) << "face chosen: " << std::string(face, face + wcslen(face)).size();
}

}  // namespace
