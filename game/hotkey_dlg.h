// The boss-key dialog (template IDD_HOTKEY): a hotkey control in which the player presses the
// combination, and an OK button. Run modally: set m_hotkey, call DoModal, and on IDOK read
// m_hotkey, m_virtualKey and m_modifiers. Cancel leaves all three as they were.
#pragma once

#include <afx/afx.h>

#include "resources/resource.h"

class CHotkeyDlg : public CDialogEx {
    DECLARE_DYNAMIC(CHotkeyDlg)

  public:
    explicit CHotkeyDlg(CWnd* pParent = nullptr);
    ~CHotkeyDlg() override;

    // Bound to control IDC_HOTKEY.
    CHotKeyCtrl m_hotkeyCtrl;
    // In: the packed value (game/hotkey_value.h) the control shows at start. Out, on OK: the
    // control's packed value, 0 when it holds no key.
    DWORD m_hotkey = 0;
    // Out, on OK: the control's virtual-key code.
    WORD m_virtualKey = 0;
    // Out, on OK: the control's modifier flags (HOTKEYF_*).
    WORD m_modifiers = 0;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Shows m_hotkey in the control; the focus goes to the first tab stop, the OK button.
    BOOL OnInitDialog() override;
    // Reads the control into the three members, then ends the dialog with IDOK.
    void OnBnClickedOk();

    DECLARE_MESSAGE_MAP()
};
