// Loading sysctrl.dat in a real process under Wine: config_probe.exe is copied into a scratch
// folder per case, started from another current directory, and its message box is found among
// the probe's windows, read and closed.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "TestRecord.h"
#include "base/environment.h"
#include "base/utf.h"
#include "config/ConfigCipher.h"
#include "config/ConfigEncipher.h"
#include "message_box_finder.h"

namespace fs = std::filesystem;

namespace {

constexpr wchar_t kAppName[] = L"config_probe";
constexpr wchar_t kOwnerCaption[] = L"config probe owner";
constexpr DWORD kGuardMs = 120000;  // a hung probe fails the case instead of the whole run

std::wstring Env(const wchar_t* name) { return korvex::GetEnv(name).value_or(L""); }

// A Unix path of the harness as Wine sees it.
fs::path FromUnix(std::wstring path) {
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return fs::path(L"Z:" + path);
}

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::wstring Lower(std::wstring s) {
    CharLowerBuffW(s.data(), DWORD(s.size()));
    return s;
}

std::wstring WithoutTrailingSlash(std::wstring s) {
    while (s.size() > 3 && s.back() == L'\\') s.pop_back();
    return s;
}

struct ProbeBox {
    korvex_test::MessageBoxSeen seen;
    bool datOpenable = false;  // sysctrl.dat could be opened exclusively while the box showed
};

struct ProbeRun {
    std::vector<ProbeBox> boxes;
    std::map<std::wstring, std::wstring> report;
    std::vector<std::uint8_t> record;
    DWORD exitCode = ~0u;
};

class LoadConfig : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::wstring run = Env(L"KORVEX_RUN_DIR"), bin = Env(L"KORVEX_BIN_DIR");
        ASSERT_FALSE(run.empty());
        ASSERT_FALSE(bin.empty());
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        caseDir_ = FromUnix(run) / name;
        appDir_ = caseDir_ / "app";
        otherDir_ = caseDir_ / "elsewhere";
        fs::create_directories(appDir_);
        fs::create_directories(otherDir_);
        fs::copy_file(FromUnix(bin) / "config_probe.exe", appDir_ / "config_probe.exe");
    }

    void TearDown() override {
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 10000);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        if (held_ != INVALID_HANDLE_VALUE) CloseHandle(held_);
        std::error_code ignored;
        fs::remove_all(caseDir_, ignored);
    }

    // Starts the probe from the other folder, closes every message box it shows and collects
    // what it reported.
    ProbeRun RunProbe() {
        ProbeRun run;
        const fs::path result = caseDir_ / "result.txt";
        std::wstring command =
            L"\"" + (appDir_ / "config_probe.exe").wstring() + L"\" \"" + result.wstring() + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            otherDir_.c_str(), &si, &process_)) {
            ADD_FAILURE() << "CreateProcessW failed: " << GetLastError();
            return run;
        }
        const DWORD start = GetTickCount();
        while (WaitForSingleObject(process_.hProcess, 50) == WAIT_TIMEOUT) {
            if (GetTickCount() - start > kGuardMs) {
                ADD_FAILURE() << "the probe did not finish";
                return run;
            }
            const HWND box = korvex_test::FindProcessDialog(process_.dwProcessId);
            if (!box) continue;
            ProbeBox seen{korvex_test::ReadMessageBox(box)};
            HANDLE exclusive = CreateFileW(Dat().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                           OPEN_EXISTING, 0, nullptr);
            seen.datOpenable = exclusive != INVALID_HANDLE_VALUE;
            if (seen.datOpenable) CloseHandle(exclusive);
            run.boxes.push_back(seen);
            if (!korvex_test::PressButton(box, IDOK)) {
                ADD_FAILURE() << "the message box has no OK button to press";
                return run;
            }
            while (IsWindow(box) && WaitForSingleObject(process_.hProcess, 50) == WAIT_TIMEOUT &&
                   GetTickCount() - start <= kGuardMs) {
            }
        }
        GetExitCodeProcess(process_.hProcess, &run.exitCode);

        const auto bytes = ReadBytes(result);
        std::wstring text(bytes.size() / 2, L'\0');
        std::memcpy(text.data(), bytes.data(), text.size() * 2);
        size_t pos = 0;
        while (pos < text.size()) {
            const size_t end = text.find(L'\n', pos);
            const std::wstring line = text.substr(pos, end - pos);
            const size_t eq = line.find(L'=');
            if (eq != std::wstring::npos) run.report[line.substr(0, eq)] = line.substr(eq + 1);
            pos = end == std::wstring::npos ? text.size() : end + 1;
        }
        run.record = ReadBytes(fs::path(result.wstring() + L".record"));
        return run;
    }

    fs::path Dat() const { return appDir_ / "sysctrl.dat"; }

    fs::path caseDir_, appDir_, otherDir_;
    PROCESS_INFORMATION process_{};
    HANDLE held_ = INVALID_HANDLE_VALUE;
};

std::vector<std::uint8_t> RecordBytes(const SysCtrlConfig& record) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&record);
    return {p, p + sizeof record};
}

