#include "afx/app.h"

#include "base/exe_paths.h"
#include "message_loop.h"
#include "window_plumbing.h"

namespace {

CWinApp* g_app = nullptr;
HINSTANCE g_instance = nullptr;

}  // namespace

CWinApp::CWinApp(LPCWSTR lpszAppName)
    : m_appName(lpszAppName ? lpszAppName : korvex::GetAppName()) {
    m_pszAppName = m_appName.c_str();
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() {
    if (m_dwRestartManagerSupportFlags & AFX_RESTART_MANAGER_SUPPORT_RESTART) {
        ::RegisterApplicationRestart(nullptr, 0);
    }
    return TRUE;
}

int CWinApp::Run() {
    MSG msg{};
    afx::detail::LoopScope loop;
    while (afx::detail::PumpMessage(msg)) {
    }
    m_exitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

int CWinApp::ExitInstance() { return m_exitCode; }

void CWinApp::SetRegistryKey(LPCWSTR lpszRegistryKey) {
    m_registryKey = lpszRegistryKey ? lpszRegistryKey : L"";
    m_pszRegistryKey = m_registryKey.c_str();
}

int CWinApp::Main(HINSTANCE hInstance, LPWSTR lpCmdLine, int nCmdShow) {
    g_instance = hInstance;
    CWinApp* app = g_app;
    if (app == nullptr) {
        ::OutputDebugStringW(L"CWinApp: the program defines no application object\n");
        return -1;
    }
    app->m_hInstance = hInstance;
    app->m_lpCmdLine = lpCmdLine;
    app->m_nCmdShow = nCmdShow;
    if (!app->InitInstance()) {
        // A main window that InitInstance left alive is closed before the application ends.
        if (app->m_pMainWnd != nullptr && app->m_pMainWnd->m_hWnd != nullptr) {
            app->m_pMainWnd->DestroyWindow();
        }
        return app->ExitInstance();
    }
    return app->Run();
}

namespace afx::detail {

void ForgetMainWindow(CWnd* wnd) {
    if (g_app != nullptr && g_app->m_pMainWnd == wnd) g_app->m_pMainWnd = nullptr;
}

}  // namespace afx::detail

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetInstanceHandle() {
    return g_instance != nullptr ? g_instance : ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle() { return AfxGetInstanceHandle(); }

CWnd* AfxGetMainWnd() { return g_app != nullptr ? g_app->m_pMainWnd : nullptr; }

int AfxMessageBox(LPCWSTR text, UINT type) {
    CWnd* main = AfxGetMainWnd();
    LPCWSTR caption = g_app != nullptr ? g_app->m_pszAppName : L"";
    return ::MessageBoxW(main ? main->m_hWnd : nullptr, text, caption, type);
}
