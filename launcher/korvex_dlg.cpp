#include "launcher/korvex_dlg.h"

#include <afx/message_entries.h>

#include <cstdint>
#include <cstring>
#include <span>
#include <utility>

#include "base/bounded_text.h"
#include "base/debug_log.h"
#include "base/exe_paths.h"
#include "base/text_view.h"
#include "config/ConfigLoader.h"
#include "controls/resource_image.h"
#include "game/game_dialog.h"
#include "launcher/launcher_layout.h"
#include "launcher/login_address.h"
#include "resources/resource.h"

korvex::GuardedPointer<CKorvexDlg> g_pLauncherDlg;
ULONG_PTR g_gdiplusToken = 0;
BLENDFUNCTION g_blend{};

namespace {

// Developers' trace of Korvex's own steps (standard error while KORVEX_LOG is set).
const korvex::DebugLog& Trace() {
    static const korvex::DebugLog log("korvex", L"KORVEX_LOG");
    return log;
}

constexpr UINT kOfficialId = 2001;
constexpr UINT kRechargeId = 2002;
constexpr UINT kServiceId = 2003;
constexpr UINT kForumId = 2004;
constexpr UINT kMinimizeId = 2005;
constexpr UINT kExitId = 2006;
constexpr UINT kTrayIconId = 128;
// The move command with the caption hit-test code: the system's move loop, as a caption drag.
constexpr WPARAM kMoveByCaption = SC_MOVE | HTCAPTION;

constexpr wchar_t kImageType[] = L"PNG";
constexpr wchar_t kWindowText[] = L"Torvane";
constexpr wchar_t kExitQuestion[] = L"你确定要退出微端？";
constexpr wchar_t kExitCaption[] = L"登录器";

// One layered button: its id, member, configured rectangle and images (normal, disabled, hover,
// pressed, checked), in creation order.
struct LinkButton {
    UINT id;
    CLayeredButton* CKorvexDlg::*member;
    korvex::ConfigRect SysCtrlConfig::*rect;
    UINT images[korvex::kLayeredImageCount];
};

// The background as it is composed: premultiplied 32-bit pixels, which the layer takes as they
// are. Converted once, here; image stays the owner's when it cannot be converted.
Gdiplus::Image* KeepPremultiplied(Gdiplus::Image* image) {
    if (!image || image->GetWidth() == 0 || image->GetType() != Gdiplus::ImageTypeBitmap)
        return image;
    auto* decoded = static_cast<Gdiplus::Bitmap*>(image);
    Gdiplus::Bitmap* premultiplied = decoded->Clone(
        0, 0, int(decoded->GetWidth()), int(decoded->GetHeight()), PixelFormat32bppPARGB);
    if (!premultiplied || premultiplied->GetLastStatus() != Gdiplus::Ok) {
        delete premultiplied;
        return image;
    }
    delete image;
    return premultiplied;
}

// Copies the background's premultiplied rows into the fresh layer (top-down, 4 bytes a pixel);
// false when its pixels cannot be read that way (the caller then draws it).
bool CopyBackground(Gdiplus::Image* background, int width, int height, void* layer) {
    if (!background || !layer || background->GetType() != Gdiplus::ImageTypeBitmap) return false;
    auto* bitmap = static_cast<Gdiplus::Bitmap*>(background);
    if (bitmap->GetPixelFormat() != PixelFormat32bppPARGB) return false;
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data{};
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) !=
        Gdiplus::Ok)
        return false;
    const std::size_t row = std::size_t(width) * 4;
    for (int y = 0; y < height; ++y) {
        std::memcpy(static_cast<std::uint8_t*>(layer) + std::size_t(y) * row,
                    static_cast<const std::uint8_t*>(data.Scan0) + std::ptrdiff_t(y) * data.Stride,
                    row);
    }
    bitmap->UnlockBits(&data);
    return true;
}

}  // namespace

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

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    Gdiplus::GdiplusStartupInput startup;
    Gdiplus::GdiplusStartup(&g_gdiplusToken, &startup, nullptr);
    g_blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

    m_pBkImage = KeepPremultiplied(LoadResourceImage(IDP_LAUNCHER_BACKGROUND, kImageType, nullptr));
    const int width = m_pBkImage ? int(m_pBkImage->GetWidth()) : 0;
    const int height = m_pBkImage ? int(m_pBkImage->GetHeight()) : 0;
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const korvex::LauncherOrigin origin =
        korvex::PlaceLauncher(work.left, work.top, work.right, work.bottom, width, height);
    MoveWindow(origin.x, origin.y, width, height, TRUE);
    if (!(GetExStyle() & WS_EX_LAYERED)) ModifyStyleEx(0, WS_EX_LAYERED);

    CreateLinkButtons();
    RepaintLayer();

    // Shown before its page (the dialog manager would show it only after this function): some
    // platforms keep an owned window above its owner only when the owner was on the screen
    // when the owned window came.
    ShowWindow(SW_SHOW);

    m_browserDlg.Create(IDD_BROWSER_HOST, this);
    if (m_browserDlg.GetSafeHwnd()) {
        m_browserDlg.MoveWindow(origin.x + g_config.nBrowserLeft, origin.y + g_config.nBrowserTop,
                                g_config.nBrowserWidth, g_config.nBrowserHeight, TRUE);
        m_browserDlg.ShowWindow(SW_SHOW);
        m_browserDlg.SetFocus();
        Trace().Write("browser host shown");
    }

    m_nid.cbSize = sizeof(m_nid);
    m_nid.hWnd = m_hWnd;
    m_nid.uID = kTrayIconId;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = WM_TRAY_NOTIFY;
    m_nid.hIcon = ::LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    korvex::BoundedText(korvex::AsU16(std::span(m_nid.szTip)))
        .Append(korvex::TrayTip(korvex::AsU16(GetExeFileName())));
    ::Shell_NotifyIconW(NIM_ADD, &m_nid);

    SetWindowText(kWindowText);
    return TRUE;
}

