#include "self_delete.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "path_text.h"
#include "uninstall_names.h"

namespace quellix {
namespace {

// A result of 0 is a failure; a result that does not fit the buffer means the text there is
// cut or missing, and a cut path could name another file.
bool Fits(DWORD length) { return length != 0 && length < kPathBufferSize; }

}  // namespace

// The start-up record of the release build is the 68-byte one.
static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOW) == 68);

void ScheduleSelfDelete() {
    wchar_t executable[kPathBufferSize] = {};
    if (!Fits(GetModuleFileNameW(nullptr, executable, kPathBufferSize))) return;
    if (!Fits(GetShortPathNameW(executable, executable, kPathBufferSize))) return;
    wchar_t interpreter[kPathBufferSize] = {};
    if (!Fits(GetEnvironmentVariableW(kComspecVariable, interpreter, kPathBufferSize))) return;

    // A command longer than the usual buffer gets a larger one rather than being cut.
    const std::wstring command = SelfDeleteCommand(interpreter, executable);
    std::vector<wchar_t> commandLine(std::max<size_t>(kPathBufferSize, command.size() + 1), L'\0');
    std::copy(command.begin(), command.end(), commandLine.begin());

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;

    // Quellix runs at the highest priority and the interpreter, started suspended, at the
    // lowest, so that Quellix has ended when the interpreter deletes its file.
    SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);

    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                       CREATE_SUSPENDED | DETACHED_PROCESS, nullptr, nullptr, &startup, &process)) {
        SetPriorityClass(process.hProcess, IDLE_PRIORITY_CLASS);
        SetThreadPriority(process.hThread, THREAD_PRIORITY_IDLE);
        ResumeThread(process.hThread);
        // The handles go with Quellix's exit.
    } else {
        SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
    }
}

}  // namespace quellix
