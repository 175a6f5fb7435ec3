#include "launcher/korvex_dlg.h"

#include "base/bounded_text.h"
#include "base/text_view.h"
#include "config/ConfigLoader.h"
#include "launcher/login_address.h"
#include "resources/resource.h"

korvex::GuardedPointer<CKorvexDlg> g_pLauncherDlg;

CKorvexDlg::CKorvexDlg(CWnd* pParent) : CDialogEx(IDD_LAUNCHER, pParent) {
    m_hIcon = ::LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CKorvexDlg::~CKorvexDlg() {
    // In case the window went without DestroyWindow: nothing may reach a destroyed launcher.
    g_pLauncherDlg.Withdraw(this);
}

BOOL CKorvexDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    m_loginNotifyWnd = m_hWnd;
    g_pLauncherDlg.Set(this);
    if (!LoadConfigFile(m_hWnd)) return FALSE;  // the reason is shown; WM_QUIT is on its way

    RECT launcher{};
    GetWindowRect(&launcher);
    m_browserDlg.Create(IDD_BROWSER_HOST, this);
    if (m_browserDlg.GetSafeHwnd()) {
        m_browserDlg.MoveWindow(launcher.left + g_config.nBrowserLeft,
                                launcher.top + g_config.nBrowserTop, g_config.nBrowserWidth,
                                g_config.nBrowserHeight, TRUE);
        m_browserDlg.ShowWindow(SW_SHOW);
        m_browserDlg.SetFocus();
    }
    return TRUE;
}

bool CKorvexDlg::CheckLoginAddress(const CefString& address) {
    const std::u16string& text = address.ToString16();
    if (!korvex::IsLoginAddress(text) || m_loginHandedOver) return false;
    m_loginHandedOver = true;
    korvex::BoundedText(korvex::AsU16(std::span(m_loginAddress))).Append(text);
    ::PostMessageW(m_loginNotifyWnd, WM_LOGIN_DONE, 0, 0);
    return true;
}

BOOL CKorvexDlg::DestroyWindow() {
    g_pLauncherDlg.Withdraw(this);  // waits for a check in progress on the browsers' thread
    if (g_browserHandler) g_browserHandler->CloseAllBrowsers(true);
    return CDialogEx::DestroyWindow();
}

IMPLEMENT_MESSAGE_MAP(CKorvexDlg, CDialogEx);