void CKorvexDlg::CreateLinkButtons() {
    static const LinkButton kButtons[] = {
        {kOfficialId,
         &CKorvexDlg::m_lbOfficial,
         &SysCtrlConfig::rcOfficialBtn,
         {IDP_OFFICIAL, IDP_OFFICIAL_PRESSED, IDP_OFFICIAL_HOVER, IDP_OFFICIAL_PRESSED, 0}},
        {kRechargeId,
         &CKorvexDlg::m_lbRecharge,
         &SysCtrlConfig::rcRechargeBtn,
         {IDP_RECHARGE, IDP_RECHARGE_PRESSED, IDP_RECHARGE_HOVER, IDP_RECHARGE_PRESSED, 0}},
        {kServiceId,
         &CKorvexDlg::m_lbService,
         &SysCtrlConfig::rcServiceBtn,
         {IDP_SERVICE, IDP_SERVICE_PRESSED, IDP_SERVICE_HOVER, IDP_SERVICE_PRESSED, 0}},
        {kForumId,
         &CKorvexDlg::m_lbForum,
         &SysCtrlConfig::rcForumBtn,
         {IDP_FORUM, IDP_FORUM_PRESSED, IDP_FORUM_HOVER, IDP_FORUM_PRESSED, 0}},
        {kMinimizeId,
         &CKorvexDlg::m_lbMinimize,
         &SysCtrlConfig::rcMinimizeBtn,
         {IDP_MINIMIZE, IDP_MINIMIZE_PRESSED, IDP_MINIMIZE_HOVER, IDP_MINIMIZE_PRESSED, 0}},
        {kExitId,
         &CKorvexDlg::m_lbExit,
         &SysCtrlConfig::rcCloseBtn,
         {IDP_CLOSE, IDP_CLOSE_PRESSED, IDP_CLOSE_HOVER, IDP_CLOSE_PRESSED, 0}},
    };
    for (const LinkButton& row : kButtons) {
        CLayeredButton* button = new CLayeredButton;
        this->*row.member = button;
        button->Create(nullptr, WS_CHILD | WS_VISIBLE, g_config.*row.rect, this, row.id);
        button->SetImages(row.images, kImageType, nullptr);
        AddLayeredButton(button);
    }
}

void CKorvexDlg::AddLayeredButton(CLayeredButton* button) {
    button->m_listener = this;
    m_layeredButtons.push_back(button);
}

