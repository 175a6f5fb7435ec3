// Quellix on installations that are partial, odd or hostile, each run from a copy of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

#include "base/utf.h"
#include "uninstall_fixture.h"

namespace quellix_test {
namespace {

using namespace std::chrono_literals;

// An installation directory laid down file by file; each entry is checked after the run.
struct Entry {
    const wchar_t* path;  // below the installation directory
    bool isDirectory;
    bool stays;
};

class EdgeCaseTest : public UninstallTest {
  protected:
    static void LayDown(const std::vector<Entry>& entries) {
        for (const Entry& e : entries) {
            const std::wstring path = Join(InstallDirectory(), e.path);
            if (e.isDirectory)
                MakeDirectories(path);
            else
                WriteTextFile(path, "content of " + korvex::WideToUtf8(e.path));
        }
    }
    static void ExpectAfterRun(const std::vector<Entry>& entries) {
        for (const Entry& e : entries) {
            const std::wstring path = Join(InstallDirectory(), e.path);
            const bool there = e.isDirectory ? DirectoryExists(path) : FileExists(path);
            EXPECT_EQ(there, e.stays)
                << korvex::WideToUtf8(e.path) << (e.stays ? " was removed" : " stayed");
        }
    }
    static void ExpectDoneMessage(const QuellixRun& run) {
        ASSERT_TRUE(run.box.has_value()) << "no message box captioned 卸载程序";
        EXPECT_EQ(run.box->text, kDoneText);
        EXPECT_EQ(run.exitCode, std::optional<DWORD>(0));
    }
};

TEST_F(EdgeCaseTest, WithoutUninstallKeyTheFilesAreStillRemoved) {
    const std::vector<Entry> tree = {
        {L"Korvex.exe", false, false},
        {L"sysctrl.dat", false, false},
        {L"cache", true, false},
        {L"cache\\index", false, false},
        {L"cache\\blob\\data_1", false, false},
        {L"empty", true, false},
    };
    LayDown(tree);
    ASSERT_FALSE(KeyExists(OurUninstallKey()));
    const std::wstring quellix = CopyQuellixTo(L"run");
    ASSERT_FALSE(quellix.empty());

    ExpectDoneMessage(RunQuellix(quellix));
    ExpectAfterRun(tree);
    EXPECT_TRUE(DirectoryExists(InstallDirectory()));
    EXPECT_TRUE(WaitFor([&] { return !AnyEntryExists(quellix); }, 30s));
}

TEST_F(EdgeCaseTest, NothingInstalledStillShowsTheMessageAndCreatesNothing) {
    const std::wstring quellix = CopyQuellixTo(L"run");
    ASSERT_FALSE(quellix.empty());

    const QuellixRun run = RunQuellix(quellix);
    ExpectDoneMessage(run);
    // One OK button and no icon.
    EXPECT_EQ(run.box->visibleButtons, std::vector<int>{IDOK});
    EXPECT_FALSE(run.box->showsIcon);
    EXPECT_FALSE(AnyEntryExists(InstallDirectory()));
    EXPECT_FALSE(AnyEntryExists(StartMenuFolder()));
    EXPECT_FALSE(KeyExists(OurUninstallKey()));
}

TEST_F(EdgeCaseTest, StartMenuFolderWithAThirdFileKeepsItAndTheFolder) {
    const std::wstring folder = StartMenuFolder();
    for (const wchar_t* name : {kShortcut, kUninstallShortcut, L"readme.txt"})
        WriteTextFile(Join(folder, name), "shortcut");
    const std::wstring quellix = CopyQuellixTo(L"run");
    ASSERT_FALSE(quellix.empty());

    ExpectDoneMessage(RunQuellix(quellix));
    EXPECT_FALSE(AnyEntryExists(Join(folder, kShortcut)));
    EXPECT_FALSE(AnyEntryExists(Join(folder, kUninstallShortcut)));
    EXPECT_TRUE(FileExists(Join(folder, L"readme.txt")));
    EXPECT_TRUE(DirectoryExists(folder));
}

TEST_F(EdgeCaseTest, NamesWithALeadingFullStopStayWithTheFoldersAboveThem) {
    const std::vector<Entry> tree = {
        {L"top.txt", false, false},
        {L"a", true, true},
        {L"a\\b", true, true},
        {L"a\\b\\.keep", false, true},
        {L"a\\b\\other.txt", false, false},
        {L"a\\c", true, false},
        {L"a\\c\\x.txt", false, false},
        {L".settings", true, true},
        {L".settings\\f.txt", false, true},
        {L"d\\..e", false, true},
        {L"d", true, true},
    };
    LayDown(tree);
    const std::wstring quellix = CopyQuellixTo(L"run");
    ASSERT_FALSE(quellix.empty());

    ExpectDoneMessage(RunQuellix(quellix));
    ExpectAfterRun(tree);
}

TEST_F(EdgeCaseTest, LinksInsideTheInstallationAreNeverFollowed) {
    // Outside the installation: a folder with content and a single file.
    const std::wstring outside = Join(scratch_, L"outside");
    const std::wstring precious = Join(outside, L"precious.txt");
    const std::wstring nested = Join(outside, L"nested\\deep.txt");
    const std::wstring emptyOutside = Join(scratch_, L"empty outside");
    const std::wstring lonely = Join(scratch_, L"lonely.txt");
    WriteTextFile(precious, "keep me");
    WriteTextFile(nested, "keep me too");
    WriteTextFile(lonely, "keep me as well");
    MakeDirectories(emptyOutside);

    const std::wstring dir = InstallDirectory();
    WriteTextFile(Join(dir, L"Korvex.exe"), "program");
    ASSERT_TRUE(MakeUnixSymlink(outside, Join(dir, L"linked folder")));
    ASSERT_TRUE(MakeUnixSymlink(emptyOutside, Join(dir, L"sub\\linked empty")));
    ASSERT_TRUE(MakeUnixSymlink(lonely, Join(dir, L"linked.txt")));
    // The walk sees the folder link as a directory reparse point.
    const DWORD linkAttributes = GetFileAttributesW(Join(dir, L"linked folder").c_str());
    ASSERT_NE(linkAttributes, INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(linkAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    ASSERT_TRUE(linkAttributes & FILE_ATTRIBUTE_DIRECTORY);
    const std::wstring quellix = CopyQuellixTo(L"run");
    ASSERT_FALSE(quellix.empty());

    ExpectDoneMessage(RunQuellix(quellix));
    EXPECT_FALSE(AnyEntryExists(Join(dir, L"Korvex.exe")));
    EXPECT_TRUE(FileExists(precious));
    EXPECT_TRUE(FileExists(nested));
    EXPECT_TRUE(FileExists(lonely));
    EXPECT_TRUE(DirectoryExists(emptyOutside));
}

TEST_F(EdgeCaseTest, WithoutComspecEverythingElseIsRemovedAndTheExecutableStays) {
    SetStringValue(OurUninstallKey(), L"DisplayName", kTitle);
    WriteTextFile(Join(DesktopFolder(), kShortcut), "shortcut");
    WriteTextFile(Join(StartMenuFolder(), kShortcut), "shortcut");
    WriteTextFile(Join(StartMenuFolder(), kUninstallShortcut), "shortcut");
    WriteTextFile(Join(InstallDirectory(), L"sysctrl.dat"), "configuration");
    const std::wstring quellix = CopyQuellixTo(L"run");
    ASSERT_FALSE(quellix.empty());
    ASSERT_FALSE(Env(L"COMSPEC").empty());

    ExpectDoneMessage(RunQuellix(quellix, EnvironmentWithout(L"COMSPEC")));
    EXPECT_FALSE(KeyExists(OurUninstallKey()));
    EXPECT_FALSE(AnyEntryExists(Join(DesktopFolder(), kShortcut)));
    EXPECT_FALSE(AnyEntryExists(StartMenuFolder()));
    EXPECT_FALSE(AnyEntryExists(Join(InstallDirectory(), L"sysctrl.dat")));
    EXPECT_TRUE(FileExists(quellix));
}

TEST_F(EdgeCaseTest, ExecutableInAFolderWithSpacesIsDeletedAfterExit) {
    const std::wstring quellix = CopyQuellixTo(L"Torvane game files\\un install");
    ASSERT_FALSE(quellix.empty());

    ExpectDoneMessage(RunQuellix(quellix));
    EXPECT_TRUE(WaitFor([&] { return !AnyEntryExists(quellix); }, 30s));
}

TEST_F(EdgeCaseTest, CommandLongerThanAPathBufferStillDeletesTheExecutable) {
    // A long but valid interpreter path: system32\.. repeated before cmd.exe.
    std::wstring interpreter = L"C:\\windows";
    for (int i = 0; i < 17; ++i) interpreter += L"\\system32\\..";
    interpreter += L"\\system32\\cmd.exe";
    ASSERT_TRUE(FileExists(interpreter));
    const std::wstring quellix = CopyQuellixTo(L"long");
    ASSERT_FALSE(quellix.empty());
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(quellix.c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_GT(interpreter.size() + wcslen(shortPath) + 17, 260u) << "command would fit anyway";

    std::vector<std::wstring> environment = EnvironmentWithout(L"COMSPEC");
    environment.push_back(L"COMSPEC=" + interpreter);
    ExpectDoneMessage(RunQuellix(quellix, environment));
    EXPECT_TRUE(WaitFor([&] { return !AnyEntryExists(quellix); }, 30s));
}

// Points the user's local application data folder somewhere that does not exist while it lives,
// so that the shell cannot give its path.
class LocalDataFolderGone {
  public:
    LocalDataFolderGone() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          &key) != ERROR_SUCCESS)
            return;
        key_ = key;
        DWORD size = sizeof(saved_);
        hadValue_ = RegQueryValueExW(key_, kValue, nullptr, &savedType_,
                                     reinterpret_cast<BYTE*>(saved_), &size) == ERROR_SUCCESS;
        savedSize_ = size;
        const wchar_t nowhere[] = L"C:\\no such folder\\Local";
        active_ =
            RegSetValueExW(key_, kValue, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(nowhere),
                           sizeof(nowhere)) == ERROR_SUCCESS;
    }
    ~LocalDataFolderGone() {
        if (!key_) return;
        if (hadValue_)
            RegSetValueExW(key_, kValue, 0, savedType_, reinterpret_cast<const BYTE*>(saved_),
                           savedSize_);
        else
            RegDeleteValueW(key_, kValue);
        RegCloseKey(key_);
    }
    bool Active() const { return active_; }

  private:
    static constexpr wchar_t kShellFolders[] =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    static constexpr wchar_t kValue[] = L"Local AppData";
    HKEY key_ = nullptr;
    bool hadValue_ = false;
    bool active_ = false;
    DWORD savedType_ = 0;
    DWORD savedSize_ = 0;
    wchar_t saved_[MAX_PATH] = {};
};

TEST_F(EdgeCaseTest, WithoutLocalDataFolderTheFallbackDirectoryIsEmptied) {
    const std::wstring fallback = L"C:\\VelkGame2";
    // The fallback lies outside the places the fixture clears.
    struct RemovedAtEnd {
        std::wstring path;
        ~RemovedAtEnd() { RemoveTreeUnix(path); }
    } cleanup{fallback};
    const std::wstring usual = InstallDirectory();
    WriteTextFile(Join(fallback, L"Korvex.exe"), "program");
    WriteTextFile(Join(fallback, L"cache\\index"), "cache");
    WriteTextFile(Join(usual, L"sysctrl.dat"), "configuration");
    const std::wstring quellix = CopyQuellixTo(L"run");
    ASSERT_FALSE(quellix.empty());
    {
        LocalDataFolderGone gone;
        ASSERT_TRUE(gone.Active());
        ExpectDoneMessage(RunQuellix(quellix));
    }
    EXPECT_FALSE(AnyEntryExists(Join(fallback, L"Korvex.exe")));
    EXPECT_FALSE(AnyEntryExists(Join(fallback, L"cache")));
    EXPECT_TRUE(DirectoryExists(fallback));
    EXPECT_TRUE(FileExists(Join(usual, L"sysctrl.dat")));
}

}  // namespace
}  // namespace quellix_test
