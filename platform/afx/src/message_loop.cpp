#include "message_loop.h"

#include "afx/wnd.h"

namespace afx::detail {

namespace {

// How many message loops run on this thread now (a modal dialog's inside the application's).
thread_local int t_loopDepth = 0;

}  // namespace

bool PreTranslate(MSG* msg) {
    for (HWND hWnd = msg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        CWnd* wnd = CWnd::FromHandlePermanent(hWnd);
        if (wnd != nullptr && wnd->PreTranslateMessage(msg)) return true;
        if (!(::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD)) break;
    }
    return false;
}

LoopScope::LoopScope() { ++t_loopDepth; }

LoopScope::~LoopScope() { --t_loopDepth; }

bool PumpMessage(MSG& msg) {
    if (t_loopDepth <= 1) CWnd::DeleteTempMap();
    if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) {
        if (msg.message == WM_QUIT) return false;
        return true;  // a failed wait: try again
    }
    if (!PreTranslate(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace afx::detail
