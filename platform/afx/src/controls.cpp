#include "afx/controls.h"

#include "afx/message_entries.h"

IMPLEMENT_DYNAMIC(CButton, CWnd);

IMPLEMENT_MESSAGE_MAP(CButton, CWnd);

BOOL CButton::Create(LPCWSTR caption, DWORD style, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(L"BUTTON", caption, style, rect, pParentWnd, nID);
}

IMPLEMENT_DYNAMIC(CStatic, CWnd);

IMPLEMENT_MESSAGE_MAP(CStatic, CWnd);

BOOL CStatic::Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(L"STATIC", text, style, rect, pParentWnd, nID);
}

IMPLEMENT_DYNAMIC(CHotKeyCtrl, CWnd);

IMPLEMENT_MESSAGE_MAP(CHotKeyCtrl, CWnd);

void CHotKeyCtrl::SetHotKey(WORD wVirtualKeyCode, WORD wModifiers) {
    SendMessage(HKM_SETHOTKEY, MAKEWORD(LOBYTE(wVirtualKeyCode), LOBYTE(wModifiers)));
}

DWORD CHotKeyCtrl::GetHotKey() const { return static_cast<DWORD>(SendMessage(HKM_GETHOTKEY)); }

void CHotKeyCtrl::GetHotKey(WORD& wVirtualKeyCode, WORD& wModifiers) const {
    const DWORD value = GetHotKey();
    wVirtualKeyCode = LOBYTE(LOWORD(value));
    wModifiers = HIBYTE(LOWORD(value));
}
