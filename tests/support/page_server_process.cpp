#include "page_server_process.h"

#include <windows.h>

#include <sstream>

#include "base/environment.h"
#include "base/quote_argument.h"
#include "base/scoped_handle.h"
#include "base/utf.h"
#include "file_text.h"
#include "linux_processes.h"
#include "message_pump.h"

namespace korvex_test {
namespace {

std::string EnvUtf8(const wchar_t* name) {
    return korvex::WideToUtf8(korvex::GetEnv(name).value_or(L""));
}

}  // namespace

std::string SourcePath(const std::string& relative) {
    return EnvUtf8(L"KORVEX_SOURCE_DIR") + "/" + relative;
}

PageServerProcess::PageServerProcess(const std::string& root, bool https) : https_(https) {
    std::vector<std::string> arguments = {"--root", root};
    if (https) arguments.push_back("--https");  // its files are made in Start
    Start("page_server", std::move(arguments));
}

PageServerProcess::PageServerProcess(const std::string& program,
                                     const std::vector<std::string>& arguments) {
    Start(program, arguments);
}

void PageServerProcess::Start(const std::string& program, std::vector<std::string> arguments) {
    static int serial = 0;
    dir_ = RunDir() + L"\\page-server-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++serial);
    CreateDirectoryW(dir_.c_str(), nullptr);
    const std::string dir = UnixPath(dir_);
    if (https_) {
        RunShell("cd '" + dir +
                 "' && openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=localhost -keyout "
                 "key.pem -out cert.pem -days 1 >/dev/null 2>&1");
        arguments.push_back(dir + "/cert.pem");
        arguments.push_back(dir + "/key.pem");
    }
    arguments.insert(arguments.end(), {"--info", dir + "/info", "--log", dir + "/log"});
    std::wstring command =
        korvex::QuoteArgument(korvex::Utf8ToWide(EnvUtf8(L"KORVEX_HOST_BIN_DIR") + "/" + program));
    for (const std::string& a : arguments)
        command += L" " + korvex::QuoteArgument(korvex::Utf8ToWide(a));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi))
        return;
    const korvex::ScopedProcess started(pi);
    const std::wstring info = dir_ + L"\\info";
    PumpUntil([&] { return GetFileAttributesW(info.c_str()) != INVALID_FILE_ATTRIBUTES; },
              std::chrono::seconds(20));
    std::istringstream fields(ReadFileText(info));
    fields >> port_ >> pid_;
    if (!fields) port_ = 0, pid_ = 0;
}

PageServerProcess::~PageServerProcess() {
    if (pid_ == 0) return;
    RunShell("kill " + std::to_string(pid_) + " 2>/dev/null");
    if (!WaitUntilGone({pid_}, std::chrono::seconds(10))) KillAll({pid_});
}

std::string PageServerProcess::Origin() const {
    return std::string(https_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> PageServerProcess::Requests() const {
    std::vector<std::string> out;
    std::istringstream lines(ReadFileText(dir_ + L"\\log"));
    std::string line;
    while (std::getline(lines, line)) {
        const auto space = line.find(' ');  // after the time stamp
        if (space != std::string::npos) out.push_back(line.substr(space + 1));
    }
    return out;
}

int PageServerProcess::Count(const std::string& target) const {
    int n = 0;
    for (const auto& r : Requests()) n += r == "GET " + target;
    return n;
}

bool PageServerProcess::WaitFor(const std::function<bool(const std::vector<std::string>&)>& seen,
                                std::chrono::milliseconds limit) const {
    return PumpUntil([&] { return seen(Requests()); }, limit);
}

}  // namespace korvex_test
