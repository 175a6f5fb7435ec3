// Internal: how window handles become bound to CWnd objects.
#pragma once

#include <windows.h>

class CWnd;

namespace afx::detail {

// While alive, the next window created on this thread is bound to `wnd` and routed through
// CWnd::StandardWndProc from its very first message (a thread-local creation hook).
class CreationScope {
  public:
    explicit CreationScope(CWnd* wnd);
    ~CreationScope();
    CreationScope(const CreationScope&) = delete;
    CreationScope& operator=(const CreationScope&) = delete;

  private:
    CWnd* m_previous;
    HHOOK m_hook;
};

// Clears the application's main-window pointer when it designates wnd (the application keeps
// that pointer; a window calls this as it goes).
void ForgetMainWindow(CWnd* wnd);

}  // namespace afx::detail
