// A navigation request shown to OnBeforeBrowse.
#pragma once

#include "cef/cef_request.h"

namespace cef_detail {

class RequestImpl : public CefRequest {
  public:
    RequestImpl(CefString url, CefString method, bool redirect)
        : url_(std::move(url)), method_(std::move(method)), redirect_(redirect) {}
    CefString GetURL() override { return url_; }
    CefString GetMethod() override { return method_; }
    bool IsRedirect() override { return redirect_; }

  private:
    CefString url_;
    CefString method_;
    bool redirect_;
    IMPLEMENT_REFCOUNTING(RequestImpl);
};

}  // namespace cef_detail
