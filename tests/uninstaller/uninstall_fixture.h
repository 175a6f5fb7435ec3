// The ground of every uninstaller test: a clean slate of Torvane's places before and after each
// test, a scratch folder of its own, and a run of Quellix that the test confirms like a user.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "wine_system.h"

namespace quellix_test {

inline constexpr wchar_t kTitle[] = L"Torvane";
inline constexpr wchar_t kShortcut[] = L"Torvane.lnk";
inline constexpr wchar_t kUninstallShortcut[] = L"卸载Torvane.lnk";
inline constexpr wchar_t kCaption[] = L"卸载程序";
inline constexpr wchar_t kDoneText[] = L"Torvane已成功卸载";

std::wstring OurUninstallKey();  // HKCU ...\Uninstall\VelkGame2
std::wstring StartMenuFolder();  // <programs>\Torvane

// What a run of Quellix showed and how it ended.
struct QuellixRun {
    std::optional<MessageBoxSeen> box;
    std::optional<DWORD> exitCode;
};

// Starts the executable, waits for its message box, presses OK and waits for the end.
QuellixRun RunQuellix(const std::wstring& executable,
                      const std::optional<std::vector<std::wstring>>& environment = std::nullopt);

class UninstallTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Removes every place of Torvane's installation.
    static void ClearInstallation();
    // The build's Quellix copied into a folder of this test's scratch folder.
    std::wstring CopyQuellixTo(const std::wstring& subfolder);

    std::wstring scratch_;  // this test's own folder, on the Z: drive
};

}  // namespace quellix_test
