#include "afx/dialog.h"

#include <cwchar>

#include "afx/app.h"
#include "afx/message_entries.h"
#include "message_loop.h"
#include "window_plumbing.h"

void CDataExchange::Fail(LPCWSTR reason) {
    m_failed = true;
    ::OutputDebugStringW(reason);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control) {
    if (control.m_hWnd != nullptr) return;  // bound by an earlier exchange
    wchar_t reason[96];
    HWND hWnd = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (hWnd == nullptr) {
        std::swprintf(reason, 96, L"DDX_Control: the dialog has no control %d\n", nIDC);
        pDX->Fail(reason);
    } else if (!control.SubclassWindow(hWnd)) {
        std::swprintf(reason, 96, L"DDX_Control: control %d is bound to another object\n", nIDC);
        pDX->Fail(reason);
    }
}

IMPLEMENT_DYNAMIC(CDialog, CWnd);

IMPLEMENT_MESSAGE_MAP(CDialog, CWnd, afx::OnCommand<IDOK, &CDialog::OnOK>(),
                      afx::OnCommand<IDCANCEL, &CDialog::OnCancel>());

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
    // Every message reaches the object through its window procedure first; the dialog
    // procedure only runs the initialisation, whose result decides the default focus.
    if (message != WM_INITDIALOG) return FALSE;
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    if (dialog == nullptr) return TRUE;
    if (dialog->m_hWnd == nullptr) dialog->SubclassWindow(hWnd);
    return dialog->OnInitDialog();
}

BOOL CDialog::CreateFromTemplate(UINT nIDTemplate, HWND hWndOwner) {
    if (m_hWnd != nullptr) return FALSE;
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(nIDTemplate), RT_DIALOG);
    const void* data = found ? ::LockResource(::LoadResource(module, found)) : nullptr;
    if (data == nullptr) {
        wchar_t reason[80];
        std::swprintf(reason, 80, L"CDialog: no dialog template %u\n", nIDTemplate);
        ::OutputDebugStringW(reason);
        return FALSE;
    }
    m_nIDTemplate = nIDTemplate;
    HWND hWnd;
    {
        afx::detail::CreationScope scope(this);
        hWnd = ::CreateDialogIndirectParamW(module, static_cast<LPCDLGTEMPLATEW>(data), hWndOwner,
                                            &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    }
    return hWnd != nullptr && m_hWnd == hWnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    if (pParentWnd != nullptr) m_pParentWnd = pParentWnd;
    m_modal = false;
    return CreateFromTemplate(nIDTemplate, m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr);
}

INT_PTR CDialog::DoModal() {
    HWND owner = m_pParentWnd ? ::GetAncestor(m_pParentWnd->m_hWnd, GA_ROOT) : nullptr;
    const bool enableOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (enableOwner) ::EnableWindow(owner, FALSE);

    m_modal = true;
    m_modalEnded = false;
    m_nModalResult = -1;
    bool quit = false;
    MSG msg{};
    if (CreateFromTemplate(m_nIDTemplate, owner)) {
        if (!m_modalEnded && !(GetStyle() & WS_VISIBLE)) ShowWindow(SW_SHOWNORMAL);
        afx::detail::LoopScope loop;
        while (!m_modalEnded && m_hWnd != nullptr) {
            if (!afx::detail::PumpMessage(msg)) {
                quit = true;
                break;
            }
        }
        if (m_hWnd != nullptr) {
            SetWindowPos(nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    }
    if (enableOwner) {
        ::EnableWindow(owner, TRUE);
        if (m_hWnd != nullptr && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
    }
    if (m_hWnd != nullptr) DestroyWindow();
    m_modal = false;
    if (quit) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));  // the application still has to end
        return -1;
    }
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    if (m_modal) {
        m_modalEnded = true;
        if (m_hWnd != nullptr) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);  // wake the loop
    } else if (m_hWnd != nullptr) {
        ::EndDialog(m_hWnd, nResult);
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);  // binds the controls; a failure has been reported by the exchange
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    const UINT m = pMsg->message;
    const bool input =
        (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST);
    if (!input || m_hWnd == nullptr) return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)) return FALSE;
    return ::IsDialogMessageW(m_hWnd, pMsg);
}

IMPLEMENT_DYNAMIC(CDialogEx, CDialog);

IMPLEMENT_MESSAGE_MAP(CDialogEx, CDialog);
