// Drives cef_probe.exe: one library start-up in a process of its own. The destructor ends the
// probe and makes sure no engine process it started remains.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

namespace cef_test {

using Json = nlohmann::json;

class ProbeProcess {
  public:
    // args go to the probe; environment entries "NAME=value" are added for it.
    explicit ProbeProcess(const std::vector<std::wstring>& args,
                          const std::vector<std::wstring>& environment = {});
    ~ProbeProcess();
    ProbeProcess(const ProbeProcess&) = delete;
    ProbeProcess& operator=(const ProbeProcess&) = delete;

    bool started() const { return process_ != nullptr; }
    // Why the probe could not be started (the system's error code), 0 when it was.
    unsigned long start_error() const { return start_error_; }
    // The first line: {"initialized": bool}.
    const Json& hello() const { return hello_; }
    // Sends one command and returns its answer (null on timeout or when the probe ended).
    Json Command(const Json& command);
    // The engine's process id (from "info"), 0 when none.
    unsigned long engine_pid() const { return engine_pid_; }
    // Every engine process seen so far (the engine and its descendants).
    const std::vector<unsigned long>& engine_processes() const { return engine_processes_; }
    // Records the engine's current process tree.
    void RememberEngineProcesses();
    // Waits for the probe to end by itself.
    bool WaitForExit(DWORD ms);
    // Ends the probe abruptly with TerminateProcess.
    void Terminate();
    // The probe's Linux PID (found by a token on its command line).
    unsigned long LinuxPid() const;

  private:
    std::string ReadLine(DWORD timeout_ms);
    void ReadLoop();

    HANDLE process_ = nullptr;
    HANDLE stdin_write_ = nullptr;
    HANDLE stdout_read_ = nullptr;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::string> lines_;
    bool ended_ = false;
    Json hello_;
    std::string token_;
    unsigned long start_error_ = 0;
    unsigned long engine_pid_ = 0;
    std::vector<unsigned long> engine_processes_;
};

}  // namespace cef_test
