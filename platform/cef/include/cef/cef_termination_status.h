// How a page's renderer process ended (CefRequestHandler::OnRenderProcessTerminated).
#pragma once

enum cef_termination_status_t {
    // Ended with a non-zero exit code.
    TS_ABNORMAL_TERMINATION,
    // Ended by a signal or by another process (kill -9, the task manager).
    TS_PROCESS_WAS_KILLED,
    // Crashed.
    TS_PROCESS_CRASHED,
    // Ran out of memory.
    TS_PROCESS_OOM,
};
using TerminationStatus = cef_termination_status_t;
