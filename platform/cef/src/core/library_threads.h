// The library's own threads: TID_UI (a Win32 message loop that owns the browser windows) and
// TID_IO (a plain task queue). They live until the process ends.
#pragma once

#include <functional>

#include "cef/cef_task.h"

namespace cef_detail {

// Starts both threads (once); returns when they accept work.
void StartLibraryThreads();
bool LibraryThreadsRunning();

}  // namespace cef_detail
