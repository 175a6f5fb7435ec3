// A navigation request as shown to the request handler.
#pragma once

#include "cef/cef_base.h"
#include "cef/cef_string.h"

class CefRequest : public virtual CefBase {
  public:
    virtual CefString GetURL() = 0;
    virtual CefString GetMethod() = 0;
    // True for the hop that follows a server redirect.
    virtual bool IsRedirect() = 0;
};