bool CKorvexDlg::RepaintLayer() {
    const int width = m_pBkImage ? int(m_pBkImage->GetWidth()) : 0;
    const int height = m_pBkImage ? int(m_pBkImage->GetHeight()) : 0;

    // A fresh 32-bit top-down DIB every time: its alpha channel carries the background's
    // per-pixel transparency to the screen.
    HDC windowDC = ::GetDC(m_hWnd);
    HDC memoryDC = ::CreateCompatibleDC(windowDC);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(memoryDC, bitmap);

    BOOL pushed = FALSE;
    {
        Gdiplus::Graphics graphics(memoryDC);
        g_blend.SourceConstantAlpha = 255;
        // The background at (0, 0), W x H: its pixels straight into the empty layer.
        if (m_pBkImage && !CopyBackground(m_pBkImage, width, height, bits)) {
            graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
            graphics.DrawImage(m_pBkImage, 0, 0, width, height);
            graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);
        }
        for (CLayeredButton* button : m_layeredButtons) {
            if (button->m_shown) button->Render(&graphics);
        }
        graphics.Flush(Gdiplus::FlushIntentionSync);

        RECT window{};
        GetWindowRect(&window);
        POINT destination{window.left, window.top};
        SIZE size{width, height};
        POINT source{0, 0};
        pushed = ::UpdateLayeredWindow(m_hWnd, windowDC, &destination, &size, memoryDC, &source, 0,
                                       &g_blend, ULW_ALPHA);
    }
    static bool first = true;
    if (first && pushed && Trace().to_stderr()) Trace().Write("first layer pushed");
    first = first && !pushed;
    ::SelectObject(memoryDC, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memoryDC);
    ::ReleaseDC(m_hWnd, windowDC);
    return pushed != FALSE;
}

void CKorvexDlg::OnRender(CLayeredButton*) { RepaintLayer(); }

bool CKorvexDlg::CheckLoginAddress(const CefString& address) {
    const std::u16string& text = address.ToString16();
    if (!korvex::IsLoginAddress(text) || m_loginHandedOver) return false;
    m_loginHandedOver = true;
    korvex::BoundedText(korvex::AsU16(std::span(m_loginAddress))).Append(text);
    ::PostMessageW(m_loginNotifyWnd, WM_LOGIN_DONE, 0, 0);
    if (Trace().to_stderr()) Trace().Write("login address accepted");
    return true;
}

LRESULT CKorvexDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TRAY_NOTIFY) return OnTrayNotify(lParam);
    if (message == WM_LOGIN_DONE) HandOver();
    return CDialogEx::WindowProc(message, wParam, lParam);
}

LRESULT CKorvexDlg::OnTrayNotify(LPARAM lParam) {
    // Only a left press, and only while the game window exists: it hides or shows the game.
    // The launcher itself is never brought back through the icon.
    if (lParam == WM_LBUTTONDOWN && m_pGameDlg) m_pGameDlg->OnHideShow();
    return 0;
}

// The accepted login address becomes the game window: the game opens it in a browser of its
// own, with the server and the account taken from it; the launcher and the login page go out of
// sight for good, and the launcher's taskbar button goes away.
void CKorvexDlg::HandOver() {
    CGameDialog* game = new CGameDialog;
    const std::u16string_view address = korvex::AsU16(m_loginAddress);
    korvex::BoundedText(korvex::AsU16(std::span(game->m_server)))
        .Append(korvex::LoginValue(address, u"sid="));
    korvex::BoundedText(korvex::AsU16(std::span(game->m_account)))
        .Append(korvex::LoginValue(address, u"acc="));
    game->m_gameUrl = m_loginAddress;
    game->Create(IDD_GAME, this);
    m_pGameDlg = game;
    game->ClearOnDestruction(&m_pGameDlg);
    game->SetWindowText(kWindowText);
    game->ShowWindow(SW_SHOW);
    m_browserDlg.ShowWindow(SW_HIDE);
    ShowWindow(SW_HIDE);
    ModifyStyleEx(WS_EX_APPWINDOW, WS_EX_TOOLWINDOW);
    if (Trace().to_stderr()) Trace().Write("game window shown");
}

// Moving by the picture: the buttons and the page are windows of their own, so a press that
// reaches the launcher is a press on the picture.
void CKorvexDlg::OnLButtonDown(UINT, CPoint) {
    ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);  // not saved
    SendMessage(WM_SYSCOMMAND, kMoveByCaption, 0);
    Default();
}

void CKorvexDlg::OnLButtonUp(UINT, CPoint) { Default(); }
void CKorvexDlg::OnRButtonDown(UINT, CPoint) { Default(); }
void CKorvexDlg::OnMouseMove(UINT, CPoint) { Default(); }

// The page follows the picture at every step of a move.
void CKorvexDlg::OnMove(int x, int y) {
    Default();
    if (m_browserDlg.GetSafeHwnd()) {
        m_browserDlg.SetWindowPos(nullptr, x + g_config.nBrowserLeft, y + g_config.nBrowserTop, 0,
                                  0, SWP_NOSIZE | SWP_NOZORDER);
    }
}

