// A tiny framework program for the entry-sequence test. Its command line is "<mode> <log>";
// it appends one line per step to <log>. Modes:
//   init-false   InitInstance sets up like a dialog application and returns FALSE
//   modal-quit   InitInstance runs a modal dialog that ends through a posted WM_QUIT(5)
//   init-true    InitInstance posts WM_QUIT(9) and returns TRUE, so the pump runs
#include <afx/afx.h>

#include <cstdio>
#include <string>

#include "afx_test_ids.h"
#include "base/utf.h"

namespace {

std::wstring g_mode;
std::wstring g_log;

void Log(const std::string& line) {
    if (FILE* f = _wfopen(g_log.c_str(), L"ab")) {
        std::fputs((line + "\n").c_str(), f);
        std::fclose(f);
    }
}

void ParseCommandLine(LPCWSTR cmdLine) {
    std::wstring all = cmdLine ? cmdLine : L"";
    const auto space = all.find(L' ');
    g_mode = all.substr(0, space);
    g_log = space == std::wstring::npos ? L"" : all.substr(space + 1);
}

class QuittingDialog : public CDialogEx {
  public:
    QuittingDialog() : CDialogEx(IDD_KEYS) {}
    BOOL OnInitDialog() override {
        CDialogEx::OnInitDialog();
        ::PostQuitMessage(5);
        return TRUE;
    }
    BOOL DestroyWindow() override {
        Log("dialog DestroyWindow");
        return CDialogEx::DestroyWindow();
    }
};

class ProbeApp : public CWinApp {
  public:
    ProbeApp() {
        ParseCommandLine(::GetCommandLineW());  // before the entry point: the whole line
        m_dwRestartManagerSupportFlags = AFX_RESTART_MANAGER_SUPPORT_RESTART;
        m_constructed = true;
    }

    BOOL InitInstance() override {
        ParseCommandLine(m_lpCmdLine);  // arguments only
        Log(std::string("InitInstance constructed-before=") + (m_constructed ? "yes" : "no"));
        Log(std::string("app=") + (AfxGetApp() == this ? "this" : "other"));
        Log(std::string("instance=") +
            (AfxGetInstanceHandle() == ::GetModuleHandleW(nullptr) && m_hInstance != nullptr
                 ? "module"
                 : "wrong"));
        Log("name=" + korvex::WideToUtf8(m_pszAppName));

        CWinApp::InitInstance();
        auto* shellManager = new CShellManager;
        CMFCVisualManager::SetDefaultManager(RUNTIME_CLASS(CMFCVisualManagerWindows));
        SetRegistryKey(L"ProbeKey");
        Log(std::string("visual=") + CMFCVisualManager::GetDefaultManagerClass()->m_lpszClassName);
        Log(std::string("registry=") +
            (m_pszRegistryKey && std::wstring(m_pszRegistryKey) == L"ProbeKey" ? "ProbeKey"
                                                                               : "wrong"));

        if (g_mode == L"modal-quit") {
            QuittingDialog dialog;
            m_pMainWnd = &dialog;
            Log("DoModal=" + std::to_string(dialog.DoModal()));
        }
        delete shellManager;
        Log("shell managers=" + std::to_string(CShellManager::LiveCount()));
        ControlBarCleanUp();
        Log(std::string("main window ") + (m_pMainWnd == nullptr ? "cleared" : "set"));

        if (g_mode == L"init-true") {
            ::PostQuitMessage(9);
            Log("InitInstance returns TRUE");
            return TRUE;
        }
        Log("InitInstance returns FALSE");
        return FALSE;
    }

    int ExitInstance() override {
        const int base = CWinApp::ExitInstance();
        Log("ExitInstance base=" + std::to_string(base));
        return g_mode == L"init-true" ? base : 37;
    }

  private:
    bool m_constructed = false;
};

ProbeApp theApp;

}  // namespace
