// Dialogs built from dialog templates in the resources: modeless (Create) or modal (DoModal,
// run by the framework's own loop so that PreTranslateMessage sees every message), with data
// exchange binding template controls to control objects.
#pragma once

#include <windows.h>

#include "afx/wnd.h"

class CDataExchange {
  public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    // Marks the exchange as failed; UpdateData then returns FALSE. `reason` is reported through
    // OutputDebugStringW.
    void Fail(LPCWSTR reason);
    bool Failed() const { return m_failed; }

  private:
    bool m_failed = false;
};

// Binds control nIDC of the dialog to `control` (subclassing it) the first time; later calls
// leave an existing binding alone. A missing control or one bound elsewhere fails the exchange.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

  public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Modeless: creates the window from template nIDTemplate; OnInitDialog runs inside.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // Modal: disables the owner, runs the modal loop until EndDialog or WM_QUIT, then destroys
    // the window through the virtual DestroyWindow and re-enables the owner. Returns the
    // EndDialog result; -1 when the window could not be created or the loop met WM_QUIT (the
    // quit is posted again for the caller).
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    BOOL PreTranslateMessage(MSG* pMsg) override;

    UINT m_nIDHelp = 0;
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

  protected:
    // Enter and the default button: UpdateData(TRUE), then EndDialog(IDOK).
    virtual void OnOK();
    // Escape and the close box: EndDialog(IDCANCEL).
    virtual void OnCancel();

    DECLARE_MESSAGE_MAP()

  private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL CreateFromTemplate(UINT nIDTemplate, HWND hWndOwner);
    void OnOKCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }

    bool m_modal = false;
    bool m_modalEnded = false;
    int m_nModalResult = -1;
};

// The dialog base the application's windows derive from; it adds nothing to CDialog here.
class CDialogEx : public CDialog {
    DECLARE_DYNAMIC(CDialogEx)

  public:
    explicit CDialogEx(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : CDialog(nIDTemplate, pParentWnd) {}

  protected:
    DECLARE_MESSAGE_MAP()
};
