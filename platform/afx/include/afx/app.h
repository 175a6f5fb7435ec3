// The application object and the process entry. Exactly one CWinApp-derived object is defined
// at namespace scope; the library's wWinMain records the instance, calls InitInstance, and then
// either runs the message pump (TRUE) or goes straight to ExitInstance (FALSE). The process
// exit code is what ExitInstance returns.
#pragma once

#include <windows.h>

#include <string>

#include "afx/runtime_class.h"
#include "afx/wnd.h"

// Restart-manager support flags of CWinApp::m_dwRestartManagerSupportFlags.
inline constexpr DWORD AFX_RESTART_MANAGER_SUPPORT_RESTART = 0x01;

class CWinApp : public CObject {
  public:
    // A null name takes the executable's file name without its extension.
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // With AFX_RESTART_MANAGER_SUPPORT_RESTART set, registers the process for restart by the
    // system's restart manager. Returns TRUE.
    virtual BOOL InitInstance();
    // Pumps messages until WM_QUIT, then returns ExitInstance().
    virtual int Run();
    // Returns the exit code of the WM_QUIT that ended Run, or 0.
    virtual int ExitInstance();

    // Records the registry key under which framework settings would live. Nothing is written.
    void SetRegistryKey(LPCWSTR lpszRegistryKey);

    HINSTANCE m_hInstance = nullptr;
    LPWSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCWSTR m_pszAppName = nullptr;
    LPCWSTR m_pszRegistryKey = nullptr;
    CWnd* m_pMainWnd = nullptr;
    DWORD m_dwRestartManagerSupportFlags = 0;

    // Called by the library's entry point.
    static int Main(HINSTANCE hInstance, LPWSTR lpCmdLine, int nCmdShow);

  private:
    std::wstring m_appName;
    std::wstring m_registryKey;
    int m_exitCode = 0;
};

CWinApp* AfxGetApp();
// The executable's module handle (also before the entry point has recorded it).
HINSTANCE AfxGetInstanceHandle();
// The module dialog templates and other resources are loaded from.
HINSTANCE AfxGetResourceHandle();
CWnd* AfxGetMainWnd();
// A message box owned by the main window, captioned with the application's name.
int AfxMessageBox(LPCWSTR text, UINT type = MB_OK);
