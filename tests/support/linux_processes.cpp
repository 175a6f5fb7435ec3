#include "linux_processes.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <sstream>
#include <thread>

#include "base/environment.h"
#include "base/quote_argument.h"
#include "base/scoped_handle.h"
#include "base/utf.h"
#include "base/wine.h"
#include "file_text.h"

namespace korvex_test {
namespace {

std::wstring ProcPath(unsigned long pid, const wchar_t* file) {
    return L"Z:\\proc\\" + std::to_wstring(pid) + L"\\" + file;
}

}  // namespace

std::optional<LinuxProcess> ReadProcess(unsigned long pid) {
    const std::string stat = ReadFileText(ProcPath(pid, L"stat"));
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream rest(stat.substr(close + 1));
    LinuxProcess p;
    p.pid = pid;
    rest >> p.state >> p.ppid >> p.pgid;
    if (!rest) return std::nullopt;
    return p;
}

double CpuSeconds(unsigned long pid) {
    const std::string stat = ReadFileText(ProcPath(pid, L"stat"));
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream rest(stat.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    // After the name: state is field 3; utime and stime are fields 14 and 15.
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return double(utime + stime) / 100.0;  // clock ticks of Linux: 100 a second
}

bool IsRunning(unsigned long pid) {
    auto p = ReadProcess(pid);
    return p && p->state != 'Z' && p->state != 'X';
}

std::vector<LinuxProcess> AllProcesses() {
    std::vector<LinuxProcess> out;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &data);
    if (find == INVALID_HANDLE_VALUE) return out;
    do {
        wchar_t* end = nullptr;
        const unsigned long pid = wcstoul(data.cFileName, &end, 10);
        if (pid == 0 || *end != 0) continue;
        if (auto p = ReadProcess(pid)) out.push_back(*p);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return out;
}

std::vector<unsigned long> ProcessTree(unsigned long root) {
    const auto all = AllProcesses();
    std::vector<unsigned long> tree{root};
    for (std::size_t i = 0; i < tree.size(); ++i)
        for (const auto& p : all)
            if (p.ppid == tree[i] && p.pid != root) tree.push_back(p.pid);
    for (const auto& p : all)
        if (p.pgid == root && std::find(tree.begin(), tree.end(), p.pid) == tree.end())
            tree.push_back(p.pid);
    return tree;
}

std::vector<unsigned long> TreeProcessesWith(unsigned long root, const std::string& prefix) {
    std::vector<unsigned long> found;
    for (unsigned long pid : ProcessTree(root)) {
        // A process forked from a zygote rewrites its title: one argument, words separated by
        // spaces.
        for (const std::string& arg : CommandLine(pid)) {
            std::istringstream words(arg);
            std::string word;
            bool match = false;
            while (!match && words >> word) match = word.rfind(prefix, 0) == 0;
            if (match) {
                found.push_back(pid);
                break;
            }
        }
    }
    return found;
}

std::vector<std::string> CommandLine(unsigned long pid) {
    const std::string raw = ReadFileText(ProcPath(pid, L"cmdline"));
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\0') {
            out.push_back(raw.substr(start, i - start));
            start = i + 1;
        }
    }
    return out;
}

std::vector<unsigned long> FindByCommandLine(const std::string& text) {
    std::vector<unsigned long> out;
    for (const auto& p : AllProcesses()) {
        for (const auto& arg : CommandLine(p.pid)) {
            if (arg.find(text) != std::string::npos) {
                out.push_back(p.pid);
                break;
            }
        }
    }
    return out;
}

bool WaitUntilGone(const std::vector<unsigned long>& pids, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        bool any = false;
        for (auto pid : pids) any = any || IsRunning(pid);
        if (!any) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void RunShell(const std::string& command) {
    // The handle Wine gives for a Linux process does not reliably tell when it has ended, so the
    // shell leaves a mark of its own when the command is done.
    static std::atomic<int> serial{0};
    const std::wstring done = RunDir() + L"\\shell-done-" + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(++serial);
    const std::string marked = "( " + command + " ); : > '" + UnixPath(RunDir()) + "/" +
                               korvex::WideToUtf8(done.substr(done.rfind(L'\\') + 1)) + "'";
    std::wstring cmd = L"/bin/sh -c " + korvex::QuoteArgument(korvex::Utf8ToWide(marked));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi))
        return;
    const korvex::ScopedProcess shell(pi);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES &&
           std::chrono::steady_clock::now() < end) {
        Sleep(10);
    }
    DeleteFileW(done.c_str());
}

void KillAll(const std::vector<unsigned long>& pids) {
    std::string cmd = "kill -9";
    for (auto pid : pids) cmd += " " + std::to_string(pid);
    RunShell(cmd + " 2>/dev/null");
}

std::wstring WindowsPath(const std::string& unix_path) {
    return korvex::wine::WindowsPath(unix_path).value_or(std::wstring());
}

std::string UnixPath(const std::wstring& windows_path) {
    return korvex::wine::UnixPath(windows_path).value_or(std::string());
}

std::wstring RunDir() {
    const auto dir = korvex::GetEnv(L"KORVEX_RUN_DIR");
    return dir ? WindowsPath(korvex::WideToUtf8(*dir)) : std::wstring();
}

}  // namespace korvex_test
