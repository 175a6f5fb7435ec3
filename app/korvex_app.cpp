#include "app/korvex_app.h"

#include <commctrl.h>

#include <cwchar>
#include <exception>

#include "app/browser_app.h"
#include "app/profile_claim.h"
#include "base/exe_paths.h"
#include "launcher/korvex_dlg.h"

namespace {

constexpr DWORD kModulePathUnits = MAX_PATH;
constexpr wchar_t kFrameworkRegistryKey[] = L"应用程序向导生成的本地应用程序";

// The engine's cache directory: "cache" beside the executable, or the first free sibling
// ("cache-2", ...) when another running copy holds it; written once, before the library starts,
// and never again. Empty when no folder could be claimed or its path does not fit the buffer
// (the engine then keeps a fresh profile of its own).
wchar_t g_cachePath[kModulePathUnits];

// This copy's hold on its profile folder, for the life of the process.
korvex::ProfileClaim& HeldProfile() {
    static korvex::ProfileClaim claim;
    return claim;
}

// An exception that nothing handles ends the process at once: no error-report dialog, no dump.
LONG WINAPI EndSilently(EXCEPTION_POINTERS*) { return EXCEPTION_EXECUTE_HANDLER; }

// A C++ exception that leaves a thread ends the process the same way, without the runtime's own
// message about an abnormal end.
void TerminateSilently() { TerminateProcess(GetCurrentProcess(), 3); }  // does not return

// Claims this copy's profile folder beside the executable and writes its path to path.
void BuildCachePath(wchar_t (&path)[kModulePathUnits]) {
    path[0] = 0;
    const std::wstring exe = korvex::GetExePath();
    const std::size_t slash = exe.rfind(L'\\');
    if (slash == std::wstring::npos) return;
    korvex::ProfileClaim& profile = HeldProfile();
    if (!profile.Take(exe.substr(0, slash + 1))) return;
    if (profile.path().size() >= kModulePathUnits) return;
    std::wcscpy(path, profile.path().c_str());
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
