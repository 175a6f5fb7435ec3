// The launcher: Korvex's main window, run modally by the application object. It loads the
// configuration, lays the login page (the browser host) over its panel, and takes the login
// result from the addresses the browsers are about to open.
#pragma once

#include <afx/afx.h>

#include "base/guarded_pointer.h"
#include "browser/browser_dlg.h"
#include "cef/cef_string.h"

class CGameDialog;

// Korvex's own window messages.
inline constexpr UINT WM_TRAY_NOTIFY = 2024;  // the notification-area icon's callback
inline constexpr UINT WM_LOGIN_DONE = 2025;   // a login address was accepted; see m_loginAddress

// Longest login address kept, in UTF-16 units (plus a terminator).
inline constexpr std::size_t kLoginAddressUnits = 1024;

class CKorvexDlg : public CDialogEx {
  public:
    explicit CKorvexDlg(CWnd* pParent = nullptr);
    ~CKorvexDlg() override;

    // Asks the browser handler to close every browser, then destroys the window.
    BOOL DestroyWindow() override;

    // Called on the browsers' thread (TID_UI) for every navigation, while the launcher's own
    // thread runs its window: true when this call accepted the address as the login result
    // (the caller then cancels the navigation). Only the first qualifying address of the
    // process is accepted. Touches m_loginHandedOver and m_loginAddress only, which no other
    // thread uses until WM_LOGIN_DONE, posted after them, reaches the launcher.
    bool CheckLoginAddress(const CefString& address);

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}      // Enter does not close the launcher
    void OnCancel() override {}  // nor does Escape

    HICON m_hIcon = nullptr;
    CBrowserDlg m_browserDlg;
    CGameDialog* m_pGameDlg = nullptr;
    bool m_loginHandedOver = false;
    wchar_t m_loginAddress[kLoginAddressUnits + 1] = {};

    DECLARE_MESSAGE_MAP()

  private:
    // Where CheckLoginAddress posts WM_LOGIN_DONE: set before the launcher becomes reachable
    // through g_pLauncherDlg and never changed afterwards, so the browsers' thread never reads
    // m_hWnd while the window's own thread clears it.
    HWND m_loginNotifyWnd = nullptr;
};

// The launcher as the browser handler reaches it: set at the start of the launcher's
// initialisation, withdrawn when its teardown begins. A navigation reported during or after the
// teardown therefore never reaches a launcher that is going or gone.
extern korvex::GuardedPointer<CKorvexDlg> g_pLauncherDlg;
