// Start-up of the library: settings, the application object and CefInitialize.
#pragma once

#include <windows.h>

#include <cstddef>

#include "cef/cef_base.h"
#include "cef/cef_command_line.h"
#include "cef/cef_string.h"

// Interfaces the application may return from its getters; this library asks nothing of them.
class CefSchemeRegistrar : public virtual CefBase {};
class CefResourceBundleHandler : public virtual CefBase {};
class CefRenderProcessHandler : public virtual CefBase {};
class CefPrintHandler : public virtual CefBase {};
class CefListValue : public virtual CefBase {};

class CefMainArgs {
  public:
    CefMainArgs() = default;
    explicit CefMainArgs(HINSTANCE instance) : instance(instance) {}
    HINSTANCE instance = nullptr;
};

// Every field not set keeps its default: zero or empty.
struct CefSettings {
    std::size_t size = sizeof(CefSettings);
    // Kept for the application's sake and read by nothing: the engine is a browser of its own
    // that brings its own sandbox, which stays on wherever it can run (docs/engine.md).
    int no_sandbox = 0;
    int multi_threaded_message_loop = 0;
    int single_process = 0;
    int windowless_rendering_enabled = 0;
    int ignore_certificate_errors = 0;
    CefString browser_subprocess_path;
    // The engine's profile directory; empty = a fresh temporary one.
    CefString cache_path;
};

class CefBrowserProcessHandler : public virtual CefBase {
  public:
    // On TID_UI once the engine answers.
    virtual void OnContextInitialized() {}
    virtual void OnBeforeChildProcessLaunch(CefRefPtr<CefCommandLine> command_line) {
        (void)command_line;
    }
    virtual void OnRenderProcessThreadCreated(CefRefPtr<CefListValue> extra_info) {
        (void)extra_info;
    }
    virtual CefRefPtr<CefPrintHandler> GetPrintHandler() { return nullptr; }
};

class CefApp : public virtual CefBase {
  public:
    // On the thread calling CefInitialize, before the engine starts. process_type is empty
    // (the engine runs as one process tree of its own). Entries appended here go onto the
    // engine's command line in order.
    virtual void OnBeforeCommandLineProcessing(const CefString& process_type,
                                               CefRefPtr<CefCommandLine> command_line) {
        (void)process_type;
        (void)command_line;
    }
    virtual void OnRegisterCustomSchemes(CefRefPtr<CefSchemeRegistrar> registrar) {
        (void)registrar;
    }
    virtual CefRefPtr<CefResourceBundleHandler> GetResourceBundleHandler() { return nullptr; }
    virtual CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() { return nullptr; }
    virtual CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() { return nullptr; }
};

// Finds and starts the engine and the library's threads, and returns once the engine process
// runs: it does not wait for the engine's first answer (that, and OnContextInitialized, follow
// on the library's threads). False when no engine could be started (nothing else happens then:
// browsers are simply not created). Once per process; later calls return false. application is
// kept for the life of the process.
bool CefInitialize(const CefMainArgs& args, const CefSettings& settings,
                   CefRefPtr<CefApp> application, void* windows_sandbox_info);

// The application never runs a library message loop: nothing to quit; harmless to call.
void CefQuitMessageLoop();
