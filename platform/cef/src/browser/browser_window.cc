#include "browser/browser_window.h"

#include <imm.h>
#include <windowsx.h>

#include <cmath>
#include <optional>
#include <utility>

#include "base/utf.h"
#include "browser/frame_painter.h"
#include "devtools/commands.h"

namespace cef_detail {
namespace {

// How often a browser window checks whether it can be seen: a parent hidden or a top-level
// window minimised tells its child windows nothing.
constexpr UINT_PTR kShownTimer = 0x4B56;
constexpr UINT kShownCheckMs = 100;

// Visible, and its top-level window not minimised.
bool CanBeSeen(HWND window) {
    if (!IsWindowVisible(window)) return false;
    HWND root = GetAncestor(window, GA_ROOT);
    return !(root && IsIconic(root));
}

// Sent to a top-level window moved to a display of another DPI, and to its child windows.
constexpr UINT kDpiChanged = 0x02E0;             // WM_DPICHANGED
constexpr UINT kDpiChangedAfterParent = 0x02E3;  // WM_DPICHANGED_AFTERPARENT

// GetDpiForWindow exists from Windows 10 1607 on (and in Wine); looked up once.
UINT WindowDpi(HWND window) {
    using Fn = UINT(WINAPI*)(HWND);
    static const Fn get_dpi = [] {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        return user32 ? reinterpret_cast<Fn>(
                            reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")))
                      : nullptr;
    }();
    const UINT dpi = get_dpi && window ? get_dpi(window) : 0;
    return dpi ? dpi : UINT(kDefaultDpi);
}

ATOM RegisterBrowserClass(WNDPROC proc) {
    static const ATOM atom = [proc] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        wc.lpszClassName = BrowserWindow::kClassName;
        return RegisterClassExW(&wc);
    }();
    return atom;
}

// The modifier keys held now, as the protocol's bits.
int KeyboardModifiers() {
    ModifierKeys keys;
    keys.alt = GetKeyState(VK_MENU) < 0;
    keys.ctrl = GetKeyState(VK_CONTROL) < 0;
    keys.meta = GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0;
    keys.shift = GetKeyState(VK_SHIFT) < 0;
    return ModifierBits(keys);
}

// The buttons a mouse message's wParam says are held.
PressedButtons ButtonsHeld(WPARAM wp) {
    PressedButtons pressed;
    pressed.left = (wp & MK_LBUTTON) != 0;
    pressed.right = (wp & MK_RBUTTON) != 0;
    pressed.middle = (wp & MK_MBUTTON) != 0;
    return pressed;
}

// The button a button message is about.
MouseButton ButtonOf(UINT msg) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
            return MouseButton::kLeft;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_RBUTTONUP:
            return MouseButton::kRight;
        default:
            return MouseButton::kMiddle;
    }
}

}  // namespace

BrowserWindow::BrowserWindow(const CefWindowInfo& info, Connection& connection, Delegate* delegate)
    : connection_(connection), delegate_(delegate) {
    RegisterBrowserClass(&BrowserWindow::WndProc);
    const std::wstring name = info.window_name.ToWString();
    hwnd_ = CreateWindowExW(info.ex_style, kClassName, name.c_str(), info.style, info.x, info.y,
                            info.width, info.height, info.parent_window, info.menu,
                            GetModuleHandleW(nullptr), this);
    if (hwnd_) {
        shown_ = CanBeSeen(hwnd_);
        SetTimer(hwnd_, kShownTimer, kShownCheckMs, nullptr);
    }
}

int BrowserWindow::Dpi() const { return told_dpi_ > 0 ? told_dpi_ : int(WindowDpi(hwnd_)); }

bool BrowserWindow::RefreshShown() {
    if (hwnd_ && delegate_) CheckShown();
    return shown_;
}

void BrowserWindow::CheckShown() {
    const bool shown = CanBeSeen(hwnd_);
    if (shown == shown_) return;
    shown_ = shown;
    delegate_->OnWindowShownChanged(shown);
}

BrowserWindow::~BrowserWindow() {
    HWND hwnd = hwnd_;
    if (!hwnd) return;
    // The window may outlive this object for a moment (it is being destroyed, or it belongs to
    // another thread): from now on its messages get default handling only.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (destroying_) return;
    if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId()) {
        DestroyWindow(hwnd);
    } else {
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
    }
}

void BrowserWindow::Destroy() {
    if (hwnd_ && !destroying_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK BrowserWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self =
            static_cast<BrowserWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(self));
    }
    auto* self = reinterpret_cast<BrowserWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    return self->Handle(msg, wp, lp);
}