// The probe started from another directory ends up in its own and reports its paths.
void ExpectPaths(const ProbeRun& run, const fs::path& appDir) {
    const std::wstring dir = appDir.wstring();
    EXPECT_EQ(Lower(WithoutTrailingSlash(run.report.at(L"cwd"))), Lower(dir));
    EXPECT_EQ(Lower(run.report.at(L"exedir")), Lower(dir + L"\\"));
    EXPECT_EQ(run.report.at(L"exename"), L"config_probe.exe");
}

TEST_F(LoadConfig, GoodFileFillsTheRecordFromAnotherDirectory) {
    const SysCtrlConfig known = korvex::testing::KnownRecord();
    WriteFile(Dat(), korvex::EncipherRecord(known));
    const ProbeRun run = RunProbe();
    ASSERT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxes.empty()) << korvex::WideToUtf8(run.boxes.front().seen.text);
    EXPECT_EQ(run.report.at(L"result"), L"1");
    EXPECT_EQ(run.report.at(L"quit"), L"0");
    ExpectPaths(run, appDir_);
    EXPECT_EQ(run.record, RecordBytes(known));
}

TEST_F(LoadConfig, TrailingPlaintextIsIgnored) {
    const SysCtrlConfig known = korvex::testing::KnownRecord();
    std::vector<std::uint8_t> plain = RecordBytes(known);
    plain.resize(plain.size() + 100, 0x41);
    korvex::CipherChoices choices{{1, 2, 3, 4}, {5, 6, 7}, std::vector<std::uint8_t>(4, 0)};
    WriteFile(Dat(), korvex::EncipherConfig(plain.data(), plain.size(), choices,
                                            korvex::BuildConfigKey()));
    const ProbeRun run = RunProbe();
    ASSERT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(run.report.at(L"result"), L"1");
    EXPECT_EQ(run.record, RecordBytes(known));
}

struct FailureCase {
    const char* name;
    std::function<void(const fs::path& dat, HANDLE& held)> prepare;
    const wchar_t* message;
};

class LoadConfigFailure : public LoadConfig, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LoadConfigFailure, ShowsTheMessageAndPostsQuit) {
    GetParam().prepare(Dat(), held_);
    const ProbeRun run = RunProbe();
    ASSERT_EQ(run.exitCode, 0u);
    ASSERT_EQ(run.boxes.size(), 1u);
    const korvex_test::MessageBoxSeen& box = run.boxes[0].seen;
    EXPECT_EQ(box.caption, kAppName);
    EXPECT_EQ(box.text, GetParam().message) << korvex::WideToUtf8(box.text);
    EXPECT_EQ(box.visibleButtons, std::vector<int>{IDOK});
    EXPECT_EQ(box.ownerCaption, kOwnerCaption);
    if (std::wstring(GetParam().message) == L"读取系统文件错误") {
        EXPECT_TRUE(run.boxes[0].datOpenable) << "the file is still open during the message";
    }
    EXPECT_EQ(run.report.at(L"result"), L"0");
    EXPECT_EQ(run.report.at(L"quit"), L"1");
    ExpectPaths(run, appDir_);
    EXPECT_EQ(run.record, std::vector<std::uint8_t>(sizeof(SysCtrlConfig), 0));
}

std::vector<std::uint8_t> GoodFile() {
    return korvex::EncipherRecord(korvex::testing::KnownRecord());
}

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, size_t size) {
    bytes.resize(size);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadConfigFailure,
    ::testing::Values(
        FailureCase{"missing", [](const fs::path&, HANDLE&) {}, L"系统文件丢失"},
        FailureCase{"directory", [](const fs::path& dat, HANDLE&) { fs::create_directory(dat); },
                    L"系统文件丢失"},
        FailureCase{"held_open_for_writing",
                    [](const fs::path& dat, HANDLE& held) {
                        WriteFile(dat, GoodFile());
                        held = CreateFileW(dat.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr);
                        ASSERT_NE(held, INVALID_HANDLE_VALUE);
                    },
                    L"打开系统文件错误"},
        FailureCase{"empty", [](const fs::path& dat, HANDLE&) { WriteFile(dat, {}); },
                    L"读取系统文件错误"},
        FailureCase{"short",
                    [](const fs::path& dat, HANDLE&) { WriteFile(dat, Cut(GoodFile(), 3112)); },
                    L"读取系统文件错误"},
        FailureCase{"not_whole_blocks",
                    [](const fs::path& dat, HANDLE&) { WriteFile(dat, Cut(GoodFile(), 3121)); },
                    L"读取系统文件错误"},
        FailureCase{
            "padding_leaves_too_little",
            [](const fs::path& dat, HANDLE&) {
                const auto record = RecordBytes(korvex::testing::KnownRecord());
                korvex::CipherChoices choices{{9, 9, 9, 9}, {}, std::vector<std::uint8_t>(8)};
                auto file = korvex::EncipherConfig(record.data(), record.size(), choices,
                                                   korvex::BuildConfigKey());
                WriteFile(dat, Cut(file, file.size() - 8));  // 3120 bytes, 3104 plaintext
            },
            L"读取系统文件错误"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
