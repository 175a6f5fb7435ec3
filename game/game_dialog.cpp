#include "game/game_dialog.h"

#include <afx/message_entries.h>
#include <shellapi.h>

#include <span>

#include "base/bounded_text.h"
#include "base/exe_paths.h"
#include "base/text_view.h"
#include "browser/browser_handler.h"
#include "cef/cef_closure_task.h"
#include "config/ConfigLoader.h"
#include "game/boss_key.h"
#include "game/hit_zone.h"
#include "game/hotkey_dlg.h"
#include "game/hotkey_value.h"
#include "game/recharge_address.h"
#include "game/resize_step.h"
#include "game/server_label.h"
#include "resources/resource.h"

bool g_gameShown = true;

namespace {

constexpr UINT kRefreshId = 3001;
constexpr UINT kRechargeId = 3002;
constexpr UINT kOfficialSiteId = 3003;
constexpr UINT kMinimizeId = 3004;
constexpr UINT kMaximizeId = 3005;
constexpr UINT kCloseId = 3006;
constexpr UINT kHideId = 3007;
constexpr UINT kBossKeyId = 3008;
constexpr UINT kClearCacheId = 3009;
constexpr UINT kLogoId = 0xFFFF;

// The title strip's height and the black frame around the browser.
constexpr int kStripHeight = 40;
constexpr int kFrame = 4;
// Window buttons right to left from the right edge, text buttons from 180 px before it.
constexpr int kWindowButtonStep = 30;
constexpr int kTextButtonsFrom = 180;
constexpr int kTextButtonStep = 70;
constexpr int kWindowButtonTop = 2;
constexpr int kTextButtonTop = 20;

// WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP.
constexpr DWORD kBrowserStyle =
    WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP;

// The clear-cache command's caches are clear (posted from the browsers' thread).
constexpr UINT kCacheClearedMessage = WM_APP + 0x47;

constexpr wchar_t kExitQuestion[] = L"此操作将退出游戏，确定此次操作？";
constexpr wchar_t kExitCaption[] = L"提示";
constexpr wchar_t kCacheCleared[] = L"已清空缓存";
constexpr wchar_t kFontFace[] = L"宋体";
constexpr int kLabelFontHeight = 16;

// One title-strip button: its member, id, caption, creation rectangle and images (normal,
// hover, disabled; 0 = none), in creation order.
struct TitleButton {
    CImageButton* CGameDialog::*member;
    UINT id;
    const wchar_t* caption;
    RECT rect;
    UINT normal, hover, disabled;
};

LPCWSTR CursorFor(korvex::ZoneCursor cursor) {
    switch (cursor) {
        case korvex::ZoneCursor::SizeWE:
            return IDC_SIZEWE;
        case korvex::ZoneCursor::SizeNS:
            return IDC_SIZENS;
        case korvex::ZoneCursor::SizeNWSE:
            return IDC_SIZENWSE;
        case korvex::ZoneCursor::SizeNESW:
            return IDC_SIZENESW;
        case korvex::ZoneCursor::Arrow:
            break;
    }
    return IDC_ARROW;
}

void OpenAddress(const wchar_t* address) {
    ::ShellExecuteW(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

IMPLEMENT_DYNAMIC(CGameDialog, CDialogEx);

CGameDialog::CGameDialog(CWnd* pParent) : CDialogEx(IDD_GAME, pParent) {}

CGameDialog::~CGameDialog() {
    if (m_clearedOnDestruction && *m_clearedOnDestruction == this)
        *m_clearedOnDestruction = nullptr;
}

void CGameDialog::DoDataExchange(CDataExchange* pDX) {
    CDialogEx::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_GAME_TITLE, m_title);
}

BOOL CGameDialog::OnInitDialog() {
    CDialogEx::OnInitDialog();
    m_bgBrush = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    ModifyStyleEx(0, WS_EX_APPWINDOW);  // a taskbar button of its own
    SetParent(nullptr);                 // no longer the launcher's: a top-level window
    ShowWindow(SW_SHOWMAXIMIZED);       // its WM_SIZE fits it to the work area
    m_maximized = true;
    GetClientRect(&m_clientRect);
    m_resizing = false;
    m_hitZone = 0;

    CreateTitleButtons();

    if (const DWORD stored = ReadBossKey()) {
        RegisterBossKey(korvex::HotkeyFlags(stored), korvex::HotkeyVirtualKey(stored));
    }

    m_title.SetBkColor(RGB(0, 0, 0));
    m_title.SetTextColor(RGB(255, 255, 255));
    m_title.SetFont(kLabelFontHeight, 0, FW_NORMAL, FALSE, FALSE, FALSE, kFontFace);
    wchar_t label[korvex::kServerLabelUnits];
    korvex::FormatServerLabel(korvex::AsU16(std::span(label)), korvex::AsU16(m_server));
    ::SetWindowTextW(m_title.m_hWnd, label);

    m_ready = true;

    RECT window{};
    GetWindowRect(&window);
    CefWindowInfo info;
    info.style = kBrowserStyle;
    info.ex_style = 0;
    info.parent_window = m_hWnd;
    info.x = 2;
    info.y = kStripHeight;
    info.width = (window.right - kFrame) - info.x;
    info.height = (window.bottom - kFrame) - info.y;
    CefRefPtr<CBrowserHandler> handler = CBrowserHandler::GetInstance();
    // Asks only: the browser window comes later, on the browsers' thread, and keeps this place
    // until the next layout. The game follows the display's scale, as in the player's browser.
    CefBrowserHost::CreateBrowser(info, handler.get(), CefString(m_gameUrl), CefBrowserSettings(),
                                  nullptr);

    LayoutControls(m_clientRect.right - m_clientRect.left, m_clientRect.bottom - m_clientRect.top);
    return TRUE;
}

void CGameDialog::CreateTitleButtons() {
    static const TitleButton kButtons[] = {
        {&CGameDialog::m_btnRefresh,
         kRefreshId,
         L"刷新",
         {400, 10, 500, 30},
         IDP_REFRESH_ICON,
         IDP_REFRESH_ICON_HOVER,
         IDP_REFRESH_ICON_DISABLED},
        {&CGameDialog::m_btnRecharge,
         kRechargeId,
         L"充值",
         {400, 10, 500, 30},
         IDP_RECHARGE_ICON,
         IDP_RECHARGE_ICON_HOVER,
         IDP_RECHARGE_ICON_DISABLED},
        {&CGameDialog::m_btnOfficialSite,
         kOfficialSiteId,
         L"官网",
         {400, 10, 500, 30},
         IDP_HOME_ICON,
         IDP_HOME_ICON_HOVER,
         IDP_HOME_ICON_DISABLED},
        {&CGameDialog::m_btnMinimize,
         kMinimizeId,
         nullptr,
         {200, 0, 300, 30},
         IDP_WIN_MINIMIZE,
         IDP_WIN_MINIMIZE_HOVER,
         IDP_WIN_MINIMIZE_DISABLED},
        {&CGameDialog::m_btnMaximize,
         kMaximizeId,
         nullptr,
         {200, 0, 300, 30},
         IDP_WIN_MAXIMIZE,
         IDP_WIN_MAXIMIZE_HOVER,
         IDP_WIN_MAXIMIZE_DISABLED},
        {&CGameDialog::m_btnClose,
         kCloseId,
         nullptr,
         {200, 0, 300, 30},
         IDP_WIN_CLOSE,
         IDP_WIN_CLOSE_HOVER,
         IDP_WIN_CLOSE_DISABLED},
        {&CGameDialog::m_logo, kLogoId, nullptr, {0, 0, 100, 100}, IDP_LOGO_SMALL, 0, 0},
        {&CGameDialog::m_btnHide, kHideId, nullptr, {0, 0, 100, 100}, IDP_HIDE, IDP_HIDE_HOVER, 0},
        {&CGameDialog::m_btnBossKey,
         kBossKeyId,
         L"老板键",
         {0, 0, 100, 100},
         IDP_BOSSKEY_ICON,
         IDP_BOSSKEY_ICON_HOVER,
         0},
        {&CGameDialog::m_btnClearCache,
         kClearCacheId,
         L"清缓存",
         {0, 0, 100, 100},
         IDP_CLEAR_CACHE_ICON,
         IDP_CLEAR_CACHE_ICON_HOVER,
         0},
    };
    for (const TitleButton& row : kButtons) {
        CImageButton* button = new CImageButton;
        this->*row.member = button;
        button->Create(row.caption, WS_CHILD | WS_VISIBLE, row.rect, this, row.id);
        button->SetImages(row.normal, row.hover, row.disabled);
    }
    m_logo->EnableWindow(FALSE);
}

void CGameDialog::LayoutControls(int cx, int cy) {
    if (!m_ready) return;
    if (HWND browser = ::FindWindowExW(m_hWnd, nullptr, L"CefBrowserWindow", nullptr)) {
        ::MoveWindow(browser, kFrame, kStripHeight, cx - 2 * kFrame, cy - kStripHeight - kFrame,
                     TRUE);
    }
    // A moved button paints itself anew at its new place: the bits a move would carry over come
    // from the window's surface before its resize, which need not hold the button any more
    // (restored to maximised, the buttons came out black and stayed so).
    constexpr UINT kMoveButton = SWP_NOSIZE | SWP_NOCOPYBITS;
    int x = cx - kWindowButtonStep;
    for (CImageButton* button : {m_btnClose, m_btnMaximize, m_btnMinimize, m_btnHide}) {
        if (button) button->SetWindowPos(nullptr, x, kWindowButtonTop, 0, 0, kMoveButton);
        x -= kWindowButtonStep;
    }
    x = cx - kTextButtonsFrom;
    for (CImageButton* button :
         {m_btnClearCache, m_btnBossKey, m_btnOfficialSite, m_btnRecharge, m_btnRefresh}) {
        if (!button) continue;  // a missing button takes no place
        button->SetWindowPos(nullptr, x, kTextButtonTop, 0, 0, kMoveButton);
        x -= kTextButtonStep;
    }
}

// The game browser's window comes later, from the browsers' thread: it takes its place in the
// layout as soon as it is there, not only at the next resize.
LRESULT CGameDialog::OnParentNotify(WPARAM wParam, LPARAM) {
    const LRESULT result = Default();
    if (LOWORD(wParam) == WM_CREATE && !IsIconic()) {
        LayoutControls(m_clientRect.right - m_clientRect.left,
                       m_clientRect.bottom - m_clientRect.top);
    }
    return result;
}

void CGameDialog::OnSize(UINT nType, int cx, int cy) {
    if (nType != SIZE_MINIMIZED) {
        if (nType == SIZE_MAXIMIZED) {
            RECT work{};
            ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
            MoveWindow(&work, TRUE);
            cx = work.right - work.left;
            cy = work.bottom - work.top;
        }
        LayoutControls(cx, cy);
        GetClientRect(&m_clientRect);
    }
    Default();
}

HBRUSH CGameDialog::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    if (pWnd && pWnd->m_hWnd == m_hWnd) return m_bgBrush;
    return CDialogEx::OnCtlColor(pDC, pWnd, nCtlColor);
}

BOOL CGameDialog::OnEraseBkgnd(CDC* pDC) { return CDialogEx::OnEraseBkgnd(pDC); }

void CGameDialog::OnMouseMove(UINT, CPoint point) {
    Default();
    if (!m_resizing) {
        const korvex::HitZone zone =
            korvex::HitTestZone(point.x, point.y, m_clientRect.right, m_clientRect.bottom);
        ::SetCursor(::LoadCursorW(nullptr, CursorFor(korvex::CursorForZone(zone))));
        m_hitZone = static_cast<int>(zone);
        return;
    }
    RECT window{};
    GetWindowRect(&window);
    const korvex::ResizeStepResult step =
        korvex::ResizeStep(static_cast<korvex::HitZone>(m_hitZone),
                           {window.left, window.top, window.right, window.bottom},
                           {m_dragX, m_dragY}, {point.x, point.y});
    m_dragX = step.anchor.x;
    m_dragY = step.anchor.y;
    if (step.move) {
        MoveWindow(step.rect.left, step.rect.top, step.rect.right - step.rect.left,
                   step.rect.bottom - step.rect.top, TRUE);
    }
}

void CGameDialog::OnLButtonDown(UINT, CPoint point) {
    ShowWindow(SW_SHOW);
    if (m_hitZone != 0 && !m_resizing) {
        m_resizing = true;
        m_dragX = point.x;
        m_dragY = point.y;
        SetCapture();
        return;
    }
    // Anywhere else the window moves as if its caption had been pressed.
    PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    Default();
}

void CGameDialog::OnLButtonUp(UINT, CPoint) {
    Default();
    if (m_resizing) {
        m_resizing = false;
        m_hitZone = 0;
        ::ReleaseCapture();
    }
}

void CGameDialog::OnLButtonDblClk(UINT, CPoint) {
    OnMaximizeRestore();
    Default();
}

BOOL CGameDialog::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) return FALSE;
    if (pMsg->message == WM_RBUTTONDOWN) pMsg->message = WM_LBUTTONDOWN;
    if (pMsg->message == WM_RBUTTONUP) pMsg->message = WM_LBUTTONUP;
    return CDialogEx::PreTranslateMessage(pMsg);
}

