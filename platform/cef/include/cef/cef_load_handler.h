// Load progress and failures of a browser's frames.
#pragma once

#include "cef/cef_base.h"
#include "cef/cef_frame.h"
#include "cef/cef_string.h"

class CefBrowser;

// The engine's numeric network error codes (negative; 0 = none). The common ones:
enum cef_errorcode_t {
    ERR_NONE = 0,
    ERR_FAILED = -2,
    ERR_ABORTED = -3,
    ERR_INVALID_ARGUMENT = -4,
    ERR_INVALID_HANDLE = -5,
    ERR_FILE_NOT_FOUND = -6,
    ERR_TIMED_OUT = -7,
    ERR_FILE_TOO_BIG = -8,
    ERR_UNEXPECTED = -9,
    ERR_ACCESS_DENIED = -10,
    ERR_NOT_IMPLEMENTED = -11,
    ERR_BLOCKED_BY_CLIENT = -20,
    ERR_BLOCKED_BY_RESPONSE = -27,
    ERR_CONNECTION_CLOSED = -100,
    ERR_CONNECTION_RESET = -101,
    ERR_CONNECTION_REFUSED = -102,
    ERR_CONNECTION_ABORTED = -103,
    ERR_CONNECTION_FAILED = -104,
    ERR_NAME_NOT_RESOLVED = -105,
    ERR_INTERNET_DISCONNECTED = -106,
    ERR_SSL_PROTOCOL_ERROR = -107,
    ERR_ADDRESS_INVALID = -108,
    ERR_ADDRESS_UNREACHABLE = -109,
    ERR_CONNECTION_TIMED_OUT = -118,
    ERR_NAME_RESOLUTION_FAILED = -137,
    ERR_CERT_COMMON_NAME_INVALID = -200,
    ERR_CERT_DATE_INVALID = -201,
    ERR_CERT_AUTHORITY_INVALID = -202,
    ERR_INVALID_URL = -300,
    ERR_DISALLOWED_URL_SCHEME = -301,
    ERR_UNKNOWN_URL_SCHEME = -302,
    ERR_TOO_MANY_REDIRECTS = -310,
    ERR_UNSAFE_REDIRECT = -311,
    ERR_UNSAFE_PORT = -312,
    ERR_INVALID_RESPONSE = -320,
    ERR_EMPTY_RESPONSE = -324,
    ERR_RESPONSE_HEADERS_TOO_BIG = -325,
    ERR_CACHE_MISS = -400,
    ERR_INSECURE_RESPONSE = -501,
};
using ErrorCode = cef_errorcode_t;

// Every operation runs on TID_UI.
class CefLoadHandler : public virtual CefBase {
  public:
    virtual void OnLoadingStateChange(CefRefPtr<CefBrowser> browser, bool isLoading, bool canGoBack,
                                      bool canGoForward) {
        (void)browser, (void)isLoading, (void)canGoBack, (void)canGoForward;
    }
    virtual void OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) {
        (void)browser, (void)frame;
    }
    virtual void OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                           int httpStatusCode) {
        (void)browser, (void)frame, (void)httpStatusCode;
    }
    // A navigation of frame failed or was cancelled (ERR_ABORTED). errorText is the engine's
    // name of the error, e.g. "ERR_NAME_NOT_RESOLVED".
    virtual void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                             ErrorCode errorCode, const CefString& errorText,
                             const CefString& failedUrl) {
        (void)browser, (void)frame, (void)errorCode, (void)errorText, (void)failedUrl;
    }
};
