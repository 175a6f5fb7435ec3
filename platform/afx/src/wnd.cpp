#include "afx/wnd.h"

#include <unordered_map>

#include "afx/app.h"
#include "afx/dialog.h"
#include "afx/message_entries.h"
#include "window_plumbing.h"

namespace {

struct ThreadState {
    std::unordered_map<HWND, CWnd*> permanent;
    std::unordered_map<HWND, CWnd*> temporary;
    CWnd* pendingCreate = nullptr;
    MSG current{};  // the message being handled now, for Default()
};

ThreadState& State() {
    thread_local ThreadState state;
    return state;
}

bool IsImeWindow(HWND hWnd) {
    wchar_t name[32] = {};
    ::GetClassNameW(hWnd, name, 32);
    return ::lstrcmpiW(name, L"IME") == 0 || ::lstrcmpiW(name, L"MSCTFIME UI") == 0;
}

BOOL ModifyLong(HWND hWnd, int index, DWORD remove, DWORD add, UINT nFlags) {
    const DWORD old = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, index));
    const DWORD now = (old & ~remove) | add;
    if (old == now) return FALSE;
    ::SetWindowLongPtrW(hWnd, index, static_cast<LONG_PTR>(now));
    if (nFlags != 0) {
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    }
    return TRUE;
}

}  // namespace

// Private access to CWnd for the plumbing below.
struct WindowPlumbing {
    // Binds wnd to hWnd and routes the window's messages through StandardWndProc.
    static void Route(CWnd* wnd, HWND hWnd) {
        State().permanent[hWnd] = wnd;
        wnd->m_hWnd = hWnd;
        wnd->PreSubclassWindow();
        wnd->m_pfnSuper = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
            hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StandardWndProc)));
    }

    // Unbinds wnd after its window's last message.
    static void Unbind(CWnd* wnd) {
        wnd->Detach();
        afx::detail::ForgetMainWindow(wnd);
        wnd->PostNcDestroy();
    }

    static LRESULT Dispatch(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam) {
        return wnd->WindowProc(message, wParam, lParam);
    }
};

namespace afx::detail {

namespace {

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    ThreadState& s = State();
    if (code == HCBT_CREATEWND && s.pendingCreate != nullptr) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        if (!IsImeWindow(hWnd)) {
            CWnd* wnd = s.pendingCreate;
            s.pendingCreate = nullptr;
            WindowPlumbing::Route(wnd, hWnd);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

CreationScope::CreationScope(CWnd* wnd) : m_previous(State().pendingCreate) {
    State().pendingCreate = wnd;
    m_hook = ::SetWindowsHookExW(WH_CBT, &CreationHook, nullptr, ::GetCurrentThreadId());
}

CreationScope::~CreationScope() {
    if (m_hook) ::UnhookWindowsHookEx(m_hook);
    State().pendingCreate = m_previous;
}

}  // namespace afx::detail

IMPLEMENT_DYNAMIC(CWnd, CObject);

const afx::MessageMap* CWnd::GetThisMessageMap() {
    static const afx::MessageMapEntry entries[] = {
        afx::On<WM_CTLCOLOR, &CWnd::OnCtlColor>(),
        afx::EndOfMap(),
    };
    static const afx::MessageMap map{nullptr, entries};
    return &map;
}

const afx::MessageMap* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

CWnd::~CWnd() {
    afx::detail::ForgetMainWindow(this);
    if (m_hWnd != nullptr) {
        ::DestroyWindow(m_hWnd);
        if (m_hWnd != nullptr) Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto& map = State().permanent;
    auto it = map.find(hWnd);
    return it == map.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr) return nullptr;
    if (CWnd* wnd = FromHandlePermanent(hWnd)) return wnd;
    auto& temps = State().temporary;
    auto it = temps.find(hWnd);
    if (it != temps.end()) return it->second;
    auto* wnd = new CWnd;
    wnd->m_hWnd = hWnd;
    temps.emplace(hWnd, wnd);
    return wnd;
}

void CWnd::DeleteTempMap() {
    auto& temps = State().temporary;
    for (auto& [hWnd, wnd] : temps) {
        wnd->m_hWnd = nullptr;  // a wrapper never destroys the window it wraps
        delete wnd;
    }
    temps.clear();
}

BOOL CWnd::Attach(HWND hWnd) {
    if (hWnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWnd) != nullptr) {
        return FALSE;
    }
    State().permanent[hWnd] = this;
    m_hWnd = hWnd;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    if (hWnd == nullptr) return nullptr;
    auto& map = State().permanent;
    auto it = map.find(hWnd);
    if (it != map.end() && it->second == this) map.erase(it);
    if (m_pfnSuper != nullptr && ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) ==
                                     reinterpret_cast<LONG_PTR>(&CWnd::StandardWndProc)) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (hWnd == nullptr || !::IsWindow(hWnd) || m_hWnd != nullptr ||
        FromHandlePermanent(hWnd) != nullptr) {
        return FALSE;
    }
    WindowPlumbing::Route(this, hWnd);
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
    if (m_hWnd != nullptr) return FALSE;
    HWND hWnd;
    {
        afx::detail::CreationScope scope(this);
        hWnd = ::CreateWindowExW(exStyle, className, windowName, style, x, y, width, height,
                                 hWndParent, nIDorHMenu, AfxGetInstanceHandle(), lpParam);
    }
    if (hWnd == nullptr) return FALSE;
    if (m_hWnd == nullptr) SubclassWindow(hWnd);  // the hook missed it: route it now
    return m_hWnd == hWnd;
}