void CGameDialog::OnHotKey(UINT nHotKeyId, UINT, UINT) {
    if (nHotKeyId == BOSS_KEY_ID) OnHideShow();
}

void CGameDialog::OnHideShow() {
    g_gameShown = !g_gameShown;
    ShowWindow(g_gameShown ? SW_SHOW : SW_HIDE);
}

void CGameDialog::OnRefresh() {
    if (CBrowserHandler* handler = CBrowserHandler::GetInstance()) handler->ReloadBrowserIn(m_hWnd);
}

void CGameDialog::OnRecharge() {
    wchar_t address[korvex::kRechargeAddressUnits];
    korvex::ComposeRechargeAddress(korvex::AsU16(std::span(address)),
                                   korvex::AsU16(g_config.szRechargeUrl), korvex::AsU16(m_server),
                                   korvex::AsU16(m_account));
    OpenAddress(address);
}

void CGameDialog::OnOfficialSite() { OpenAddress(g_config.szOfficialUrl); }

void CGameDialog::OnMinimize() { ShowWindow(SW_MINIMIZE); }

void CGameDialog::OnMaximizeRestore() {
    ShowWindow(m_maximized ? SW_SHOWNORMAL : SW_SHOWMAXIMIZED);
    m_maximized = !m_maximized;
}

