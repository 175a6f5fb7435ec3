#include "engine/engine_process.h"

#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include "base/quote_argument.h"
#include "base/scoped_handle.h"
#include "base/utf.h"
#include "base/wine.h"

namespace cef_detail {
namespace {

using korvex::QuoteArgument;
using korvex::ScopedHandle;
using korvex::Utf8ToWide;
using korvex::WideToUtf8;

// Started by /bin/sh under Wine. The engine reads commands on fd 3 and writes on fd 4; both are
// FIFOs in a folder only this user can enter. A third FIFO, "alive", is held open for writing by
// the application: when it reaches end of file (the application ended, however it ended) the
// shell ends the engine's whole process group and removes the folder.
// Wine opens a FIFO without waiting for its other end, and a read before any writer has opened
// it returns end of file. So the shell opens the engine's ends itself before it starts the
// engine, and writes "pid" only then: once the application sees "pid", the output has a writer,
// and it reaches end of file only when the engine has gone.
constexpr std::string_view kWineLauncher = R"(d=$1; shift
umask 077
chmod 700 "$d" && mkfifo "$d/in" "$d/out" "$d/alive" || exit 1
: > "$d/ready"
exec 5<"$d/alive" 6<"$d/in" 7>"$d/out" </dev/null >/dev/null 2>&1
setsid "$@" 3<&6 4>&7 5<&- 6<&- 7>&- >"$d/engine.log" 2>&1 &
engine=$!
exec 6<&- 7>&-
echo "$engine" > "$d/pid.tmp" && mv "$d/pid.tmp" "$d/pid"
cat <&5 >/dev/null
exec 5<&-
kill -TERM -"$engine" 2>/dev/null
( sleep 5; kill -KILL -"$engine" 2>/dev/null ) >/dev/null 2>&1 &
wait "$engine"
kill -KILL -"$engine" 2>/dev/null
rm -rf "$d"
)";

constexpr DWORD kStartTimeoutMs = 20000;

std::wstring Join(const std::wstring& dir, const wchar_t* name) { return dir + L"\\" + name; }

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring LastErrorText(const char* what) {
    return Utf8ToWide(what) + L" failed (error " + std::to_wstring(GetLastError()) + L")";
}

// A fresh folder under the temporary directory, named after this process.
bool MakePrivateDir(std::wstring& dir) {
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) return false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        dir = std::wstring(temp) + L"korvex-engine-" + std::to_wstring(GetCurrentProcessId()) +
              L"-" + std::to_wstring(GetTickCount64() + attempt);
        if (CreateDirectoryW(dir.c_str(), nullptr)) return true;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

class RunningEngine final : public EngineProcess {
  public:
    HANDLE ReadHandle() const override { return read_.get(); }
    HANDLE WriteHandle() const override { return write_.get(); }
    unsigned long Pid() const override { return pid_; }
    std::wstring PrivateDir() const override { return dir_; }

