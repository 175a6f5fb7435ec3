// Requests of a browser: navigations, resources, certificates and credentials.
#pragma once

#include <cstdint>

#include "cef/cef_base.h"
#include "cef/cef_frame.h"
#include "cef/cef_load_handler.h"
#include "cef/cef_request.h"
#include "cef/cef_string.h"
#include "cef/cef_termination_status.h"

class CefBrowser;

// Interfaces a handler may be given or may return; this library asks nothing more of them.
class CefResponse : public virtual CefBase {};
class CefResourceHandler : public virtual CefBase {};
class CefResponseFilter : public virtual CefBase {};
class CefSSLInfo : public virtual CefBase {};
class CefAuthCallback : public virtual CefBase {
  public:
    virtual void Continue(const CefString& username, const CefString& password) = 0;
    virtual void Cancel() = 0;
};
class CefRequestCallback : public virtual CefBase {
  public:
    virtual void Continue(bool allow) = 0;
    virtual void Cancel() = 0;
};

enum cef_return_value_t { RV_CANCEL = 0, RV_CONTINUE, RV_CONTINUE_ASYNC };

enum cef_window_open_disposition_t {
    WOD_UNKNOWN,
    WOD_CURRENT_TAB,
    WOD_SINGLETON_TAB,
    WOD_NEW_FOREGROUND_TAB,
    WOD_NEW_BACKGROUND_TAB,
    WOD_NEW_POPUP,
    WOD_NEW_WINDOW,
    WOD_SAVE_TO_DISK,
    WOD_OFF_THE_RECORD,
    WOD_IGNORE_ACTION,
};
using WindowOpenDisposition = cef_window_open_disposition_t;

enum cef_urlrequest_status_t { UR_UNKNOWN = 0, UR_SUCCESS, UR_IO_PENDING, UR_CANCELED, UR_FAILED };

// Every operation runs on TID_UI.
class CefRequestHandler : public virtual CefBase {
  public:
    // Before every navigation of every frame, redirect hops included. True cancels it: the
    // frame keeps its document and OnLoadError reports ERR_ABORTED.
    virtual bool OnBeforeBrowse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                CefRefPtr<CefRequest> request, bool is_redirect) {
        (void)browser, (void)frame, (void)request, (void)is_redirect;
        return false;
    }
    virtual bool OnOpenURLFromTab(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                  const CefString& target_url,
                                  WindowOpenDisposition target_disposition, bool user_gesture) {
        (void)browser, (void)frame, (void)target_url, (void)target_disposition, (void)user_gesture;
        return false;
    }
    virtual cef_return_value_t OnBeforeResourceLoad(CefRefPtr<CefBrowser> browser,
                                                    CefRefPtr<CefFrame> frame,
                                                    CefRefPtr<CefRequest> request,
                                                    CefRefPtr<CefRequestCallback> callback) {
        (void)browser, (void)frame, (void)request, (void)callback;
        return RV_CONTINUE;
    }
    virtual CefRefPtr<CefResourceHandler> GetResourceHandler(CefRefPtr<CefBrowser> browser,
                                                             CefRefPtr<CefFrame> frame,
                                                             CefRefPtr<CefRequest> request) {
        (void)browser, (void)frame, (void)request;
        return nullptr;
    }
    virtual void OnResourceRedirect(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                    CefRefPtr<CefRequest> request, CefString& new_url) {
        (void)browser, (void)frame, (void)request, (void)new_url;
    }
    virtual bool OnResourceResponse(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                    CefRefPtr<CefRequest> request,
                                    CefRefPtr<CefResponse> response) {
        (void)browser, (void)frame, (void)request, (void)response;
        return false;
    }
    virtual CefRefPtr<CefResponseFilter> GetResourceResponseFilter(
        CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, CefRefPtr<CefRequest> request,
        CefRefPtr<CefResponse> response) {
        (void)browser, (void)frame, (void)request, (void)response;
        return nullptr;
    }
    virtual void OnResourceLoadComplete(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                        CefRefPtr<CefRequest> request,
                                        CefRefPtr<CefResponse> response,
                                        cef_urlrequest_status_t status,
                                        std::int64_t received_content_length) {
        (void)browser, (void)frame, (void)request, (void)response, (void)status,
            (void)received_content_length;
    }
    virtual bool GetAuthCredentials(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                    bool isProxy, const CefString& host, int port,
                                    const CefString& realm, const CefString& scheme,
                                    CefRefPtr<CefAuthCallback> callback) {
        (void)browser, (void)frame, (void)isProxy, (void)host, (void)port, (void)realm,
            (void)scheme, (void)callback;
        return false;
    }
    virtual bool OnQuotaRequest(CefRefPtr<CefBrowser> browser, const CefString& origin_url,
                                std::int64_t new_size, CefRefPtr<CefRequestCallback> callback) {
        (void)browser, (void)origin_url, (void)new_size, (void)callback;
        return false;
    }
    virtual void OnProtocolExecution(CefRefPtr<CefBrowser> browser, const CefString& url,
                                     bool& allow_os_execution) {
        (void)browser, (void)url, (void)allow_os_execution;
    }
    // False: the request is cancelled.
    virtual bool OnCertificateError(CefRefPtr<CefBrowser> browser, ErrorCode cert_error,
                                    const CefString& request_url, CefRefPtr<CefSSLInfo> ssl_info,
                                    CefRefPtr<CefRequestCallback> callback) {
        (void)browser, (void)cert_error, (void)request_url, (void)ssl_info, (void)callback;
        return false;
    }
    virtual void OnPluginCrashed(CefRefPtr<CefBrowser> browser, const CefString& plugin_path) {
        (void)browser, (void)plugin_path;
    }
    virtual void OnRenderViewReady(CefRefPtr<CefBrowser> browser) { (void)browser; }
    // The renderer process of the browser's page ended. The library then reloads the page on its
    // current address; when it ends again within a minute, the page is not reloaded and the
    // load handler's OnLoadError reports the end (ERR_FAILED, the reason as its text) instead.
    virtual void OnRenderProcessTerminated(CefRefPtr<CefBrowser> browser,
                                           TerminationStatus status) {
        (void)browser, (void)status;
    }
};
