#include "probe_process.h"

#include <algorithm>

#include "base/environment.h"
#include "base/exe_paths.h"
#include "base/quote_argument.h"
#include "base/utf.h"
#include "environment_block.h"
#include "linux_processes.h"

namespace cef_test {

using namespace korvex_test;

namespace {

std::wstring BinDir() {
    const std::string unix_dir =
        korvex::WideToUtf8(korvex::GetEnv(L"KORVEX_BIN_DIR").value_or(L""));
    if (!unix_dir.empty() && unix_dir.front() == '/') return WindowsPath(unix_dir);
    // Not set: the folder of this test program.
    std::wstring dir = GetExeDirectory();
    dir.pop_back();
    return dir;
}

}  // namespace

ProbeProcess::ProbeProcess(const std::vector<std::wstring>& args,
                           const std::vector<std::wstring>& environment) {
    token_ = "korvex-probe-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(GetTickCount64());
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE child_in = nullptr, child_out = nullptr;
    CreatePipe(&child_in, &stdin_write_, &inherit, 0);
    CreatePipe(&stdout_read_, &child_out, &inherit, 0);
    SetHandleInformation(stdin_write_, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(stdout_read_, HANDLE_FLAG_INHERIT, 0);

    std::wstring cmd = korvex::QuoteArgument(BinDir() + L"\\cef_probe.exe") + L" --token=" +
                       korvex::Utf8ToWide(token_);
    for (const auto& a : args) cmd += L" " + korvex::QuoteArgument(a);
    std::wstring env = EnvironmentBlock(environment);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = child_in;
    si.hStdOutput = child_out;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                       env.data(), nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        process_ = pi.hProcess;
    } else {
        start_error_ = GetLastError();
    }
    CloseHandle(child_in);
    CloseHandle(child_out);
    reader_ = std::thread([this] { ReadLoop(); });
    if (process_) {
        const std::string first = ReadLine(120000);
        hello_ = Json::parse(first, nullptr, false);
        if (hello_.value("initialized", false)) {
            engine_pid_ = Command({{"cmd", "info"}}).value("engine_pid", 0ul);
            RememberEngineProcesses();
        }
    }
}

ProbeProcess::~ProbeProcess() {
    if (stdin_write_) CloseHandle(stdin_write_);  // The probe ends when its input ends.
    if (process_ && WaitForSingleObject(process_, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process_, 1);
    // Whatever the test found, leave no engine process behind.
    RememberEngineProcesses();
    if (!engine_processes_.empty() && !WaitUntilGone(engine_processes_, std::chrono::seconds(20)))
        KillAll(engine_processes_);
    if (process_) {
        WaitForSingleObject(process_, 5000);
        CloseHandle(process_);
    }
    if (reader_.joinable()) reader_.join();  // The probe has ended: its output is closed.
    CloseHandle(stdout_read_);
}

void ProbeProcess::RememberEngineProcesses() {
    if (engine_pid_ == 0 || !IsRunning(engine_pid_)) return;
    for (auto pid : ProcessTree(engine_pid_))
        if (std::find(engine_processes_.begin(), engine_processes_.end(), pid) ==
            engine_processes_.end())
            engine_processes_.push_back(pid);
}

Json ProbeProcess::Command(const Json& command) {
    if (!process_) return nullptr;
    const std::string line = command.dump() + "\n";
    DWORD written = 0;
    if (!WriteFile(stdin_write_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr))
        return nullptr;
    return Json::parse(ReadLine(90000), nullptr, false);
}

bool ProbeProcess::WaitForExit(DWORD ms) {
    return process_ && WaitForSingleObject(process_, ms) == WAIT_OBJECT_0;
}

void ProbeProcess::Terminate() {
    if (process_) TerminateProcess(process_, 1);
}

unsigned long ProbeProcess::LinuxPid() const {
    auto pids = FindByCommandLine("--token=" + token_);
    return pids.size() == 1 ? pids.front() : 0;
}

std::string ProbeProcess::ReadLine(DWORD timeout_ms) {
    std::unique_lock lock(mutex_);
    cv_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                 [this] { return !lines_.empty() || ended_; });
    if (lines_.empty()) return {};
    std::string line = std::move(lines_.front());
    lines_.pop_front();
    return line;
}

void ProbeProcess::ReadLoop() {
    std::string pending;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(stdout_read_, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        pending.append(buffer, got);
        for (std::size_t nl; (nl = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, nl);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            pending.erase(0, nl + 1);
            std::lock_guard lock(mutex_);
            lines_.push_back(std::move(line));
            cv_.notify_all();
        }
    }
    std::lock_guard lock(mutex_);
    ended_ = true;
    cv_.notify_all();
}

}  // namespace cef_test
