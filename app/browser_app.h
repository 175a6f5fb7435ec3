// The application object handed to the browser library: the command-line entries every engine
// process gets, and its own (empty) browser-process handler.
#pragma once

#include "cef/cef_app.h"

class CBrowserApp : public CefApp, public CefBrowserProcessHandler {
  public:
    // Appends, in this order: "--ignore-certificate-errors" and "--ignore-ssl-errors" as plain
    // arguments, then the flash plug-in's path and version as switches with values. The process
    // type is not looked at.
    void OnBeforeCommandLineProcessing(const CefString& process_type,
                                       CefRefPtr<CefCommandLine> command_line) override;
    CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override { return this; }

    void OnContextInitialized() override {}

    IMPLEMENT_REFCOUNTING(CBrowserApp);
};