BOOL CWnd::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                  CWnd* pParentWnd, UINT nID) {
    return CreateEx(0, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)));
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    const BOOL done = ::DestroyWindow(m_hWnd);
    // A window bound with Attach alone sends its last message elsewhere: unbind it here.
    if (m_hWnd != nullptr && !::IsWindow(m_hWnd)) Detach();
    return done;
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

void CWnd::PreSubclassWindow() {}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return dx.Failed() ? FALSE : TRUE;
}

LRESULT CWnd::Default() {
    const MSG& m = State().current;
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr) {
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    }
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) {
        result = DefWindowProc(message, wParam, lParam);
    }
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) return OnCommand(wParam, lParam, pResult);
    const afx::MessageMapEntry* entry =
        afx::FindEntry(GetMessageMap(), afx::EntryKind::Message, message, 0, 0);
    if (entry == nullptr) return FALSE;
    *pResult = entry->invoke(this, message, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const afx::MessageMapEntry* entry = afx::FindEntry(GetMessageMap(), afx::EntryKind::Command,
                                                       WM_COMMAND, HIWORD(wParam), LOWORD(wParam));
    if (entry == nullptr) return FALSE;
    *pResult = entry->invoke(this, WM_COMMAND, wParam, lParam);
    return TRUE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const afx::MessageMapEntry* entry =
        afx::FindEntry(GetMessageMap(), afx::EntryKind::Reflected, message, 0, 0);
    if (entry == nullptr) return FALSE;
    *pResult = entry->invoke(this, message, wParam, lParam);
    return TRUE;
}

HBRUSH CWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    CWnd* control = pWnd ? FromHandlePermanent(pWnd->m_hWnd) : nullptr;
    if (control != nullptr && control != this) {
        LRESULT brush = 0;
        const UINT message = WM_CTLCOLORMSGBOX + nCtlColor;
        if (control->OnChildNotify(message, reinterpret_cast<WPARAM>(pDC->m_hDC),
                                   reinterpret_cast<LPARAM>(pWnd->m_hWnd), &brush) &&
            brush != 0) {
            return reinterpret_cast<HBRUSH>(brush);
        }
    }
    return reinterpret_cast<HBRUSH>(Default());
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT nFlags) {
    return ModifyLong(m_hWnd, GWL_STYLE, remove, add, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT nFlags) {
    return ModifyLong(m_hWnd, GWL_EXSTYLE, remove, add, nFlags);
}

void CWnd::ScreenToClient(LPRECT rect) const {
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}

int CWnd::MessageBox(LPCWSTR text, LPCWSTR caption, UINT type) {
    if (caption == nullptr) {
        CWinApp* app = AfxGetApp();
        caption = app != nullptr && app->m_pszAppName != nullptr ? app->m_pszAppName : L"";
    }
    return ::MessageBoxW(m_hWnd, text, caption, type);
}

LRESULT CALLBACK CWnd::StandardWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (wnd == nullptr) return ::DefWindowProcW(hWnd, message, wParam, lParam);
    ThreadState& s = State();
    const MSG saved = s.current;
    s.current = MSG{hWnd, message, wParam, lParam, 0, {}};
    const LRESULT result = WindowPlumbing::Dispatch(wnd, message, wParam, lParam);
    if (message == WM_NCDESTROY && wnd->m_hWnd == hWnd) WindowPlumbing::Unbind(wnd);
    s.current = saved;
    return result;
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }

CPaintDC::~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
