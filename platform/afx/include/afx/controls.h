// Wrappers for the system controls the application uses.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "afx/wnd.h"

class CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)

  public:
    BOOL Create(LPCWSTR caption, DWORD style, const RECT& rect, CWnd* pParentWnd, UINT nID);
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck)); }

  protected:
    DECLARE_MESSAGE_MAP()
};

class CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)

  public:
    virtual BOOL Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* pParentWnd,
                        UINT nID = 0xffff);

  protected:
    DECLARE_MESSAGE_MAP()
};

// The hotkey control ("msctls_hotkey32"). Its value packs the virtual key in the low byte and
// the HOTKEYF_* modifier flags in the next byte.
class CHotKeyCtrl : public CWnd {
    DECLARE_DYNAMIC(CHotKeyCtrl)

  public:
    void SetHotKey(WORD wVirtualKeyCode, WORD wModifiers);
    DWORD GetHotKey() const;
    void GetHotKey(WORD& wVirtualKeyCode, WORD& wModifiers) const;

  protected:
    DECLARE_MESSAGE_MAP()
};
