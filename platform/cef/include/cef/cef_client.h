// The client of a browser: hands out the handlers the browser reports to.
#pragma once

#include "cef/cef_base.h"
#include "cef/cef_context_menu_handler.h"
#include "cef/cef_display_handler.h"
#include "cef/cef_life_span_handler.h"
#include "cef/cef_load_handler.h"
#include "cef/cef_request_handler.h"

class CefBrowser;

// Handlers this library never asks for; a client may still name them.
class CefDialogHandler : public virtual CefBase {};
class CefDownloadHandler : public virtual CefBase {};
class CefDragHandler : public virtual CefBase {};
class CefFindHandler : public virtual CefBase {};
class CefFocusHandler : public virtual CefBase {};
class CefGeolocationHandler : public virtual CefBase {};
class CefJSDialogHandler : public virtual CefBase {};
class CefKeyboardHandler : public virtual CefBase {};
class CefRenderHandler : public virtual CefBase {};
class CefProcessMessage : public virtual CefBase {};

enum cef_process_id_t { PID_BROWSER, PID_RENDERER };
using CefProcessId = cef_process_id_t;

class CefClient : public virtual CefBase {
  public:
    virtual CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() { return nullptr; }
    virtual CefRefPtr<CefDialogHandler> GetDialogHandler() { return nullptr; }
    virtual CefRefPtr<CefDisplayHandler> GetDisplayHandler() { return nullptr; }
    virtual CefRefPtr<CefDownloadHandler> GetDownloadHandler() { return nullptr; }
    virtual CefRefPtr<CefDragHandler> GetDragHandler() { return nullptr; }
    virtual CefRefPtr<CefFindHandler> GetFindHandler() { return nullptr; }
    virtual CefRefPtr<CefFocusHandler> GetFocusHandler() { return nullptr; }
    virtual CefRefPtr<CefGeolocationHandler> GetGeolocationHandler() { return nullptr; }
    virtual CefRefPtr<CefJSDialogHandler> GetJSDialogHandler() { return nullptr; }
    virtual CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() { return nullptr; }
    virtual CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() { return nullptr; }
    virtual CefRefPtr<CefLoadHandler> GetLoadHandler() { return nullptr; }
    virtual CefRefPtr<CefRenderHandler> GetRenderHandler() { return nullptr; }
    virtual CefRefPtr<CefRequestHandler> GetRequestHandler() { return nullptr; }
    virtual bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser,
                                          CefProcessId source_process,
                                          CefRefPtr<CefProcessMessage> message) {
        (void)browser, (void)source_process, (void)message;
        return false;
    }
};