LRESULT BrowserWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        // The delegate may release this object while it hears of the end: nothing of it is
        // touched afterwards, and later messages (focus, capture) no longer reach the delegate.
        destroying_ = true;
        Delegate* delegate = std::exchange(delegate_, nullptr);
        if (delegate) delegate->OnWindowDestroyed();
        return 0;
    }
    if (!delegate_) return DefWindowProcW(hwnd_, msg, wp, lp);
    std::optional<LRESULT> result = HandleWindow(msg, wp, lp);
    if (!result) result = HandleMouse(msg, wp, lp);
    if (!result) result = HandleKeys(msg, wp, lp);
    if (!result) result = HandleInputMethod(msg, lp);
    return result ? *result : DefWindowProcW(hwnd_, msg, wp, lp);
}

std::optional<LRESULT> BrowserWindow::HandleWindow(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint();
            return 0;
        case kFrameReadyMessage:
            InvalidateRect(hwnd_, nullptr, FALSE);
            return 0;
        case WM_SIZE:
            delegate_->OnWindowResized(LOWORD(lp), HIWORD(lp));
            return 0;
        case kDpiChanged: {
            // The message carries the new DPI; the window's own may not say it yet.
            told_dpi_ = LOWORD(wp);
            // A top-level browser window takes the place the system suggests.
            if (!(GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_CHILD)) {
                const RECT* suggested = reinterpret_cast<const RECT*>(lp);
                SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                             suggested->right - suggested->left, suggested->bottom - suggested->top,
                             SWP_NOZORDER | SWP_NOACTIVATE);
            }
            delegate_->OnWindowScaleChanged();
            return 0;
        }
        case kDpiChangedAfterParent:
            told_dpi_ = 0;
            delegate_->OnWindowScaleChanged();
            return 0;
        case WM_TIMER:
            if (wp != kShownTimer) return std::nullopt;
            CheckShown();
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
        case WM_MOUSEACTIVATE:
            return MA_ACTIVATE;
        case WM_SETFOCUS:
            Send(commands::EmulateFocus());
            return 0;
        default:
            return std::nullopt;
    }
}

std::optional<LRESULT> BrowserWindow::HandleMouse(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_MOUSEMOVE:
            OnMouseMove(wp, lp);
            return 0;
        case WM_MOUSELEAVE:
            tracking_leave_ = false;
            Send(MouseLeft(Modifiers()));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            OnButtonDown(ButtonOf(msg), 1, wp, lp);
            return 0;
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            OnButtonDown(ButtonOf(msg), 2, wp, lp);
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            OnButtonUp(ButtonOf(msg), wp, lp);
            return 0;
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
            OnWheel(msg == WM_MOUSEHWHEEL ? WheelAxis::kHorizontal : WheelAxis::kVertical, wp, lp);
            return 0;
        case WM_CONTEXTMENU:
            if (GET_X_LPARAM(lp) == -1 && GET_Y_LPARAM(lp) == -1) {  // the menu key
                RECT rc;
                GetClientRect(hwnd_, &rc);
                delegate_->OnContextMenuRequested(rc.right / 2, rc.bottom / 2);
            }
            return 0;
        default:
            return std::nullopt;
    }
}

void BrowserWindow::OnMouseMove(WPARAM wp, LPARAM lp) {
    if (!tracking_leave_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd_, 0};
        tracking_leave_ = TrackMouseEvent(&track) != FALSE;
    }
    SendMouse(MouseAction::kMoved, lp, FirstPressed(ButtonsHeld(wp)), 0, wp);
}

void BrowserWindow::OnButtonDown(MouseButton button, int click_count, WPARAM wp, LPARAM lp) {
    if (GetFocus() != hwnd_) ::SetFocus(hwnd_);
    SetCapture(hwnd_);
    SendMouse(MouseAction::kPressed, lp, button, click_count, wp);
}