    ScopedHandle read_, write_, alive_, process_, job_;
    unsigned long pid_ = 0;
    std::wstring dir_;
};

std::wstring ProfileSwitch(const EngineProcess::Options& o, const std::wstring& dir, bool unix,
                           std::string& error) {
    const std::wstring profile = o.profile_dir.empty() ? Join(dir, L"profile") : o.profile_dir;
    if (!unix) return L"--user-data-dir=" + profile;
    auto path = korvex::wine::UnixPath(profile);
    if (!path) {
        error = "the profile directory has no Unix path: " + WideToUtf8(profile);
        return {};
    }
    return L"--user-data-dir=" + Utf8ToWide(*path);
}

// Waits for a file the launching shell creates; false on timeout.
bool WaitForFile(const std::wstring& path, DWORD timeout_ms) {
    const ULONGLONG end = GetTickCount64() + timeout_ms;
    while (!Exists(path)) {
        if (GetTickCount64() > end) return false;
        Sleep(5);
    }
    return true;
}

std::unique_ptr<EngineProcess> StartUnderWine(const EngineProcess::Options& o,
                                              std::unique_ptr<RunningEngine> e,
                                              std::string& error) {
    auto dir_unix = korvex::wine::UnixPath(e->dir_);
    if (!dir_unix) {
        error = "the private folder has no Unix path";
        return nullptr;
    }
    const std::wstring profile = ProfileSwitch(o, e->dir_, true, error);
    if (profile.empty()) return nullptr;

    std::wstring cmd = L"/bin/sh -c " + QuoteArgument(Utf8ToWide(std::string(kWineLauncher))) +
                       L" korvex-engine " + QuoteArgument(Utf8ToWide(*dir_unix)) + L" " +
                       QuoteArgument(Utf8ToWide(o.engine.unix_path)) + L" " +
                       QuoteArgument(profile);
    for (const auto& a : o.args) cmd += L" " + QuoteArgument(Utf8ToWide(a));

    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi)) {
        error = WideToUtf8(LastErrorText("starting /bin/sh"));
        return nullptr;
    }
    CloseHandle(pi.hThread);
    e->process_.reset(pi.hProcess);

    if (!WaitForFile(Join(e->dir_, L"ready"), kStartTimeoutMs)) {
        error = "the launching shell did not prepare the pipe";
        return nullptr;
    }
    // Same order as the shell: alive, then the engine's input, then its output.
    e->alive_ = ScopedHandle(CreateFileW(Join(e->dir_, L"alive").c_str(), GENERIC_WRITE, 0, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    if (!e->alive_) {
        error = WideToUtf8(LastErrorText("opening the watchdog FIFO"));
        return nullptr;
    }
    e->write_ = ScopedHandle(CreateFileW(Join(e->dir_, L"in").c_str(), GENERIC_WRITE, 0, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    e->read_ = ScopedHandle(CreateFileW(Join(e->dir_, L"out").c_str(), GENERIC_READ, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    if (!e->write_ || !e->read_) {
        error = WideToUtf8(LastErrorText("opening the engine's FIFOs"));
        return nullptr;
    }
    // The engine's output has a writer once "pid" is there (see the launcher script).
    const std::wstring pid_file = Join(e->dir_, L"pid");
    if (WaitForFile(pid_file, kStartTimeoutMs)) {
        ScopedHandle f(CreateFileW(pid_file.c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                   nullptr));
        char text[32] = {};
        DWORD got = 0;
        if (f && ReadFile(f.get(), text, sizeof text - 1, &got, nullptr))
            e->pid_ = std::strtoul(text, nullptr, 10);
    }
    return e;
}

// The MSVC runtime's block of inherited descriptors (STARTUPINFO.lpReserved2): a count, one
// flag byte per descriptor, then one handle per descriptor. Descriptors 3 and 4 carry the pipe.
std::vector<BYTE> DescriptorBlock(HANDLE fd3, HANDLE fd4) {
    constexpr int kCount = 5;
    constexpr BYTE kOpen = 0x01, kPipe = 0x08;
    std::vector<BYTE> block(sizeof(int) + kCount * (1 + sizeof(HANDLE)));
    int count = kCount;
    memcpy(block.data(), &count, sizeof count);
    BYTE* flags = block.data() + sizeof(int);
    BYTE* handles = flags + kCount;
    const HANDLE h[kCount] = {INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE, fd3,
                              fd4};
    for (int i = 0; i < kCount; ++i) {
        flags[i] = i >= 3 ? (kOpen | kPipe) : 0;
        memcpy(handles + i * sizeof(HANDLE), &h[i], sizeof(HANDLE));
    }
    return block;
}

std::unique_ptr<EngineProcess> StartOnWindows(const EngineProcess::Options& o,
                                              std::unique_ptr<RunningEngine> e,
                                              std::string& error) {
    const std::wstring profile = ProfileSwitch(o, e->dir_, false, error);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    ScopedHandle child_in, child_out;
    if (!CreatePipe(child_in.put(), e->write_.put(), &inherit, 0) ||
        !CreatePipe(e->read_.put(), child_out.put(), &inherit, 0)) {
        error = WideToUtf8(LastErrorText("CreatePipe"));
        return nullptr;
    }
    SetHandleInformation(e->write_.get(), HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(e->read_.get(), HANDLE_FLAG_INHERIT, 0);

    // Only the two pipe ends are inherited.
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    std::vector<BYTE> attr_storage(size);
    auto* attrs = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attr_storage.data());
    HANDLE inherited[2] = {child_in.get(), child_out.get()};
    if (!InitializeProcThreadAttributeList(attrs, 1, 0, &size) ||
        !UpdateProcThreadAttribute(attrs, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                   sizeof inherited, nullptr, nullptr)) {
        error = WideToUtf8(LastErrorText("preparing inherited handles"));
        return nullptr;
    }
    std::vector<BYTE> block = DescriptorBlock(child_in.get(), child_out.get());
    STARTUPINFOEXW si{};
    si.StartupInfo.cb = sizeof si;
    si.StartupInfo.cbReserved2 = static_cast<WORD>(block.size());
    si.StartupInfo.lpReserved2 = block.data();
    si.lpAttributeList = attrs;

    std::wstring cmd = QuoteArgument(o.engine.windows_path) + L" " + QuoteArgument(profile);
    for (const auto& a : o.args) cmd += L" " + QuoteArgument(Utf8ToWide(a));

    // The job ends the engine's whole process tree when the application's last handle to it
    // closes, which happens however the application ends.
    e->job_ = ScopedHandle(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!e->job_ || !SetInformationJobObject(e->job_.get(), JobObjectExtendedLimitInformation,
                                             &limits, sizeof limits)) {
        error = WideToUtf8(LastErrorText("creating the engine's job"));
        return nullptr;
    }
    PROCESS_INFORMATION pi{};
    const BOOL ok =
        CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE,
                       CREATE_SUSPENDED | CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT, nullptr,
                       nullptr, &si.StartupInfo, &pi);
    DeleteProcThreadAttributeList(attrs);
    if (!ok) {
        error = WideToUtf8(LastErrorText("starting the engine"));
        return nullptr;
    }
    AssignProcessToJobObject(e->job_.get(), pi.hProcess);
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    e->process_.reset(pi.hProcess);
    e->pid_ = pi.dwProcessId;
    return e;
}

}  // namespace

std::unique_ptr<EngineProcess> EngineProcess::Start(const Options& options, std::string& error) {
    auto e = std::make_unique<RunningEngine>();
    if (!MakePrivateDir(e->dir_)) {
        error = "cannot create the engine's private folder";
        return nullptr;
    }
    if (options.engine.unix_program) return StartUnderWine(options, std::move(e), error);
    return StartOnWindows(options, std::move(e), error);
}

}  // namespace cef_detail
