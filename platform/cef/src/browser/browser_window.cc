#include "browser/browser_window.h"

#include <imm.h>
#include <windowsx.h>

#include <utility>

#include "base/utf.h"
#include "browser/frame_painter.h"
#include "browser/key_names.h"
#include "devtools/connection.h"

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

// The protocol's modifier bits: Alt 1, Ctrl 2, Meta 4, Shift 8.
int KeyboardModifiers() {
    int modifiers = 0;
    if (GetKeyState(VK_MENU) < 0) modifiers |= 1;
    if (GetKeyState(VK_CONTROL) < 0) modifiers |= 2;
    if (GetKeyState(VK_LWIN) < 0 || GetKeyState(VK_RWIN) < 0) modifiers |= 4;
    if (GetKeyState(VK_SHIFT) < 0) modifiers |= 8;
    return modifiers;
}

// The protocol's pressed-button bits: left 1, right 2, middle 4.
int PressedButtons(WPARAM wp) {
    int buttons = 0;
    if (wp & MK_LBUTTON) buttons |= 1;
    if (wp & MK_RBUTTON) buttons |= 2;
    if (wp & MK_MBUTTON) buttons |= 4;
    return buttons;
}

const char* FirstPressedButton(WPARAM wp) {
    if (wp & MK_LBUTTON) return "left";
    if (wp & MK_RBUTTON) return "right";
    if (wp & MK_MBUTTON) return "middle";
    return "none";
}

}  // namespace

