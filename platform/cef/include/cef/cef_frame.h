// One frame (main frame or sub-frame) of a browser's page.
#pragma once

#include <windows.h>

#include <cstdint>

#include "cef/cef_base.h"
#include "cef/cef_string.h"

// windows.h maps LoadString to LoadStringW; the frame operation keeps its own name.
#ifdef LoadString
#undef LoadString
#endif

class CefBrowser;

class CefFrame : public virtual CefBase {
  public:
    // Replaces exactly this frame's document with string_val. The frame keeps its address;
    // url names the document for the caller's purposes only.
    virtual void LoadString(const CefString& string_val, const CefString& url) = 0;
    virtual void LoadURL(const CefString& url) = 0;
    // Runs script in this frame, without a result.
    virtual void ExecuteJavaScript(const CefString& code, const CefString& script_url,
                                   int start_line) = 0;
    virtual CefString GetURL() = 0;
    virtual CefString GetName() = 0;
    virtual std::int64_t GetIdentifier() = 0;
    virtual bool IsMain() = 0;
    // False once the frame has left its page.
    virtual bool IsValid() = 0;
    virtual CefRefPtr<CefFrame> GetParent() = 0;
    virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
};
