// Korvex's application object: its construction, during static initialisation, installs the
// silent handling of unhandled exceptions and starts the browser library; InitInstance runs the
// launcher modally, and the process lives exactly as long as that modal loop.
#pragma once

#include <afx/afx.h>

class CKorvexApp : public CWinApp {
  public:
    CKorvexApp();

    // Always FALSE: the framework skips its own message pump and the process ends.
    BOOL InitInstance() override;
};

// The one application object.
extern CKorvexApp theApp;
