#include "app/korvex_app.h"

#include <commctrl.h>

#include <cwchar>
#include <exception>

#include "app/browser_app.h"
#include "launcher/korvex_dlg.h"

namespace {

constexpr DWORD kModulePathUnits = MAX_PATH;
constexpr wchar_t kCacheDirectoryName[] = L"cache";
constexpr wchar_t kFrameworkRegistryKey[] = L"应用程序向导生成的本地应用程序";

// The engine's cache directory, "cache" beside the executable; written once, before the library
// starts, and never again. Empty when the executable's path leaves no room for it (the engine
// then keeps a fresh profile of its own).
wchar_t g_cachePath[kModulePathUnits];

// An exception that nothing handles ends the process at once: no error-report dialog, no dump.
LONG WINAPI EndSilently(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }

// A C++ exception that leaves a thread ends the process the same way, without the runtime's own
// message about an abnormal end.
void TerminateSilently() { TerminateProcess(GetCurrentProcess(), 3); }  // does not return

// The executable's directory followed by "cache", or empty when that does not fit the buffer.
void BuildCachePath(wchar_t (&path)[kModulePathUnits]) {
    path[0] = 0;
    const DWORD n = GetModuleFileNameW(nullptr, path, kModulePathUnits);
    if (n == 0 || n >= kModulePathUnits) {  // failed, or cut: not this executable's path
        path[0] = 0;
        return;
    }
    wchar_t* slash = std::wcsrchr(path, L'\\');
    if (!slash) {
        path[0] = 0;
        return;
    }
    const std::size_t room = kModulePathUnits - std::size_t(slash + 1 - path);
    if (std::size(kCacheDirectoryName) > room) {
        path[0] = 0;
        return;
    }
    std::wcscpy(slash + 1, kCacheDirectoryName);
}

}  // namespace

CKorvexApp theApp;

CKorvexApp::CKorvexApp() : CWinApp(nullptr) {
    SetUnhandledExceptionFilter(&EndSilently);
    std::set_terminate(&TerminateSilently);
    m_dwRestartManagerSupportFlags = AFX_RESTART_MANAGER_SUPPORT_RESTART;

    const CefMainArgs mainArgs(AfxGetInstanceHandle());
    CefRefPtr<CBrowserApp> app = new CBrowserApp;

    BuildCachePath(g_cachePath);
    CreateDirectoryW(g_cachePath, nullptr);  // exists on every start but the first

    CefSettings settings;
    settings.no_sandbox = 1;
    settings.multi_threaded_message_loop = 1;
    settings.cache_path = CefString(g_cachePath);
    // Returns once the engine runs; the launcher opens while the engine gets ready.
    CefInitialize(mainArgs, settings, app.get(), nullptr);
}

BOOL CKorvexApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    CWinApp::InitInstance();

    CShellManager* shellManager = new CShellManager;
    CMFCVisualManager::SetDefaultManager(RUNTIME_CLASS(CMFCVisualManagerWindows));
    SetRegistryKey(kFrameworkRegistryKey);

    {
        CKorvexDlg launcher;
        m_pMainWnd = &launcher;
        launcher.DoModal();  // however it ends, the process ends
        delete shellManager;
        ControlBarCleanUp();
    }
    return FALSE;
}
