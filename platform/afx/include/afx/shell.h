// The framework's shell and visual-style services as far as the application asks for them.
// Korvex uses the classic look and no framework shell browsing or control bars, so these keep
// only their record-keeping: they draw nothing and change nothing on the screen.
#pragma once

#include "afx/runtime_class.h"

// Shell-namespace services for framework dialogs; the application never asks for them, so the
// object holds nothing. It exists so the start-up sequence can create and delete it.
class CShellManager {
  public:
    CShellManager();
    ~CShellManager();
    static int LiveCount();  // how many exist now
};

// The drawing scheme of framework-drawn bars and menus. None are used, so the scheme only
// records which class was chosen.
class CMFCVisualManager : public CObject {
    DECLARE_DYNAMIC(CMFCVisualManager)

  public:
    static void SetDefaultManager(const CRuntimeClass* pRTI);
    static const CRuntimeClass* GetDefaultManagerClass();
};

// The scheme that follows the system's own look (the classic look here).
class CMFCVisualManagerWindows : public CMFCVisualManager {
    DECLARE_DYNAMIC(CMFCVisualManagerWindows)
};

// Releases what framework control bars hold; there are none, so nothing is left to release.
void ControlBarCleanUp();
