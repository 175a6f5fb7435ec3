#include "browser/browser_dlg.h"

#include "config/ConfigLoader.h"
#include "resources/resource.h"

namespace {

// WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP.
constexpr DWORD kBrowserStyle = 0x56010000;
static_assert(kBrowserStyle ==
              (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP));

}  // namespace

CefRefPtr<CBrowserHandler> g_browserHandler;

CBrowserDlg::CBrowserDlg(CWnd* pParent) : CDialogEx(IDD_BROWSER_HOST, pParent) {}

BOOL CBrowserDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();

    RECT rect{};
    GetWindowRect(&rect);
    CefWindowInfo info;
    info.style = kBrowserStyle;
    info.ex_style = 0;
    info.parent_window = m_hWnd;
    info.x = 0;
    info.y = 0;
    // Screen edges, not sizes: the host lies inside the work area, where they are not negative.
    info.width = rect.right;
    info.height = rect.bottom;

    CefRefPtr<CBrowserHandler> handler = new CBrowserHandler;
    const CefString address(g_config.szLoginUrl);
    // Only asks: the library makes the browser later on its own thread.
    // The login page lies over the launcher's picture, drawn in fixed pixels: it keeps ratio 1
    // whatever the display's scale, so the two still match.
    CefBrowserSettings settings;
    settings.device_scale_factor = 1;
    CefBrowserHost::CreateBrowser(info, handler.get(), address, settings, nullptr);
    g_browserHandler = handler;
    return TRUE;
}

IMPLEMENT_MESSAGE_MAP(CBrowserDlg, CDialogEx);