BOOL CKorvexDlg::OnEraseBkgnd(CDC*) { return TRUE; }

void CKorvexDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT client{};
    GetClientRect(&client);
    const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CKorvexDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

namespace {

void OpenAddress(const wchar_t* address) {
    ::ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

void CKorvexDlg::OnOfficial() { OpenAddress(g_config.szOfficialUrl); }
void CKorvexDlg::OnRecharge() { OpenAddress(g_config.szRechargeUrl); }
void CKorvexDlg::OnService() { OpenAddress(g_config.szServiceUrl); }
void CKorvexDlg::OnForum() { OpenAddress(g_config.szForumUrl); }
void CKorvexDlg::OnMinimize() {
    if (m_browserDlg.GetSafeHwnd() && m_browserDlg.IsWindowVisible()) {
        m_browserDlg.ShowWindow(SW_HIDE);
        m_hostHiddenByMinimize = true;
    }
    ShowWindow(SW_MINIMIZE);
}

// Restored (from the taskbar): the page the minimise took away comes back with it.
void CKorvexDlg::OnSize(UINT nType, int, int) {
    Default();
    if (nType == SIZE_RESTORED && m_hostHiddenByMinimize) {
        m_hostHiddenByMinimize = false;
        if (m_browserDlg.GetSafeHwnd()) m_browserDlg.ShowWindow(SW_SHOWNOACTIVATE);
    }
}

void CKorvexDlg::OnExit() {
    if (MessageBox(kExitQuestion, kExitCaption, MB_YESNO) != IDYES) return;
    if (m_browserDlg.GetSafeHwnd()) m_browserDlg.ShowWindow(SW_HIDE);
    PostMessage(WM_QUIT);
}

BOOL CKorvexDlg::DestroyWindow() {
    g_pLauncherDlg.Withdraw(this);  // waits for a check in progress on the browsers' thread
    // Ended from elsewhere while the game still runs: its window and pictures go before GDI+.
    if (CGameDialog* game = std::exchange(m_pGameDlg, nullptr)) {
        game->DestroyWindow();
        delete game;
    }
    for (CLayeredButton* button : m_layeredButtons) {
        button->m_listener = nullptr;
        delete button;
    }
    m_layeredButtons.clear();
    m_lbOfficial = m_lbRecharge = m_lbForum = m_lbService = m_lbMinimize = m_lbExit = nullptr;
    if (m_pBkImage) {
        delete m_pBkImage;
        m_pBkImage = nullptr;
        Gdiplus::GdiplusShutdown(g_gdiplusToken);
    }
    ::Shell_NotifyIconW(NIM_DELETE, &m_nid);
    if (g_browserHandler) g_browserHandler->CloseAllBrowsers(true);
    return CDialogEx::DestroyWindow();
}

IMPLEMENT_MESSAGE_MAP(CKorvexDlg, CDialogEx, afx::On<WM_PAINT, &CKorvexDlg::OnPaint>(),
                      afx::On<WM_QUERYDRAGICON, &CKorvexDlg::OnQueryDragIcon>(),
                      afx::On<WM_LBUTTONDOWN, &CKorvexDlg::OnLButtonDown>(),
                      afx::On<WM_LBUTTONUP, &CKorvexDlg::OnLButtonUp>(),
                      afx::On<WM_RBUTTONDOWN, &CKorvexDlg::OnRButtonDown>(),
                      afx::On<WM_MOUSEMOVE, &CKorvexDlg::OnMouseMove>(),
                      afx::On<WM_MOVE, &CKorvexDlg::OnMove>(),
                      afx::On<WM_SIZE, &CKorvexDlg::OnSize>(),
                      afx::On<WM_ERASEBKGND, &CKorvexDlg::OnEraseBkgnd>(),
                      afx::OnBnClicked<kOfficialId, &CKorvexDlg::OnOfficial>(),
                      afx::OnBnClicked<kRechargeId, &CKorvexDlg::OnRecharge>(),
                      afx::OnBnClicked<kServiceId, &CKorvexDlg::OnService>(),
                      afx::OnBnClicked<kForumId, &CKorvexDlg::OnForum>(),
                      afx::OnBnClicked<kMinimizeId, &CKorvexDlg::OnMinimize>(),
                      afx::OnBnClicked<kExitId, &CKorvexDlg::OnExit>());
