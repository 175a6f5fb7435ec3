// Linux processes seen from a Wine program through Z:\proc, and Linux commands run from it.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace korvex_test {

struct LinuxProcess {
    unsigned long pid = 0;
    unsigned long ppid = 0;
    unsigned long pgid = 0;
    char state = '?';
};

std::optional<LinuxProcess> ReadProcess(unsigned long pid);
// Running (zombies, which only wait to be reaped, count as gone).
bool IsRunning(unsigned long pid);
std::vector<LinuxProcess> AllProcesses();
// The process and its descendants, and every member of its process group.
std::vector<unsigned long> ProcessTree(unsigned long pid);
// Processor time the process has used (user and system), in seconds; 0 when it is gone.
double CpuSeconds(unsigned long pid);
// The processes of root's tree (ProcessTree) with an argument that starts with prefix, also in a
// title rewritten as one line (e.g. an engine's renderers: "--type=renderer").
std::vector<unsigned long> TreeProcessesWith(unsigned long root, const std::string& prefix);
// The NUL-separated command line, split.
std::vector<std::string> CommandLine(unsigned long pid);
// Processes whose command line contains text.
std::vector<unsigned long> FindByCommandLine(const std::string& text);
// Waits until none of the pids runs; true when they all ended within the limit.
bool WaitUntilGone(const std::vector<unsigned long>& pids, std::chrono::seconds limit);
// Runs a shell command line (Linux /bin/sh) and waits (up to 30 s) until it is done.
void RunShell(const std::string& command);
// Ends the processes with SIGKILL.
void KillAll(const std::vector<unsigned long>& pids);

// Path conversions across Wine.
std::wstring WindowsPath(const std::string& unix_path);
std::string UnixPath(const std::wstring& windows_path);
// $KORVEX_RUN_DIR (this run's scratch folder) as a Windows path.
std::wstring RunDir();

}  // namespace korvex_test
