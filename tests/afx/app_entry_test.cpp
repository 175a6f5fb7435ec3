// The entry sequence of a framework program, watched from outside: the probe program is started
// as a real process and its log and exit code are checked.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "base/exe_paths.h"

namespace {

std::wstring ProbePath() { return std::wstring(GetExeDirectory()) + L"afx_app_probe.exe"; }

// A scratch log file, removed when the test ends however it ends.
struct ScratchLog {
    std::wstring path;
    explicit ScratchLog(const std::wstring& name) {
        wchar_t dir[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, dir);
        path = std::wstring(dir) + name;
        ::DeleteFileW(path.c_str());
    }
    ~ScratchLog() { ::DeleteFileW(path.c_str()); }
    std::string Read() const {
        std::string text;
        if (FILE* f = _wfopen(path.c_str(), L"rb")) {
            char buffer[512];
            size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
            std::fclose(f);
        }
        return text;
    }
};

struct ProbeRun {
    DWORD exitCode = 0xFFFFFFFF;
    bool finished = false;
};

// Starts the probe and waits for it; a probe that does not end is ended, so nothing outlives
// the test.
ProbeRun RunProbe(const std::wstring& mode, const std::wstring& log) {
    std::wstring cmd = L"\"" + ProbePath() + L"\" " + mode + L" " + log;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    ProbeRun run;
    if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi)) {
        return run;
    }
    run.finished = ::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0;
    if (!run.finished) {
        ::TerminateProcess(pi.hProcess, 1);
        ::WaitForSingleObject(pi.hProcess, 10000);
    }
    ::GetExitCodeProcess(pi.hProcess, &run.exitCode);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return run;
}

struct EntryCase {
    std::string mode;
    DWORD exitCode;
    std::string expectedLog;
};

class EntrySequence : public ::testing::TestWithParam<EntryCase> {};

const char kSetUp[] =
    "InitInstance constructed-before=yes\n"
    "app=this\n"
    "instance=module\n"
    "name=afx_app_probe\n"
    "visual=CMFCVisualManagerWindows\n"
    "registry=ProbeKey\n";

TEST_P(EntrySequence, RunsInitInstanceThenExitInstance) {
    const EntryCase& c = GetParam();
    ScratchLog log(L"afx-probe-" + std::wstring(c.mode.begin(), c.mode.end()) + L".log");
    const ProbeRun run = RunProbe(std::wstring(c.mode.begin(), c.mode.end()), log.path);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(log.Read(), kSetUp + c.expectedLog);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, EntrySequence,
    ::testing::Values(
        EntryCase{"init-false", 37,
                  "shell managers=0\nmain window cleared\nInitInstance returns FALSE\n"
                  "ExitInstance base=0\n"},
        EntryCase{"modal-quit", 37,
                  "dialog DestroyWindow\nDoModal=-1\nshell managers=0\nmain window cleared\n"
                  "InitInstance returns FALSE\nExitInstance base=0\n"},
        EntryCase{"init-true", 9,
                  "shell managers=0\nmain window cleared\nInitInstance returns TRUE\n"
                  "ExitInstance base=9\n"}),
    [](const auto& info) {
        std::string name = info.param.mode;
        for (char& ch : name) {
            if (ch == '-') ch = '_';
        }
        return name;
    });

}  // namespace