BrowserWindow::BrowserWindow(const CefWindowInfo& info, Delegate* delegate) : delegate_(delegate) {
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
        case WM_TIMER:
            if (wp != kShownTimer) break;
            CheckShown();
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
        case WM_MOUSEACTIVATE:
            return MA_ACTIVATE;

        case WM_MOUSEMOVE:
            if (!tracking_leave_) {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd_, 0};
                tracking_leave_ = TrackMouseEvent(&track) != FALSE;
            }
            SendMouse("mouseMoved", lp, FirstPressedButton(wp), 0, wp);
            return 0;
        case WM_MOUSELEAVE:
            tracking_leave_ = false;
            SendMouse("mouseMoved", MAKELPARAM(-1, -1), "none", 0, 0);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK: {
            const bool dbl =
                msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
            const char* button = (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK)   ? "left"
                                 : (msg == WM_RBUTTONDOWN || msg == WM_RBUTTONDBLCLK) ? "right"
                                                                                      : "middle";
            if (GetFocus() != hwnd_) ::SetFocus(hwnd_);
            SetCapture(hwnd_);
            SendMouse("mousePressed", lp, button, dbl ? 2 : 1, wp);
            return 0;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            const char* button = msg == WM_LBUTTONUP   ? "left"
                                 : msg == WM_RBUTTONUP ? "right"
                                                       : "middle";
            if (GetCapture() == hwnd_ && !(wp & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
                ReleaseCapture();
            }
            SendMouse("mouseReleased", lp, button, 1, wp);
            if (msg == WM_RBUTTONUP) {
                delegate_->OnContextMenuRequested(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            }
            return 0;
        }
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL: {
            POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            ScreenToClient(hwnd_, &pt);
            const int delta = GET_WHEEL_DELTA_WPARAM(wp);
            const std::string& session = delegate_->WindowSession();
            Connection* connection = GetConnection();
            if (connection && !session.empty()) {
                connection->Send("Input.dispatchMouseEvent",
                                 {{"type", "mouseWheel"},
                                  {"x", pt.x},
                                  {"y", pt.y},
                                  {"deltaX", msg == WM_MOUSEHWHEEL ? delta : 0},
                                  {"deltaY", msg == WM_MOUSEWHEEL ? -delta : 0},
                                  {"modifiers", Modifiers()}},
                                 {}, session);
            }
            return 0;
        }
        case WM_CONTEXTMENU:
            if (GET_X_LPARAM(lp) == -1 && GET_Y_LPARAM(lp) == -1) {  // the menu key
                RECT rc;
                GetClientRect(hwnd_, &rc);
                delegate_->OnContextMenuRequested(rc.right / 2, rc.bottom / 2);
            }
            return 0;

        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            SendKey("rawKeyDown", wp, lp);
            return msg == WM_SYSKEYDOWN ? DefWindowProcW(hwnd_, msg, wp, lp) : 0;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            SendKey("keyUp", wp, lp);
            return msg == WM_SYSKEYUP ? DefWindowProcW(hwnd_, msg, wp, lp) : 0;
        case WM_CHAR:
            SendChar(wchar_t(wp));
            return 0;

        case WM_IME_COMPOSITION: {
            HIMC context = ImmGetContext(hwnd_);
            if (!context) break;
            auto read = [context](DWORD kind) {
                const LONG bytes = ImmGetCompositionStringW(context, kind, nullptr, 0);
                std::wstring text(bytes > 0 ? std::size_t(bytes) / sizeof(wchar_t) : 0, L'\0');
                if (bytes > 0) ImmGetCompositionStringW(context, kind, text.data(), DWORD(bytes));
                return text;
            };
            if (lp & GCS_RESULTSTR) InsertText(read(GCS_RESULTSTR));
            if (lp & GCS_COMPSTR) {
                const std::string composing = korvex::WideToUtf8(read(GCS_COMPSTR));
                const std::string& session = delegate_->WindowSession();
                if (Connection* connection = GetConnection(); connection && !session.empty()) {
                    connection->Send("Input.imeSetComposition",
                                     {{"text", composing},
                                      {"selectionStart", int(composing.size())},
                                      {"selectionEnd", int(composing.size())}},
                                     {}, session);
                }
            }
            ImmReleaseContext(hwnd_, context);
            return 0;  // the result was inserted; no WM_IME_CHAR should follow
        }
        case WM_IME_CHAR:
            return 0;

        case WM_SETFOCUS:
            if (Connection* connection = GetConnection();
                connection && !delegate_->WindowSession().empty()) {
                connection->Send("Emulation.setFocusEmulationEnabled", {{"enabled", true}}, {},
                                 delegate_->WindowSession());
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void BrowserWindow::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    RECT client;
    GetClientRect(hwnd_, &client);
    if (FramePainter* painter = delegate_->Painter()) {
        painter->Paint(dc, client);
    } else {
        FillRect(dc, &client, HBRUSH(GetStockObject(WHITE_BRUSH)));
    }
    EndPaint(hwnd_, &ps);
}

int BrowserWindow::Modifiers() const { return KeyboardModifiers(); }

void BrowserWindow::SendMouse(const char* type, LPARAM lp, const char* button, int click_count,
                              WPARAM wp, int delta_y) {
    const std::string& session = delegate_->WindowSession();
    Connection* connection = GetConnection();
    if (!connection || session.empty()) return;
    Json params = {{"type", type},
                   {"x", GET_X_LPARAM(lp)},
                   {"y", GET_Y_LPARAM(lp)},
                   {"button", button},
                   {"buttons", PressedButtons(wp)},
                   {"clickCount", click_count},
                   {"modifiers", Modifiers()}};
    if (delta_y) params["deltaY"] = delta_y;
    connection->Send("Input.dispatchMouseEvent", std::move(params), {}, session);
}

void BrowserWindow::SendKey(const char* type, WPARAM wp, LPARAM lp) {
    const std::string& session = delegate_->WindowSession();
    Connection* connection = GetConnection();
    if (!connection || session.empty()) return;
    const int modifiers = Modifiers();
    const KeyNames names = KeyNamesFor(int(wp), (modifiers & 8) != 0);
    Json params = {{"type", type},
                   {"windowsVirtualKeyCode", int(wp)},
                   {"nativeVirtualKeyCode", int(wp)},
                   {"modifiers", modifiers},
                   {"autoRepeat", std::string(type) == "rawKeyDown" && (lp & (1 << 30)) != 0},
                   {"isSystemKey", (lp & (1 << 29)) != 0}};
    if (!names.key.empty()) params["key"] = names.key;
    if (!names.code.empty()) params["code"] = names.code;
    connection->Send("Input.dispatchKeyEvent", std::move(params), {}, session);
}

void BrowserWindow::SendChar(wchar_t ch) {
    if (ch >= 0xD800 && ch <= 0xDBFF) {  // first half of a surrogate pair: wait for the second
        high_surrogate_ = ch;
        return;
    }
    std::wstring text;
    if (ch >= 0xDC00 && ch <= 0xDFFF) {
        if (!high_surrogate_) return;
        text = {high_surrogate_, ch};
    } else {
        text = std::wstring(1, ch);
    }
    high_surrogate_ = 0;
    const std::string& session = delegate_->WindowSession();
    Connection* connection = GetConnection();
    if (!connection || session.empty()) return;
    const std::string utf8 = korvex::WideToUtf8(text);
    connection->Send("Input.dispatchKeyEvent",
                     {{"type", "char"},
                      {"text", utf8},
                      {"unmodifiedText", utf8},
                      {"key", utf8},
                      {"modifiers", Modifiers()}},
                     {}, session);
}

void BrowserWindow::InsertText(const std::wstring& text) {
    const std::string& session = delegate_->WindowSession();
    Connection* connection = GetConnection();
    if (text.empty() || !connection || session.empty()) return;
    connection->Send("Input.insertText", {{"text", korvex::WideToUtf8(text)}}, {}, session);
}

}  // namespace cef_detail
