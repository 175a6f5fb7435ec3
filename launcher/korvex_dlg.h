// The launcher: Korvex's main window, run modally by the application object. A layered window
// whose whole look is one pushed bitmap (the background picture and its six buttons' current
// images), with the login page in a separate owned pop-up (the browser host) laid over the
// picture's panel, and an icon in the notification area. It takes the login result from the
// addresses the browsers are about to open and then hands over to the game window.
#pragma once

#include <afx/afx.h>
#include <shellapi.h>

#include <objidl.h>
#include <gdiplus.h>

#include <list>

#include "base/guarded_pointer.h"
#include "browser/browser_dlg.h"
#include "cef/cef_string.h"
#include "controls/layered_button.h"
#include "controls/render_listener.h"

class CGameDialog;

// Korvex's own window messages.
inline constexpr UINT WM_TRAY_NOTIFY = 2024;  // the notification-area icon's callback
inline constexpr UINT WM_LOGIN_DONE = 2025;   // a login address was accepted; see m_loginAddress

// Longest login address kept, in UTF-16 units (plus a terminator).
inline constexpr std::size_t kLoginAddressUnits = 1024;

class CKorvexDlg : public CDialogEx, public IRenderListener {
  public:
    explicit CKorvexDlg(CWnd* pParent = nullptr);
    ~CKorvexDlg() override;

    // In this order: no more login checks reach the launcher; the buttons lose their listener
    // and go; the background goes and GDI+ stops; the icon leaves the notification area; the
    // browser handler is asked to close every browser; then the window is destroyed.
    BOOL DestroyWindow() override;

    // Called on the browsers' thread (TID_UI) for every navigation, while the launcher's own
    // thread runs its window: true when this call accepted the address as the login result
    // (the caller then cancels the navigation). Only the first qualifying address of the
    // process is accepted. Touches m_loginHandedOver and m_loginAddress only, which no other
    // thread uses until WM_LOGIN_DONE, posted after them, reaches the launcher.
    bool CheckLoginAddress(const CefString& address);

    // Recomposes the whole layer (background, then every shown button) into a fresh 32-bit
    // premultiplied bitmap and pushes it; true when UpdateLayeredWindow succeeded.
    bool RepaintLayer();
    // IRenderListener: a button's image changed.
    void OnRender(CLayeredButton* sender) override;

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}      // Enter does not close the launcher
    void OnCancel() override {}  // nor does Escape
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void CreateLinkButtons();
    void AddLayeredButton(CLayeredButton* button);

    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnMove(int x, int y);
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnOfficial();
    void OnRecharge();
    void OnService();
    void OnForum();
    void OnMinimize();
    void OnExit();

    HICON m_hIcon = nullptr;
    Gdiplus::Image* m_pBkImage = nullptr;
    CBrowserDlg m_browserDlg;
    NOTIFYICONDATAW m_nid{};
    std::list<CLayeredButton*> m_layeredButtons;
    CLayeredButton* m_lbOfficial = nullptr;
    CLayeredButton* m_lbRecharge = nullptr;
    CLayeredButton* m_lbForum = nullptr;
    CLayeredButton* m_lbService = nullptr;
    CLayeredButton* m_lbMinimize = nullptr;
    CLayeredButton* m_lbExit = nullptr;
    CGameDialog* m_pGameDlg = nullptr;
    bool m_loginHandedOver = false;
    wchar_t m_loginAddress[kLoginAddressUnits + 1] = {};

    DECLARE_MESSAGE_MAP()

  private:
    LRESULT OnTrayNotify(LPARAM lParam);
    void HandOver();

    // The page went out of sight with the minimised launcher and comes back when it is restored
    // (the system hides owned windows with their owner, not every platform does).
    bool m_hostHiddenByMinimize = false;
    // Where CheckLoginAddress posts WM_LOGIN_DONE: set before the launcher becomes reachable
    // through g_pLauncherDlg and never changed afterwards, so the browsers' thread never reads
    // m_hWnd while the window's own thread clears it.
    HWND m_loginNotifyWnd = nullptr;
};

// The launcher as the browser handler reaches it: set at the start of the launcher's
// initialisation, withdrawn when its teardown begins. A navigation reported during or after the
// teardown therefore never reaches a launcher that is going or gone.
extern korvex::GuardedPointer<CKorvexDlg> g_pLauncherDlg;
// The process's one GDI+ start-up, which the launcher makes for every window of the process.
extern ULONG_PTR g_gdiplusToken;
// How the layer is pushed: source over, per-pixel alpha, constant alpha 255.
extern BLENDFUNCTION g_blend;
