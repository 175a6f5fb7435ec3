// Browsers: a page shown in a window of its own, and the host side that creates and closes it.
#pragma once

#include <windows.h>

#include <vector>

#include "cef/cef_base.h"
#include "cef/cef_client.h"
#include "cef/cef_frame.h"
#include "cef/cef_string.h"
#include "cef/cef_window_info.h"

class CefBrowserHost;
class CefRequestContext : public virtual CefBase {};

// Told when an operation of the library has finished.
class CefCompletionCallback : public virtual CefBase {
  public:
    virtual void OnComplete() = 0;
};

class CefBrowser : public virtual CefBase {
  public:
    virtual CefRefPtr<CefBrowserHost> GetHost() = 0;
    // Unique and positive within the process.
    virtual int GetIdentifier() = 0;
    virtual bool IsSame(CefRefPtr<CefBrowser> that) = 0;
    virtual bool IsPopup() = 0;
    virtual bool CanGoBack() = 0;
    virtual void GoBack() = 0;
    virtual bool CanGoForward() = 0;
    virtual void GoForward() = 0;
    virtual bool IsLoading() = 0;
    virtual void Reload() = 0;
    virtual void StopLoad() = 0;
    virtual bool HasDocument() = 0;
    virtual CefRefPtr<CefFrame> GetMainFrame() = 0;
    virtual CefRefPtr<CefFrame> GetFocusedFrame() = 0;
    // Null when no frame of the page has that name.
    virtual CefRefPtr<CefFrame> GetFrame(const CefString& name) = 0;
    virtual std::size_t GetFrameCount() = 0;
    virtual void GetFrameNames(std::vector<CefString>& names) = 0;
};

class CefBrowserHost : public virtual CefBase {
  public:
    // Asks for a browser; returns at once. The window is created on TID_UI as given by
    // windowInfo, then OnAfterCreated follows and url is loaded. Asked for while the engine is
    // still starting, the browser is made once the engine has answered (and never, should it
    // not answer). False when no engine runs (nothing is created then).
    static bool CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client,
                              const CefString& url, const CefBrowserSettings& settings,
                              CefRefPtr<CefRequestContext> request_context);

    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
    // Any thread; carried out later on TID_UI: DoClose, then the window is destroyed and
    // OnBeforeClose follows. force_close skips the page's unload handlers.
    virtual void CloseBrowser(bool force_close) = 0;
    // Null once the window has been destroyed.
    virtual HWND GetWindowHandle() = 0;
    virtual HWND GetOpenerWindowHandle() = 0;
    virtual CefRefPtr<CefClient> GetClient() = 0;
    virtual void SetFocus(bool focus) = 0;
    // The window's size was changed; the page's viewport follows (also done on WM_SIZE).
    virtual void WasResized() = 0;
    virtual void WasHidden(bool hidden) = 0;
    // Any thread. Clears the engine's HTTP cache and the cached storage of the page's origin
    // (Cache Storage, service workers); cookies and the page's other storage stay. callback (may
    // be null) runs on TID_UI once done, also when a step failed or the browser has closed.
    virtual void ClearCache(CefRefPtr<CefCompletionCallback> callback) = 0;
    virtual void Invalidate() = 0;
};
