// Shared pieces of the framework tests: a dialog that cannot hang a test, and a pump that
// handles everything posted so far.
#pragma once

#include <afx/afx.h>

#include "afx_test_ids.h"

namespace afx_test {

inline constexpr int kTimedOut = -99;
inline constexpr UINT_PTR kGuardTimer = 0x4AF;
inline constexpr UINT kDrainMarker = WM_APP + 0x300;

// A dialog that ends itself with kTimedOut if the input a test posts never ends it, so a fault
// fails the test instead of hanging it.
class GuardedDialog : public CDialogEx {
  public:
    explicit GuardedDialog(UINT nIDTemplate, CWnd* pParent = nullptr)
        : CDialogEx(nIDTemplate, pParent) {}

    BOOL OnInitDialog() override {
        CDialogEx::OnInitDialog();
        ::SetTimer(m_hWnd, kGuardTimer, 20000, nullptr);
        return TRUE;
    }

  protected:
    LRESULT OnGuardTimer(WPARAM id, LPARAM) {
        if (id == kGuardTimer) EndDialog(kTimedOut);
        return 0;
    }

    DECLARE_MESSAGE_MAP()
};

// Posts a marker to this thread and dispatches messages until it comes back: everything
// posted before it has then been handled. A WM_QUIT met on the way is posted again.
inline void DrainPosted() {
    ::PostThreadMessageW(::GetCurrentThreadId(), kDrainMarker, 0, 0);
    MSG msg;
    for (;;) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (got < 0) return;
        if (msg.hwnd == nullptr && msg.message == kDrainMarker) return;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// A left click posted to a control at its client point (4, 4).
inline void PostClick(HWND control, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP) {
    const WPARAM keys = down == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON;
    ::PostMessageW(control, down, keys, MAKELPARAM(4, 4));
    ::PostMessageW(control, up, 0, MAKELPARAM(4, 4));
}

// A plain top-level window to own dialogs; destroyed with the object.
class OwnerWindow : public CWnd {
  public:
    OwnerWindow() {
        CreateEx(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 20, 20, 200, 100, nullptr, nullptr);
    }
};

}  // namespace afx_test
