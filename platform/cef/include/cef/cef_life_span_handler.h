// Creation, pop-ups and closing of browsers.
#pragma once

#include "cef/cef_base.h"
#include "cef/cef_frame.h"
#include "cef/cef_request_handler.h"
#include "cef/cef_string.h"
#include "cef/cef_window_info.h"

class CefBrowser;
class CefClient;

class CefLifeSpanHandler : public virtual CefBase {
  public:
    // A page opens a pop-up (window.open, target=_blank). Runs on TID_IO, not on TID_UI.
    // True suppresses the pop-up; otherwise it opens in a window made from windowInfo with
    // client (both may be changed here).
    virtual bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                               const CefString& target_url, const CefString& target_frame_name,
                               WindowOpenDisposition target_disposition, bool user_gesture,
                               const CefPopupFeatures& popupFeatures, CefWindowInfo& windowInfo,
                               CefRefPtr<CefClient>& client, CefBrowserSettings& settings,
                               bool* no_javascript_access) {
        (void)browser, (void)frame, (void)target_url, (void)target_frame_name,
            (void)target_disposition, (void)user_gesture, (void)popupFeatures, (void)windowInfo,
            (void)client, (void)settings, (void)no_javascript_access;
        return false;
    }
    // The browser's window and page exist. TID_UI.
    virtual void OnAfterCreated(CefRefPtr<CefBrowser> browser) { (void)browser; }
    // A close was asked for. False: the library destroys the browser window. TID_UI.
    virtual bool DoClose(CefRefPtr<CefBrowser> browser) {
        (void)browser;
        return false;
    }
    // Last notice before the browser goes; its window is already destroyed. TID_UI.
    virtual void OnBeforeClose(CefRefPtr<CefBrowser> browser) { (void)browser; }
};