void CGameDialog::OnExitGame() {
    if (MessageBox(kExitQuestion, kExitCaption, MB_YESNO) != IDYES) return;
    DestroyWindow();
    delete this;
    ::PostQuitMessage(0);
}

void CGameDialog::RegisterBossKey(UINT flags, UINT virtualKey) {
    m_hotkeyRegistered =
        ::RegisterHotKey(m_hWnd, BOSS_KEY_ID, korvex::HotkeyFlagsToModifiers(flags), virtualKey) !=
        FALSE;
}

void CGameDialog::OnBossKey() {
    CHotkeyDlg dialog(this);
    dialog.m_hotkey = ReadBossKey();
    if (dialog.DoModal() != IDOK) return;
    const DWORD chosen = dialog.m_hotkey;
    StoreBossKey(chosen);  // silent when the registry refuses
    if (m_hotkeyRegistered) ::UnregisterHotKey(m_hWnd, BOSS_KEY_ID);
    if (chosen != 0) RegisterBossKey(dialog.m_modifiers, dialog.m_virtualKey);
}

void CGameDialog::OnClearCache() {
    if (m_clearingCache) return;
    CBrowserHandler* handler = CBrowserHandler::GetInstance();
    if (!handler) {
        OnCacheCleared(0, 0);
        return;
    }
    // The notice comes once the engine has cleared the caches, not before.
    m_clearingCache = true;
    HWND self = m_hWnd;
    handler->ClearCacheOfBrowserIn(self, new CefCompletionClosure([self] {
                                       ::PostMessageW(self, kCacheClearedMessage, 0, 0);
                                   }));
}