void BrowserWindow::OnButtonUp(MouseButton button, WPARAM wp, LPARAM lp) {
    if (GetCapture() == hwnd_ && !(wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ReleaseCapture();
    SendMouse(MouseAction::kReleased, lp, button, 1, wp);
    // The page has seen the button first, so it may have changed what lies under the pointer.
    if (button == MouseButton::kRight) {
        delegate_->OnContextMenuRequested(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
    }
}

void BrowserWindow::OnWheel(WheelAxis axis, WPARAM wp, LPARAM lp) {
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};  // screen coordinates
    ScreenToClient(hwnd_, &pt);
    // The engine takes the wheel's distance in the view's pixels divided by the ratio once
    // more: enlarged by it, a notch moves the page as far on the screen as at 96 DPI.
    const double ratio = delegate_->ViewScale().ratio();
    Send(MouseWheel(pt.x, pt.y, axis, int(std::lround(GET_WHEEL_DELTA_WPARAM(wp) * ratio)),
                    Modifiers()));
}

std::optional<LRESULT> BrowserWindow::HandleKeys(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_KEYDOWN:
            clipboard_key_down_ = false;
            if (const ClipboardAction action = ClipboardActionFor(int(wp), Modifiers());
                action != ClipboardAction::kNone) {
                clipboard_key_down_ = true;
                delegate_->OnClipboardCommand(action);
                return 0;
            }
            SendKey(KeyAction::kDown, wp, lp);
            return 0;
        case WM_SYSKEYDOWN:
            clipboard_key_down_ = false;
            SendKey(KeyAction::kDown, wp, lp);
            // System keys (Alt+F4, the window menu) keep their meaning for the window.
            return DefWindowProcW(hwnd_, msg, wp, lp);
        case WM_KEYUP:
        case WM_SYSKEYUP:
            SendKey(KeyAction::kUp, wp, lp);
            if (msg == WM_SYSKEYUP) return DefWindowProcW(hwnd_, msg, wp, lp);
            return 0;
        case WM_CHAR:
            if (std::exchange(clipboard_key_down_, false) && wp < 0x20) return 0;
            if (const std::u16string text = characters_.Take(char16_t(wp)); !text.empty()) {
                Send(CharEvent(text, Modifiers()));
            }
            return 0;
        case WM_COPY:
            delegate_->OnClipboardCommand(ClipboardAction::kCopy);
            return 0;
        case WM_CUT:
            delegate_->OnClipboardCommand(ClipboardAction::kCut);
            return 0;
        case WM_PASTE:
            delegate_->OnClipboardCommand(ClipboardAction::kPaste);
            return 0;
        default:
            return std::nullopt;
    }
}

std::optional<LRESULT> BrowserWindow::HandleInputMethod(UINT msg, LPARAM lp) {
    if (msg == WM_IME_STARTCOMPOSITION) {
        delegate_->OnInputMethodStarted();
        return std::nullopt;  // the input method opens its windows as usual
    }
    if (msg == WM_IME_CHAR) return 0;  // the result arrives with WM_IME_COMPOSITION
    if (msg != WM_IME_COMPOSITION) return std::nullopt;
    HIMC context = ImmGetContext(hwnd_);
    if (!context) return std::nullopt;
    auto read = [context](DWORD kind) {
        const LONG bytes = ImmGetCompositionStringW(context, kind, nullptr, 0);
        std::wstring text(bytes > 0 ? std::size_t(bytes) / sizeof(wchar_t) : 0, L'\0');
        if (bytes > 0) ImmGetCompositionStringW(context, kind, text.data(), DWORD(bytes));
        return text;
    };
    if (lp & GCS_RESULTSTR) {
        if (const std::wstring text = read(GCS_RESULTSTR); !text.empty()) {
            Send(InsertText(korvex::WideToUtf8(text)));
        }
    }
    if (lp & GCS_COMPSTR) Send(SetComposition(korvex::WideToUtf8(read(GCS_COMPSTR))));
    ImmReleaseContext(hwnd_, context);
    return 0;  // the result was inserted; no WM_IME_CHAR should follow
}

void BrowserWindow::PlaceInputMethod(const CaretPlace& caret) {
    HIMC context = ImmGetContext(hwnd_);
    if (!context) return;
    const LONG x = LONG(caret.left), top = LONG(caret.top), bottom = LONG(caret.bottom);
    COMPOSITIONFORM composition{};
    composition.dwStyle = CFS_POINT;
    composition.ptCurrentPos = {x, top};
    ImmSetCompositionWindow(context, &composition);
    // The list goes below the caret, or wherever the input method likes outside its line.
    CANDIDATEFORM candidates{};
    candidates.dwIndex = 0;
    candidates.dwStyle = CFS_EXCLUDE;
    candidates.ptCurrentPos = {x, bottom};
    candidates.rcArea = {x, top, x + 1, bottom};
    ImmSetCandidateWindow(context, &candidates);
    ImmReleaseContext(hwnd_, context);
}

void BrowserWindow::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT client;
    GetClientRect(hwnd_, &client);
    if (FramePainter* painter = delegate_->Painter()) {
        painter->Paint(dc, client, delegate_->ViewScale().ratio());
    } else {
        FillRect(dc, &client, HBRUSH(GetStockObject(WHITE_BRUSH)));
    }
    EndPaint(hwnd_, &ps);
}

int BrowserWindow::Modifiers() const { return KeyboardModifiers(); }

void BrowserWindow::Send(Command command) {
    SendOnSession(&connection_, delegate_->WindowSession(), std::move(command));
}

void BrowserWindow::SendMouse(MouseAction action, LPARAM lp, MouseButton button, int click_count,
                              WPARAM wp) {
    MouseInput input;
    input.action = action;
    // The view is the window's pixels, whatever the page's ratio (SetViewport).
    input.x = GET_X_LPARAM(lp);
    input.y = GET_Y_LPARAM(lp);
    input.button = button;
    input.pressed = ButtonsHeld(wp);
    input.click_count = click_count;
    input.modifiers = Modifiers();
    Send(MouseEvent(input));
}

void BrowserWindow::SendKey(KeyAction action, WPARAM wp, LPARAM lp) {
    KeyInput input;
    input.action = action;
    input.virtual_key = int(wp);
    input.modifiers = Modifiers();
    input.was_down = (lp & (1 << 30)) != 0;
    input.alt_held = (lp & (1 << 29)) != 0;
    Send(KeyEvent(input));
}

}  // namespace cef_detail
