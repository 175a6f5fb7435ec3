#include "uninstall_fixture.h"

#include <chrono>

namespace quellix_test {

using namespace std::chrono_literals;

std::wstring OurUninstallKey() { return std::wstring(kUninstallRoot) + L"\\VelkGame2"; }
std::wstring StartMenuFolder() { return Join(ProgramsFolder(), kTitle); }

QuellixRun RunQuellix(const std::wstring& executable,
                      const std::optional<std::vector<std::wstring>>& environment) {
    QuellixRun run;
    ChildProcess quellix(L"\"" + executable + L"\"", environment);
    if (!quellix.Started()) return run;
    run.box = WaitForMessageBox(quellix, kCaption, 60s);
    if (run.box && !korvex_test::PressButton(run.box->window, IDOK))
        ADD_FAILURE() << "the message box has no OK button to press";
    run.exitCode = quellix.Wait(60s);
    return run;
}

void UninstallTest::ClearInstallation() {
    DeleteKeyTree(OurUninstallKey());
    DeleteFileW(Join(DesktopFolder(), kShortcut).c_str());
    RemoveTreeUnix(StartMenuFolder());
    RemoveTreeUnix(InstallDirectory());
}

void UninstallTest::SetUpTestSuite() { ASSERT_TRUE(RepairUserFolders()); }

void UninstallTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string name = std::string(info->test_suite_name()) + "." + info->name();
    scratch_ = Join(WindowsPathOfUnix(Env(L"KORVEX_RUN_DIR")),
                    L"scratch\\" + std::wstring(name.begin(), name.end()));
    ASSERT_FALSE(Env(L"KORVEX_RUN_DIR").empty());
    RemoveTreeUnix(scratch_);
    MakeDirectories(scratch_);
    ClearInstallation();
}

void UninstallTest::TearDown() {
    ClearInstallation();
    RemoveTreeUnix(scratch_);
}

std::wstring UninstallTest::CopyQuellixTo(const std::wstring& subfolder) {
    const std::wstring folder = Join(scratch_, subfolder);
    MakeDirectories(folder);
    const std::wstring copy = Join(folder, L"Quellix.exe");
    const std::wstring built = Join(WindowsPathOfUnix(Env(L"KORVEX_BIN_DIR")), L"Quellix.exe");
    return CopyFileW(built.c_str(), copy.c_str(), FALSE) ? copy : L"";
}

}  // namespace quellix_test