LRESULT CGameDialog::OnCacheCleared(WPARAM, LPARAM) {
    m_clearingCache = false;
    MessageBox(kCacheCleared, korvex::GetAppName(), MB_OK);
    return 0;
}

BOOL CGameDialog::DestroyWindow() {
    for (CImageButton** button :
         {&m_btnRefresh, &m_btnRecharge, &m_btnOfficialSite, &m_btnMinimize, &m_btnMaximize,
          &m_btnClose, &m_logo, &m_btnHide, &m_btnBossKey, &m_btnClearCache}) {
        delete *button;
        *button = nullptr;
    }
    m_ready = false;
    if (m_hotkeyRegistered) {
        ::UnregisterHotKey(m_hWnd, BOSS_KEY_ID);
        m_hotkeyRegistered = false;
    }
    return CDialogEx::DestroyWindow();
}

IMPLEMENT_MESSAGE_MAP(CGameDialog, CDialogEx, afx::On<WM_SIZE, &CGameDialog::OnSize>(),
                      afx::On<WM_CTLCOLOR, &CGameDialog::OnCtlColor>(),
                      afx::On<WM_LBUTTONDOWN, &CGameDialog::OnLButtonDown>(),
                      afx::On<WM_LBUTTONDBLCLK, &CGameDialog::OnLButtonDblClk>(),
                      afx::On<WM_MOUSEMOVE, &CGameDialog::OnMouseMove>(),
                      afx::On<WM_LBUTTONUP, &CGameDialog::OnLButtonUp>(),
                      afx::On<WM_ERASEBKGND, &CGameDialog::OnEraseBkgnd>(),
                      afx::On<WM_HOTKEY, &CGameDialog::OnHotKey>(),
                      afx::OnMessage<WM_PARENTNOTIFY, &CGameDialog::OnParentNotify>(),
                      afx::OnBnClicked<kRefreshId, &CGameDialog::OnRefresh>(),
                      afx::OnBnClicked<kRechargeId, &CGameDialog::OnRecharge>(),
                      afx::OnBnClicked<kOfficialSiteId, &CGameDialog::OnOfficialSite>(),
                      afx::OnBnClicked<kMinimizeId, &CGameDialog::OnMinimize>(),
                      afx::OnBnClicked<kMaximizeId, &CGameDialog::OnMaximizeRestore>(),
                      afx::OnBnClicked<kCloseId, &CGameDialog::OnExitGame>(),
                      afx::OnBnClicked<kHideId, &CGameDialog::OnHideShow>(),
                      afx::OnBnClicked<kBossKeyId, &CGameDialog::OnBossKey>(),
                      afx::OnBnClicked<kClearCacheId, &CGameDialog::OnClearCache>(),
                      afx::OnMessage<kCacheClearedMessage, &CGameDialog::OnCacheCleared>());
