// The library's threads and tasks posted to them.
#pragma once

#include "cef/cef_base.h"

enum CefThreadId {
    TID_UI,  // Owns the browser windows; every handler callback arrives here.
    TID_IO,  // Library work that must not wait for the UI thread (e.g. pop-up decisions).
};

class CefTask : public virtual CefBase {
  public:
    virtual void Execute() = 0;
};

// True when the calling thread is the given library thread.
bool CefCurrentlyOn(CefThreadId thread_id);
// Runs task->Execute() on the thread, holding a reference until it has run. False when the
// library is not running (the task is then released without running).
bool CefPostTask(CefThreadId thread_id, CefRefPtr<CefTask> task);
