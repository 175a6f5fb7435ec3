// CefInitialize: the application's command line, the engine, the threads and the connection.
#include <atomic>
#include <mutex>

#include "cef/cef_app.h"
#include "core/library_log.h"
#include "core/library_threads.h"
#include "core/runtime_info.h"
#include "devtools/pipe_connection.h"
#include "engine/engine_locator.h"
#include "engine/engine_process.h"

namespace cef_detail {
namespace {

constexpr auto kFirstAnswerLimit = std::chrono::seconds(60);

// Flags for an engine that only this process drives: headless, no first-run or background
// traffic, the DevTools pipe as its only channel.
const char* const kEngineFlags[] = {
    "--headless=new",
    "--remote-debugging-pipe",
    "--disable-gpu",
    "--no-first-run",
    "--no-default-browser-check",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--disable-quic",
};

// Kept for the life of the process: the library has no shutdown.
struct Runtime {
    CefRefPtr<CefApp> app;
    std::unique_ptr<EngineProcess> engine;
    std::unique_ptr<PipeConnection> connection;
};

std::mutex g_init_mutex;
bool g_init_called = false;
std::atomic<Runtime*> g_runtime{nullptr};

void Log(const std::string& text) { LibraryLog().Write(text); }

}  // namespace

unsigned long EnginePid() {
    Runtime* r = g_runtime.load();
    return r ? r->engine->Pid() : 0;
}

std::wstring EnginePrivateDir() {
    Runtime* r = g_runtime.load();
    return r ? r->engine->PrivateDir() : std::wstring();
}

}  // namespace cef_detail

bool CefInitialize(const CefMainArgs& args, const CefSettings& settings,
                   CefRefPtr<CefApp> application, void* windows_sandbox_info) {
    using namespace cef_detail;
    (void)args;
    (void)windows_sandbox_info;
    std::lock_guard lock(g_init_mutex);
    if (g_init_called) return false;  // Once per process.
    g_init_called = true;

    CefRefPtr<CefCommandLine> command_line = CefCommandLine::CreateCommandLine();
    if (application) application->OnBeforeCommandLineProcessing(CefString(), command_line);

    auto engine = FindEngine();
    if (!engine) {
        Log("no browser engine found");
        return false;
    }
    EngineProcess::Options options;
    options.engine = *engine;
    options.args.assign(std::begin(kEngineFlags), std::end(kEngineFlags));
    if (settings.no_sandbox) options.args.push_back("--no-sandbox");
    if (settings.ignore_certificate_errors) options.args.push_back("--ignore-certificate-errors");
    std::vector<std::string> argv;
    command_line->GetArgv(argv);
    options.args.insert(options.args.end(), argv.begin() + 1, argv.end());
    options.args.push_back("about:blank");
    options.profile_dir = settings.cache_path.ToWString();

    StartLibraryThreads();
    std::string error;
    auto runtime = new Runtime;  // Never deleted.
    runtime->engine = EngineProcess::Start(options, error);
    if (!runtime->engine) {
        Log("the engine did not start: " + error);
        return false;
    }
    runtime->connection =
        OpenPipeConnection(runtime->engine->ReadHandle(), runtime->engine->WriteHandle());
    try {
        runtime->connection->CallWithTimeout("Browser.getVersion", Json::object(),
                                             kFirstAnswerLimit);
    } catch (const ProtocolError& e) {
        Log("the engine does not answer: " + e.message);
        return false;
    }
    SetConnection(runtime->connection.get());
    g_runtime.store(runtime);
    runtime->app = application;
    if (application) {
        PostToThread(TID_UI, [application] {
            if (auto handler = application->GetBrowserProcessHandler())
                handler->OnContextInitialized();
        });
    }
    return true;
}

void CefQuitMessageLoop() {}
