// What the library knows about the running engine (for diagnostics and tests).
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

namespace cef_detail {

enum class EngineState {
    kNone,      // no engine was started (none found, or it could not start)
    kStarting,  // the engine runs; its first answer is still to come
    kReady,     // it answered: browsers are being made
    kFailed,    // it never answered, or closed the pipe first
};

// 0 when no engine runs. A Linux PID under Wine: the leader of the engine's process group.
unsigned long EnginePid();
// The folder private to this engine run; empty when no engine runs.
std::wstring EnginePrivateDir();
EngineState CurrentEngineState();
// Waits while the engine is starting; true when it is ready.
bool WaitForEngine(std::chrono::milliseconds limit);
// Screencast frames the engine has delivered so far to the browser whose window this is; -1
// when no browser has that window.
long long FramesDeliveredTo(HWND browser_window);
// Frames painted in that window so far; -1 as above.
long long FramesPaintedIn(HWND browser_window);
// Lossless pictures of the page shown in that window so far, once the page was still; -1 as
// above.
long long LosslessPicturesShownIn(HWND browser_window);
// JavaScript dialogs of that browser's page not yet answered, the one before the player
// included; -1 as above.
int PageDialogsWaiting(HWND browser_window);

}  // namespace cef_detail
