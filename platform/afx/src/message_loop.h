// Internal: the message loops of the application and of modal dialogs.
#pragma once

#include <windows.h>

namespace afx::detail {

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

}  // namespace afx::detail
