// The browser host: a hidden pop-up dialog whose only content is the login browser, opened on
// the configured login address. Its owner places, shows and moves it; the host never resizes
// its browser.
#pragma once

#include <afx/afx.h>

#include "browser/browser_handler.h"
#include "cef/cef_base.h"

class CBrowserDlg : public CDialogEx {
  public:
    explicit CBrowserDlg(CWnd* pParent = nullptr);

  protected:
    // Creates the handler and asks for the browser: a child at (0, 0) as wide and high as the
    // dialog's right and bottom screen edges, so it covers the dialog wherever it is placed.
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()
};

// The handler the most recent host created; kept until the process ends. Main thread only.
extern CefRefPtr<CBrowserHandler> g_browserHandler;
