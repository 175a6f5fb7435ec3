#include "game/hotkey_dlg.h"

#include "game/hotkey_value.h"

IMPLEMENT_DYNAMIC(CHotkeyDlg, CDialogEx);

CHotkeyDlg::CHotkeyDlg(CWnd* pParent) : CDialogEx(IDD_HOTKEY, pParent) {}

CHotkeyDlg::~CHotkeyDlg() = default;

void CHotkeyDlg::DoDataExchange(CDataExchange* pDX) {
    CDialogEx::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HOTKEY, m_hotkeyCtrl);
}

BOOL CHotkeyDlg::OnInitDialog() {
    CDialogEx::OnInitDialog();
    m_hotkeyCtrl.SendMessage(HKM_SETHOTKEY, korvex::HotkeyControlWord(m_hotkey));
    return TRUE;
}

void CHotkeyDlg::OnBnClickedOk() {
    // The control answers with a word; the stored value keeps bits 16 to 31 zero.
    m_hotkey = static_cast<DWORD>(m_hotkeyCtrl.SendMessage(HKM_GETHOTKEY)) & 0xFFFFu;
    m_hotkeyCtrl.GetHotKey(m_virtualKey, m_modifiers);
    CDialogEx::OnOK();
}

IMPLEMENT_MESSAGE_MAP(CHotkeyDlg, CDialogEx, afx::OnBnClicked<IDOK, &CHotkeyDlg::OnBnClickedOk>());
