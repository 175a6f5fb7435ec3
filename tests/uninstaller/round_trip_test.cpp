// Torvane installed by TorvaneSetup.exe /S, then removed by the Quellix it installed.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <chrono>

#include "uninstall_fixture.h"

namespace quellix_test {
namespace {

using namespace std::chrono_literals;

const wchar_t kOtherProgramKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\SomeOtherProgram";

class RoundTripTest : public UninstallTest {
  protected:
    void TearDown() override {
        DeleteKeyTree(kOtherProgramKey);
        DeleteFileW(otherDesktopFile_.c_str());
        UninstallTest::TearDown();
    }

    // Runs the build's installer silently; its exit code, or nothing when it did not end.
    static std::optional<DWORD> InstallSilently() {
        const std::wstring setup =
            Join(WindowsPathOfUnix(Env(L"KORVEX_BIN_DIR")), L"TorvaneSetup.exe");
        ChildProcess installer(L"\"" + setup + L"\" /S");
        if (!installer.Started()) return std::nullopt;
        return installer.Wait(120s);
    }

    std::wstring otherDesktopFile_ = Join(DesktopFolder(), L"notes of someone else.txt");
};

TEST_F(RoundTripTest, SilentInstallLaysDownEveryItem) {
    ASSERT_EQ(InstallSilently(), std::optional<DWORD>(0));
    const std::wstring dir = InstallDirectory();

    for (const wchar_t* file : {L"Korvex.exe", L"Quellix.exe", L"sysctrl.dat"})
        EXPECT_TRUE(FileExists(Join(dir, file))) << "missing " << Join(dir, file).size();

    struct Shortcut {
        std::wstring lnk, target;
    };
    for (const Shortcut& s :
         {Shortcut{Join(DesktopFolder(), kShortcut), Join(dir, L"Korvex.exe")},
          Shortcut{Join(StartMenuFolder(), kShortcut), Join(dir, L"Korvex.exe")},
          Shortcut{Join(StartMenuFolder(), kUninstallShortcut), Join(dir, L"Quellix.exe")}}) {
        ASSERT_TRUE(FileExists(s.lnk));
        EXPECT_EQ(ShortcutTarget(s.lnk), s.target);
    }

    const std::wstring key = OurUninstallKey();
    struct Text {
        const wchar_t* name;
        std::wstring value;
    };
    for (const Text& t :
         {Text{L"DisplayName", L"Torvane"},
          Text{L"UninstallString", L"\"" + Join(dir, L"Quellix.exe") + L"\""},
          Text{L"DisplayIcon", Join(dir, L"Quellix.exe")}, Text{L"InstallLocation", dir}}) {
        EXPECT_EQ(StringValue(key, t.name), std::optional<std::wstring>(t.value))
            << "value " << std::string(t.name, t.name + wcslen(t.name));
    }
    for (const wchar_t* flag : {L"NoModify", L"NoRepair"})
        EXPECT_EQ(DwordValue(key, flag), std::optional<DWORD>(1));
}

TEST_F(RoundTripTest, QuellixRemovesWhatWasInstalledAndThenItself) {
    SetStringValue(kOtherProgramKey, L"DisplayName", L"Some other program");
    WriteTextFile(otherDesktopFile_, "kept");
    ASSERT_EQ(InstallSilently(), std::optional<DWORD>(0));
    const std::wstring dir = InstallDirectory();
    const std::wstring quellix = Join(dir, L"Quellix.exe");
    ASSERT_TRUE(FileExists(quellix));

    const QuellixRun run = RunQuellix(quellix);
    ASSERT_TRUE(run.box.has_value()) << "no message box captioned 卸载程序";
    EXPECT_EQ(run.box->text, kDoneText);
    EXPECT_EQ(run.exitCode, std::optional<DWORD>(0));

    EXPECT_FALSE(KeyExists(OurUninstallKey()));
    EXPECT_FALSE(AnyEntryExists(Join(DesktopFolder(), kShortcut)));
    EXPECT_FALSE(AnyEntryExists(StartMenuFolder()));
    EXPECT_FALSE(AnyEntryExists(Join(dir, L"Korvex.exe")));
    EXPECT_FALSE(AnyEntryExists(Join(dir, L"sysctrl.dat")));
    EXPECT_TRUE(DirectoryExists(dir));

    EXPECT_EQ(StringValue(kOtherProgramKey, L"DisplayName"),
              std::optional<std::wstring>(L"Some other program"));
    EXPECT_TRUE(FileExists(otherDesktopFile_));

    // The command interpreter deletes Quellix once it has ended.
    EXPECT_TRUE(WaitFor([&] { return !AnyEntryExists(quellix); }, 30s));
}

}  // namespace
}  // namespace quellix_test
