// Notifications about what a page shows (title, address, status); all default to nothing.
#pragma once

#include <vector>

#include "cef/cef_base.h"
#include "cef/cef_frame.h"
#include "cef/cef_string.h"

class CefBrowser;

// Every operation runs on TID_UI.
class CefDisplayHandler : public virtual CefBase {
  public:
    virtual void OnAddressChange(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                 const CefString& url) {
        (void)browser, (void)frame, (void)url;
    }
    virtual void OnTitleChange(CefRefPtr<CefBrowser> browser, const CefString& title) {
        (void)browser, (void)title;
    }
    virtual void OnFaviconURLChange(CefRefPtr<CefBrowser> browser,
                                    const std::vector<CefString>& icon_urls) {
        (void)browser, (void)icon_urls;
    }
    virtual void OnFullscreenModeChange(CefRefPtr<CefBrowser> browser, bool fullscreen) {
        (void)browser, (void)fullscreen;
    }
    // True when the handler showed the tooltip itself.
    virtual bool OnTooltip(CefRefPtr<CefBrowser> browser, CefString& text) {
        (void)browser, (void)text;
        return false;
    }
    virtual void OnStatusMessage(CefRefPtr<CefBrowser> browser, const CefString& value) {
        (void)browser, (void)value;
    }
    // True suppresses the message's default output.
    virtual bool OnConsoleMessage(CefRefPtr<CefBrowser> browser, const CefString& message,
                                  const CefString& source, int line) {
        (void)browser, (void)message, (void)source, (void)line;
        return false;
    }
};
