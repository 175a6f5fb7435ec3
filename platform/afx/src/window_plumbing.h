// Internal: how window handles become bound to CWnd objects and how messages are pumped.
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

// Offers msg to PreTranslateMessage of its window and then of each parent up to the top-level
// window; true when one of them consumed it.
bool PreTranslate(MSG* msg);

// Marks a message loop running on this thread for its lifetime.
class LoopScope {
  public:
    LoopScope();
    ~LoopScope();
    LoopScope(const LoopScope&) = delete;
    LoopScope& operator=(const LoopScope&) = delete;
};

// Waits for the next message and, unless PreTranslate consumes it, translates and dispatches
// it. False when the message is WM_QUIT (left in msg). The outermost loop also discards the
// temporary wrappers between messages; a nested loop leaves them to its callers.
bool PumpMessage(MSG& msg);

// Clears the application's main-window pointer when it designates wnd.
void ForgetMainWindow(CWnd* wnd);

}  // namespace afx::detail
