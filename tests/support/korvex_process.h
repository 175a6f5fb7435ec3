// A real Korvex.exe started by a test: laid into a folder of its own with a sysctrl.dat made
// from a record, watched from outside (its windows, its engine), ended however the test ends.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "config/ConfigRecord.h"

namespace korvex_test {

// The demo's rectangles and web-view place, with every address on the given origin.
SysCtrlConfig DemoConfig(const std::string& origin, const std::string& login_path);

class KorvexProcess {
  public:
    // Copies the built Korvex.exe into a fresh folder and writes config as its sysctrl.dat
    // (nothing when config is null). Start() starts it.
    explicit KorvexProcess(const SysCtrlConfig* config,
                           const std::wstring& exe_name = L"Korvex.exe");
    // Another copy of first's executable, in first's folder (as a player double-clicking the
    // same icon again). Start() starts it.
    struct SameFolderAs {
        const KorvexProcess& first;
    };
    explicit KorvexProcess(SameFolderAs same);
    // Ends the program (and waits for its engine to go) when it still runs.
    ~KorvexProcess();
    KorvexProcess(const KorvexProcess&) = delete;
    KorvexProcess& operator=(const KorvexProcess&) = delete;

    // environment: "NAME=value" entries added to this process's own; standard_error: a file
    // that receives the program's standard error (developer traces), none when empty.
    bool Start(const std::vector<std::wstring>& environment = {},
               const std::wstring& standard_error = {});
    bool running() const;
    // True when the program ended within the limit; its exit code is then known.
    bool WaitForExit(std::chrono::milliseconds limit);
    DWORD exit_code() const;
    DWORD pid() const { return pid_; }
    HANDLE process() const { return process_; }

    const std::wstring& folder() const { return folder_; }
    // The engine profile this copy is expected to take ("cache" unless told otherwise).
    std::wstring CacheFolder() const { return folder_ + L"\\" + profile_; }
    void ExpectProfile(const std::wstring& folder_name) { profile_ = folder_name; }

    // The launcher: the program's layered top-level window, shown or not (null until it is).
    HWND Launcher() const;
    // The browser host: the program's top-level window holding a browser window.
    HWND Host() const;
    HWND HostBrowser() const;
    // The game window: the program's window titled "Torvane" that holds a browser.
    HWND Game() const;
    // Waits until a window is there (null on timeout).
    HWND WaitFor(HWND (KorvexProcess::*window)() const,
                 std::chrono::milliseconds limit = std::chrono::seconds(60)) const;

    // The engine's main process (by its profile, the cache folder); 0 when none runs.
    unsigned long EnginePid() const;
    // Every Linux process of the engine seen so far.
    std::vector<unsigned long> EngineProcesses() const;
    // Ends the program as the task manager would.
    void Kill();

  private:
    std::wstring folder_;
    std::wstring exe_;
    std::wstring profile_ = L"cache";
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    mutable std::vector<unsigned long> engine_seen_;
};

// Top-level windows of a process.
std::vector<HWND> ProcessWindows(DWORD pid, bool visible_only);

}  // namespace korvex_test
