#include "korvex_process.h"

#include <algorithm>
#include <fstream>
#include <filesystem>

#include "base/environment.h"
#include "base/quote_argument.h"
#include "base/scoped_handle.h"
#include "base/text_view.h"
#include "base/utf.h"
#include "config/ConfigEncipher.h"
#include "environment_block.h"
#include "linux_processes.h"
#include "message_pump.h"

namespace korvex_test {
namespace {

void SetText(wchar_t (&field)[korvex::kConfigTextUnits], const std::string& text) {
    const std::wstring wide = korvex::Utf8ToWide(text);
    std::fill(std::begin(field), std::end(field), L'\0');
    std::copy_n(wide.begin(), std::min(wide.size(), korvex::kConfigTextMaxChars), field);
}

std::wstring BinDir() {
    return WindowsPath(korvex::WideToUtf8(korvex::GetEnv(L"KORVEX_BIN_DIR").value_or(L"")));
}

}  // namespace

SysCtrlConfig DemoConfig(const std::string& origin, const std::string& login_path) {
    SysCtrlConfig c{};
    c.rcOfficialBtn = {420, 468, 491, 492};
    c.rcRechargeBtn = {521, 468, 592, 492};
    c.rcServiceBtn = {622, 468, 693, 492};
    c.rcForumBtn = {723, 469, 794, 491};
    c.rcMinimizeBtn = {850, 128, 877, 155};
    c.rcCloseBtn = {884, 128, 911, 155};
    c.nBrowserLeft = 400;
    c.nBrowserTop = 170;
    c.nBrowserWidth = 460;
    c.nBrowserHeight = 280;
    SetText(c.szLoginUrl, origin + login_path);
    SetText(c.szOfficialUrl, origin + "/official.html");
    SetText(c.szRechargeUrl, origin + "/recharge.html");
    SetText(c.szServiceUrl, origin + "/service.html");
    SetText(c.szForumUrl, origin + "/forum.html");
    return c;
}

struct WindowSearch {
    DWORD pid;
    bool visible_only;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM lp) {
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == s->pid && (!s->visible_only || IsWindowVisible(window)))
        s->found.push_back(window);
    return TRUE;
}

std::vector<HWND> ProcessWindows(DWORD pid, bool visible_only) {
    WindowSearch search{pid, visible_only, {}};
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

KorvexProcess::KorvexProcess(const SysCtrlConfig* config, const std::wstring& exe_name) {
    static int serial = 0;
    folder_ = RunDir() + L"\\korvex-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(++serial);
    std::filesystem::create_directories(folder_);
    exe_ = folder_ + L"\\" + exe_name;
    CopyFileW((BinDir() + L"\\Korvex.exe").c_str(), exe_.c_str(), FALSE);
    if (config) {
        const std::vector<std::uint8_t> file = korvex::EncipherRecord(*config);
        std::ofstream out(std::filesystem::path(folder_ + L"\\sysctrl.dat"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    }
}

KorvexProcess::KorvexProcess(SameFolderAs same)
    : folder_(same.first.folder_), exe_(same.first.exe_) {}

KorvexProcess::~KorvexProcess() {
    if (running()) Kill();
    if (process_) CloseHandle(process_);
    // Whatever happened, no engine of this folder stays behind.
    EngineProcesses();
    if (!engine_seen_.empty() && !WaitUntilGone(engine_seen_, std::chrono::seconds(20)))
        KillAll(engine_seen_);
}

namespace {

// The test prefix leaves windows unmanaged for speed; Korvex runs managed, as on a player's
// desktop, where owned windows (the browser host) stay above their owner (the launcher).
void ManageWindows() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    const wchar_t yes[] = L"Y";
    RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(yes), sizeof yes);
    RegCloseKey(key);
}

}  // namespace

bool KorvexProcess::Start(const std::vector<std::wstring>& environment,
                          const std::wstring& standard_error) {
    ManageWindows();
    if (process_) CloseHandle(process_);
    process_ = nullptr;
    std::wstring command = korvex::QuoteArgument(exe_);
    std::wstring block = EnvironmentBlock(environment);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    korvex::ScopedHandle error_file;
    if (!standard_error.empty()) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        error_file.reset(CreateFileW(standard_error.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                     &inherit, CREATE_ALWAYS, 0, nullptr));
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdError = error_file.get();
        si.hStdOutput = error_file.get();
    }
    PROCESS_INFORMATION pi{};
    // Started from another folder: Korvex finds its files beside itself.
    if (!CreateProcessW(exe_.c_str(), command.data(), nullptr, nullptr, bool(error_file),
                        CREATE_UNICODE_ENVIRONMENT, block.data(), RunDir().c_str(), &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    return true;
}

bool KorvexProcess::running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool KorvexProcess::WaitForExit(std::chrono::milliseconds limit) {
    return process_ && PumpUntil([&] { return !running(); }, limit);
}

DWORD KorvexProcess::exit_code() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_, &code);
    return code;
}

void KorvexProcess::Kill() {
    EngineProcesses();
    if (process_) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 20000);
    }
}

HWND KorvexProcess::Launcher() const {
    for (HWND w : ProcessWindows(pid_, false)) {
        if (GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_LAYERED) return w;
    }
    return nullptr;
}

namespace {

bool HoldsBrowser(HWND window) {
    return FindWindowExW(window, nullptr, L"CefBrowserWindow", nullptr) != nullptr;
}

std::wstring Caption(HWND window) {
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return text;
}

}  // namespace

HWND KorvexProcess::Host() const {
    for (HWND w : ProcessWindows(pid_, false)) {
        if (GetWindow(w, GW_OWNER) && HoldsBrowser(w) && Caption(w).empty()) return w;
    }
    return nullptr;
}

HWND KorvexProcess::Game() const {
    for (HWND w : ProcessWindows(pid_, false)) {
        if (HoldsBrowser(w) && Caption(w) == L"Torvane") return w;
    }
    return nullptr;
}

HWND KorvexProcess::HostBrowser() const {
    HWND host = Host();
    return host ? FindWindowExW(host, nullptr, L"CefBrowserWindow", nullptr) : nullptr;
}

HWND KorvexProcess::WaitFor(HWND (KorvexProcess::*window)() const,
                            std::chrono::milliseconds limit) const {
    HWND found = nullptr;
    PumpUntil([&] { return (found = (this->*window)()) != nullptr; }, limit);
    return found;
}

unsigned long KorvexProcess::EnginePid() const {
    const std::string profile = "--user-data-dir=" + UnixPath(CacheFolder());
    for (unsigned long pid : FindByCommandLine(profile)) {
        const auto args = CommandLine(pid);
        // The library's launching shell carries the engine's arguments too.
        const bool launcher = !args.empty() && args[0] == "/bin/sh";
        const bool main = !launcher && std::find(args.begin(), args.end(),
                                                 "--remote-debugging-pipe") != args.end();
        const bool child = std::any_of(args.begin(), args.end(), [](const std::string& a) {
            return a.rfind("--type=", 0) == 0;
        });
        if (main && !child && std::find(args.begin(), args.end(), profile) != args.end())
            return pid;
    }
    return 0;
}

std::vector<unsigned long> KorvexProcess::EngineProcesses() const {
    if (const unsigned long engine = EnginePid()) {
        for (unsigned long pid : ProcessTree(engine)) {
            if (std::find(engine_seen_.begin(), engine_seen_.end(), pid) == engine_seen_.end())
                engine_seen_.push_back(pid);
        }
    }
    return engine_seen_;
}

}  // namespace korvex_test
