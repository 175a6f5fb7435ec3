#include "browser/browser_handler.h"

#include <windows.h>
#include <shellapi.h>

#include "base/text_view.h"
#include "browser/error_page.h"
#include "browser/shell_address.h"
#include "cef/cef_app.h"
#include "cef/cef_closure_task.h"
#include "cef/cef_task.h"
#include "launcher/korvex_dlg.h"

std::atomic<CBrowserHandler*> CBrowserHandler::s_instance{nullptr};

CBrowserHandler::CBrowserHandler() { s_instance.store(this); }

CBrowserHandler::~CBrowserHandler() {
    CBrowserHandler* self = this;
    s_instance.compare_exchange_strong(self, nullptr);
}

CBrowserHandler* CBrowserHandler::GetInstance() { return s_instance.load(); }

bool CBrowserHandler::OnBeforePopup(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                                    const CefString& target_url, const CefString&,
                                    WindowOpenDisposition, bool, const CefPopupFeatures&,
                                    CefWindowInfo&, CefRefPtr<CefClient>&, CefBrowserSettings&,
                                    bool*) {
    // Only web and mail addresses leave Korvex: the shell would run whatever program another
    // scheme or a file path names.
    const std::wstring address = target_url.ToWString();
    if (korvex::IsShellOpenableAddress(korvex::AsU16(address))) {
        ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOW);
    }
    return true;  // never a pop-up browser
}

void CBrowserHandler::OnAfterCreated(CefRefPtr<CefBrowser> browser) {
    m_browserList.push_back(browser);
}

bool CBrowserHandler::DoClose(CefRefPtr<CefBrowser>) { return false; }

void CBrowserHandler::OnBeforeClose(CefRefPtr<CefBrowser> browser) {
    for (auto it = m_browserList.begin(); it != m_browserList.end(); ++it) {
        if ((*it)->IsSame(browser)) {
            m_browserList.erase(it);
            break;
        }
    }
    // Korvex runs no library message loop, so this ends nothing anybody waits for.
    if (m_browserList.empty()) CefQuitMessageLoop();
}

void CBrowserHandler::OnBeforeContextMenu(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                                          CefRefPtr<CefContextMenuParams>,
                                          CefRefPtr<CefMenuModel> model) {
    model->Clear();  // an empty menu is not shown
}

bool CBrowserHandler::OnBeforeBrowse(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                                     CefRefPtr<CefRequest> request, bool) {
    // Until the launcher is up, and once its teardown has begun, every navigation proceeds.
    const CefString address = request->GetURL();
    return g_pLauncherDlg.With(
        [&address](CKorvexDlg& launcher) { return launcher.CheckLoginAddress(address); }, false);
}

void CBrowserHandler::OnLoadError(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame,
                                  ErrorCode errorCode, const CefString& errorText,
                                  const CefString& failedUrl) {
    // Cancelled loads (the login hand-over, downloads) keep their frame as it is.
    if (errorCode == ERR_ABORTED) return;
    const std::string page =
        korvex::BuildErrorPage(failedUrl.ToString(), errorText.ToString(), errorCode);
    frame->LoadString(CefString(page), failedUrl);
}

void CBrowserHandler::CloseAllBrowsers(bool force_close) {
    if (!CefCurrentlyOn(TID_UI)) {
        CefRefPtr<CBrowserHandler> self = this;  // held by the task until it has run
        CefPostTask(TID_UI, CefCreateClosureTask(
                                [self, force_close] { self->CloseAllBrowsers(force_close); }));
        return;
    }
    for (const CefRefPtr<CefBrowser>& browser : m_browserList) {
        browser->GetHost()->CloseBrowser(force_close);
    }
}

CefRefPtr<CefBrowser> CBrowserHandler::BrowserIn(HWND parent) {
    for (const CefRefPtr<CefBrowser>& browser : m_browserList) {
        HWND window = browser->GetHost()->GetWindowHandle();
        if (window && ::GetParent(window) == parent) return browser;
    }
    return nullptr;
}

void CBrowserHandler::ReloadBrowserIn(HWND parent) {
    CefRefPtr<CBrowserHandler> self = this;
    CefPostTask(TID_UI, CefCreateClosureTask([self, parent] {
                    if (CefRefPtr<CefBrowser> browser = self->BrowserIn(parent)) browser->Reload();
                }));
}

void CBrowserHandler::ClearCacheOfBrowserIn(HWND parent, CefRefPtr<CefCompletionCallback> done) {
    CefRefPtr<CBrowserHandler> self = this;
    const bool posted =
        CefPostTask(TID_UI, CefCreateClosureTask([self, parent, done] {
                        if (CefRefPtr<CefBrowser> browser = self->BrowserIn(parent)) {
                            browser->GetHost()->ClearCache(done);
                        } else if (done) {
                            done->OnComplete();
                        }
                    }));
    if (!posted && done) done->OnComplete();  // no library running: nothing to clear
}
