#include "browser/page_dialog_window.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "base/utf.h"
#include "core/library_log.h"
#include "devtools/connection.h"

namespace cef_detail {
namespace {

// The face of the dialog's text: present on every Chinese Windows system (and mapped to a CJK
// font in a Wine prefix).
constexpr wchar_t kFontFace[] = L"Microsoft YaHei";
constexpr WORD kFontPoints = 9;

// Sizes in dialog units.
constexpr int kMargin = 10;
constexpr int kTextWidth = 240;
constexpr int kGap = 8;
constexpr int kFieldHeight = 14;
constexpr int kButtonWidth = 56;
constexpr int kButtonHeight = 15;
constexpr int kButtonGap = 6;
// A very long text stops growing the dialog here (pixels); the rest is cut off.
constexpr int kMaxTextHeight = 480;

constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;

// An in-memory dialog template (DLGTEMPLATE and its items), kept DWORD-aligned where the
// format needs it. The controls are placed once the font's size is known (WM_INITDIALOG).
class DialogTemplate {
  public:
    DialogTemplate(DWORD style, WORD items, std::wstring_view caption) {
        Dword(style);
        Dword(0);  // extended style
        words_.push_back(items);
        for (int i = 0; i < 4; ++i) words_.push_back(0);  // x, y, cx, cy: set when laid out
        words_.push_back(0);                              // no menu
        words_.push_back(0);                              // the standard dialog class
        Text(caption);
        words_.push_back(kFontPoints);
        Text(kFontFace);
    }
    void Item(DWORD style, WORD id, WORD control_class, std::wstring_view text) {
        if (words_.size() % 2) words_.push_back(0);
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        for (int i = 0; i < 4; ++i) words_.push_back(0);
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(control_class);
        Text(text);
        words_.push_back(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void Dword(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void Text(std::wstring_view text) {
        for (wchar_t c : text) words_.push_back(WORD(c));
        words_.push_back(0);
    }

    std::vector<WORD> words_;
};

// How many page dialogs hold each owner disabled, and whether it was enabled before the first
// (TID_UI only).
struct OwnerHold {
    int dialogs = 0;
    bool was_enabled = false;
};
std::map<HWND, OwnerHold>& OwnerHolds() {
    static std::map<HWND, OwnerHold> holds;
    return holds;
}

void HoldOwner(HWND owner) {
    OwnerHold& hold = OwnerHolds()[owner];
    if (hold.dialogs++ == 0) {
        hold.was_enabled = IsWindowEnabled(owner) != FALSE;
        EnableWindow(owner, FALSE);
    }
}

void LetOwnerGo(HWND owner) {
    auto it = OwnerHolds().find(owner);
    if (it == OwnerHolds().end()) return;
    if (--it->second.dialogs > 0) return;
    if (it->second.was_enabled && IsWindow(owner)) EnableWindow(owner, TRUE);
    OwnerHolds().erase(it);
}

RECT DialogUnits(HWND dialog, int width, int height) {
    RECT r{0, 0, width, height};
    MapDialogRect(dialog, &r);
    return r;
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(std::size_t(length) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

int TextHeight(HWND control, int width) {
    const std::wstring text = WindowText(control);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT r{0, 0, width, 0};
    DrawTextW(dc, text.empty() ? L" " : text.c_str(), -1, &r,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS | DT_EDITCONTROL);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return std::min<int>(r.bottom, kMaxTextHeight);
}

}  // namespace

PageDialogWindow::PageDialogWindow(HWND browser_window, const PageDialog& dialog, Answer answer)
    : dialog_(dialog), answer_(std::move(answer)) {
    owner_ = browser_window ? GetAncestor(browser_window, GA_ROOT) : nullptr;
    const WORD items = WORD(dialog_.has_field ? 3 : 2) + WORD(dialog_.cancel_label.empty() ? 0 : 1);
    DialogTemplate form(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, items,
                        korvex::Utf8ToWide(dialog_.caption));
    form.Item(SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, kMessageId, kStaticClass,
              korvex::Utf8ToWide(dialog_.message));
    if (dialog_.has_field) {
        form.Item(ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, kFieldId, kEditClass,
                  korvex::Utf8ToWide(dialog_.default_text));
    }
    form.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK, kButtonClass,
              korvex::Utf8ToWide(dialog_.ok_label));
    if (!dialog_.cancel_label.empty()) {
        form.Item(BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, kButtonClass,
                  korvex::Utf8ToWide(dialog_.cancel_label));
    }
    HoldOwner(owner_);
    owner_disabled_ = true;
    hwnd_ =
        CreateDialogIndirectParamW(GetModuleHandleW(nullptr), form.get(), owner_,
                                   &PageDialogWindow::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd_) {
        LibraryLog().Write("page dialog: window not made (error " + std::to_string(GetLastError()) +
                           "); the page's dialog is refused");
        ReleaseOwner();
        PostToThread(TID_UI, [answer = answer_] { answer(false, {}); });
        return;
    }
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
}

// The owner comes back before the dialog goes, so the system activates it rather than some
// other program's window.
PageDialogWindow::~PageDialogWindow() {
    if (!hwnd_) return;
    ReleaseOwner();
    HWND hwnd = std::exchange(hwnd_, nullptr);
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    DestroyWindow(hwnd);
}

void PageDialogWindow::Show(bool shown) {
    if (!hwnd_) return;
    ShowWindow(hwnd_, shown ? SW_SHOW : SW_HIDE);
    if (shown) SetForegroundWindow(hwnd_);
}

void PageDialogWindow::ReleaseOwner() {
    if (!owner_disabled_) return;
    owner_disabled_ = false;
    LetOwnerGo(owner_);
}

INT_PTR CALLBACK PageDialogWindow::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        auto* self = reinterpret_cast<PageDialogWindow*>(lp);
        SetWindowLongPtrW(hwnd, DWLP_USER, LONG_PTR(self));
        self->hwnd_ = hwnd;
        self->Layout();
        if (HWND field = GetDlgItem(hwnd, kFieldId)) {
            SetFocus(field);
            SendMessageW(field, EM_SETSEL, 0, -1);
            return FALSE;  // the focus is set
        }
        return TRUE;
    }
    auto* self = reinterpret_cast<PageDialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!self) return FALSE;
    switch (msg) {
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
                self->Finish(LOWORD(wp) == IDOK);
                return TRUE;
            }
            return FALSE;
        case WM_CLOSE:
            self->Finish(false);
            return TRUE;
        default:
            return FALSE;
    }
}

void PageDialogWindow::Layout() {
    const RECT margin = DialogUnits(hwnd_, kMargin, kMargin);
    const RECT gap = DialogUnits(hwnd_, kButtonGap, kGap);
    const RECT button = DialogUnits(hwnd_, kButtonWidth, kButtonHeight);
    const int text_width = DialogUnits(hwnd_, kTextWidth, 0).right;
    const int width = text_width + 2 * margin.right;
    int y = margin.bottom;
    HWND message = GetDlgItem(hwnd_, kMessageId);
    const int text_height = TextHeight(message, text_width);
    MoveWindow(message, margin.right, y, text_width, text_height, FALSE);
    y += text_height + gap.bottom;
    if (HWND field = GetDlgItem(hwnd_, kFieldId)) {
        const int field_height = DialogUnits(hwnd_, 0, kFieldHeight).bottom;
        MoveWindow(field, margin.right, y, text_width, field_height, FALSE);
        y += field_height + gap.bottom;
    }
    // OK, then Cancel, at the bottom right.
    int x = width - margin.right - button.right;
    if (HWND cancel = GetDlgItem(hwnd_, IDCANCEL)) {
        MoveWindow(cancel, x, y, button.right, button.bottom, FALSE);
        x -= button.right + gap.right;
    }
    MoveWindow(GetDlgItem(hwnd_, IDOK), x, y, button.right, button.bottom, FALSE);
    y += button.bottom + margin.bottom;

    RECT frame{0, 0, width, y};
    AdjustWindowRectEx(&frame, DWORD(GetWindowLongW(hwnd_, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongW(hwnd_, GWL_EXSTYLE)));
    const int frame_width = frame.right - frame.left;
    const int frame_height = frame.bottom - frame.top;
    // Over the middle of the owner, kept on its monitor's work area.
    RECT area{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    HMONITOR on = MonitorFromWindow(owner_ ? owner_ : hwnd_, MONITOR_DEFAULTTONEAREST);
    if (GetMonitorInfoW(on, &monitor)) area = monitor.rcWork;
    RECT over = area;
    if (owner_) GetWindowRect(owner_, &over);
    int left = (over.left + over.right - frame_width) / 2;
    int top = (over.top + over.bottom - frame_height) / 2;
    left = std::max<int>(area.left, std::min<int>(left, area.right - frame_width));
    top = std::max<int>(area.top, std::min<int>(top, area.bottom - frame_height));
    SetWindowPos(hwnd_, nullptr, left, top, frame_width, frame_height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// The window stays until its owner object goes, after the page has had the answer: closing it
// hands the activation back to the owner, which may wait on the owner's thread, and that
// thread may itself be waiting for the page.
void PageDialogWindow::Finish(bool ok) {
    if (answered_) return;
    answered_ = true;
    std::string typed;
    if (dialog_.has_field) typed = korvex::WideToUtf8(WindowText(GetDlgItem(hwnd_, kFieldId)));
    PostToThread(TID_UI, [answer = answer_, ok, typed] { answer(ok, typed); });
}

}  // namespace cef_detail
