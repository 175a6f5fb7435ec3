// The client of Korvex's browsers, shared by the login browser and the game browser: pop-ups go
// to the system's browser, there is no context menu, failed loads show the error page, every
// navigation is first shown to the launcher's login check, and the browsers are listed so that
// the launcher's teardown can close them all.
//
// Threads: the library calls every operation on TID_UI, except OnBeforePopup (TID_IO).
// m_browserList is used on TID_UI only; CloseAllBrowsers moves itself there.
#pragma once

#include <windows.h>

#include <atomic>
#include <list>

#include "cef/cef_browser.h"
#include "cef/cef_client.h"

class CBrowserHandler : public CefClient,
                        public CefDisplayHandler,
                        public CefLifeSpanHandler,
                        public CefContextMenuHandler,
                        public CefRequestHandler,
                        public CefLoadHandler {
  public:
    // The new handler becomes the one GetInstance returns.
    CBrowserHandler();
    ~CBrowserHandler() override;

    // The most recently constructed handler still alive, or null.
    static CBrowserHandler* GetInstance();

    // Any thread. Asks every listed browser, in creation order, to close; they leave the list
    // one by one in OnBeforeClose. Off TID_UI it posts itself there and returns at once.
    void CloseAllBrowsers(bool force_close);

    // Any thread; carried out on TID_UI. The listed browser whose window is a child of parent
    // (the game window's browser) reloads its page.
    void ReloadBrowserIn(HWND parent);
    // Any thread; carried out on TID_UI. Clears the engine's HTTP cache and the cached storage
    // of the page's origin through the browser in parent (cookies stay); done runs on TID_UI
    // once finished, also when there is no such browser (on the calling thread when the library
    // does not run).
    void ClearCacheOfBrowserIn(HWND parent, CefRefPtr<CefCompletionCallback> done);

    // CefClient
    CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() override { return this; }
    CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return this; }
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
    CefRefPtr<CefRequestHandler> GetRequestHandler() override { return this; }

    // CefLifeSpanHandler
    bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                       const CefString& target_url, const CefString& target_frame_name,
                       WindowOpenDisposition target_disposition, bool user_gesture,
                       const CefPopupFeatures& popupFeatures, CefWindowInfo& windowInfo,
                       CefRefPtr<CefClient>& client, CefBrowserSettings& settings,
                       bool* no_javascript_access) override;
    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override;
    bool DoClose(CefRefPtr<CefBrowser> browser) override;
    void OnBeforeClose(CefRefPtr<CefBrowser> browser) override;

    // CefContextMenuHandler
    void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                             CefRefPtr<CefContextMenuParams> params,
                             CefRefPtr<CefMenuModel> model) override;

    // CefRequestHandler
    bool OnBeforeBrowse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                        CefRefPtr<CefRequest> request, bool is_redirect) override;

    // CefLoadHandler
    void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, ErrorCode errorCode,
                     const CefString& errorText, const CefString& failedUrl) override;

  private:
    // TID_UI: the listed browser whose window is a child of parent, or null.
    CefRefPtr<CefBrowser> BrowserIn(HWND parent);

    std::list<CefRefPtr<CefBrowser>> m_browserList;

    static std::atomic<CBrowserHandler*> s_instance;

    IMPLEMENT_REFCOUNTING(CBrowserHandler);
};
