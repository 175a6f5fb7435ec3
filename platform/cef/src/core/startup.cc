// CefInitialize: the application's command line, the engine, the threads and the connection.
//
// CefInitialize returns as soon as the engine process runs; the first exchange with it (the
// handshake) happens on TID_IO. Work that needs the engine (browser creation) waits in a queue
// until the handshake has succeeded and then runs on TID_UI in the order it was asked for; when
// the handshake fails it is dropped. The main thread never waits for the engine.
//
// An engine whose process dies later is started again on TID_IO with the same options, within
// the RestartBudget; the connection carries on over the new pipe and the restart handler (the
// browsers) learns of it on TID_UI once the new engine has answered.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

#include "base/process_clock.h"
#include "base/wine.h"
#include "cef/cef_app.h"
#include "core/engine_startup.h"
#include "core/engine_switches.h"
#include "core/library_log.h"
#include "core/library_threads.h"
#include "core/restart_budget.h"
#include "core/runtime_info.h"
#include "devtools/commands.h"
#include "devtools/pipe_connection.h"
#include "engine/engine_locator.h"
#include "engine/engine_process.h"

namespace cef_detail {
namespace {

constexpr auto kFirstAnswerLimit = std::chrono::seconds(60);

// The text of the error page browsers show when the engine died too often to get their pages
// back.
constexpr char kEngineEndedText[] = "BROWSER_ENGINE_ENDED";

// Kept for the life of the process: the library has no shutdown.
struct Runtime {
    CefRefPtr<CefApp> app;
    EngineProcess::Options options;  // every engine of the process starts with these
    std::mutex engine_mutex;         // engine is replaced on TID_IO and read by any thread
    std::unique_ptr<EngineProcess> engine;
    std::unique_ptr<PipeConnection> connection;  // TID_IO (made there, then kept)
    RestartBudget budget;                        // TID_IO
    bool answered = false;                       // TID_IO: an engine of the process has answered
};

void ReplaceEngine(Runtime* runtime, std::unique_ptr<EngineProcess> engine) {
    std::unique_ptr<EngineProcess> old;
    {
        std::lock_guard lock(runtime->engine_mutex);
        old = std::exchange(runtime->engine, std::move(engine));
    }
    old.reset();  // ends whatever is left of the old one, outside the lock
}

std::mutex g_init_mutex;
bool g_init_called = false;
std::atomic<Runtime*> g_runtime{nullptr};

// The engine's state and the work waiting for it. kNone until CefInitialize has started an
// engine; kStarting until the handshake ends; then kReady or kFailed for good.
std::mutex g_state_mutex;
std::condition_variable g_state_changed;
EngineState g_state = EngineState::kNone;
std::vector<std::function<void()>> g_waiting;               // only while kStarting
std::function<void(const std::string&)> g_restart_handler;  // under g_state_mutex

void Log(const std::string& text) { LibraryLog().Write(text); }

void SetState(EngineState state) {
    std::vector<std::function<void()>> dropped;
    {
        std::lock_guard lock(g_state_mutex);
        g_state = state;
        if (state == EngineState::kFailed) dropped.swap(g_waiting);
    }
    g_state_changed.notify_all();
}

// TID_IO: the first exchange with an engine, then the waiting work is released or dropped.
// The first engine that answers initialises the context; after that, an engine that answers
// has replaced one that died, and the browsers come back in it on their pages (restart_error
// empty) or on their error page with that text.
void Handshake(Runtime* runtime, std::optional<std::string> restart_error = std::nullopt) {
    EngineState outcome = EngineState::kReady;
    try {
        Command version = commands::GetVersion();
        runtime->connection->CallWithTimeout(std::move(version.method), std::move(version.params),
                                             kFirstAnswerLimit);
    } catch (const ProtocolError& e) {
        Log("the engine does not answer: " + e.message);
        // Closed: the engine died at once; what becomes of it is decided when the end of its
        // pipe is handled (next on TID_IO).
        if (e.code == kConnectionClosedCode) return;
        outcome = EngineState::kFailed;
    }
    std::vector<std::function<void()>> waiting;
    if (outcome == EngineState::kReady) {
        Log("the engine answered " + std::to_string(korvex::MsSinceProcessStart()) +
            " ms after the process started");
        SetConnection(runtime->connection.get());
        if (std::exchange(runtime->answered, true)) {
            std::lock_guard lock(g_state_mutex);
            if (g_restart_handler) {
                PostToThread(TID_UI,
                             [handler = g_restart_handler,
                              text = restart_error.value_or(std::string())] { handler(text); });
            }
        } else if (CefRefPtr<CefApp> app = runtime->app) {
            PostToThread(TID_UI, [app] {
                if (auto handler = app->GetBrowserProcessHandler()) handler->OnContextInitialized();
            });
        }
    }
    {
        std::lock_guard lock(g_state_mutex);
        g_state = outcome;
        waiting.swap(g_waiting);
        // Posted under the lock, so work asked for at this moment cannot overtake it.
        if (outcome == EngineState::kReady)
            for (auto& work : waiting) PostToThread(TID_UI, std::move(work));
    }
    g_state_changed.notify_all();
    // Dropped work (and what it holds) is released here, on TID_IO, outside the lock.
}

// TID_IO: the engine closed its pipe (its process died). Started again, or not, as the budget
// says; the old engine's process group and private folder go first.
void OnEngineGone(Runtime* runtime) {
    if (CurrentEngineState() == EngineState::kFailed) return;
    const RestartBudget::Decision decision =
        runtime->budget.OnEngineGone(RestartBudget::Clock::now());
    Log("the engine's process ended");
    runtime->connection->Detach();
    ReplaceEngine(runtime, nullptr);
    if (decision == RestartBudget::Decision::kGiveUp) {
        Log("the engine ended too often: not started again");
        SetState(EngineState::kFailed);
        return;
    }
    {
        std::lock_guard lock(g_state_mutex);
        g_state = EngineState::kStarting;  // browsers asked for meanwhile wait for the new one
    }
    std::string error;
    std::unique_ptr<EngineProcess> engine = EngineProcess::Start(runtime->options, error);
    if (!engine) {
        Log("the engine did not start again: " + error);
        SetState(EngineState::kFailed);
        return;
    }
    const HANDLE read = engine->ReadHandle(), write = engine->WriteHandle();
    ReplaceEngine(runtime, std::move(engine));
    runtime->connection->Reopen(read, write);
    Log("the engine was started again");
    std::optional<std::string> restart_error;
    if (decision == RestartBudget::Decision::kShowError) restart_error = kEngineEndedText;
    Handshake(runtime, restart_error);
}

}  // namespace

void SetEngineRestartHandler(std::function<void(const std::string& error_text)> handler) {
    std::lock_guard lock(g_state_mutex);
    g_restart_handler = std::move(handler);
}

unsigned long EnginePid() {
    Runtime* r = g_runtime.load();
    if (!r) return 0;
    std::lock_guard lock(r->engine_mutex);
    return r->engine ? r->engine->Pid() : 0;
}

std::wstring EnginePrivateDir() {
    Runtime* r = g_runtime.load();
    if (!r) return {};
    std::lock_guard lock(r->engine_mutex);
    return r->engine ? r->engine->PrivateDir() : std::wstring();
}

EngineState CurrentEngineState() {
    std::lock_guard lock(g_state_mutex);
    return g_state;
}

bool WaitForEngine(std::chrono::milliseconds limit) {
    std::unique_lock lock(g_state_mutex);
    g_state_changed.wait_for(lock, limit, [] { return g_state != EngineState::kStarting; });
    return g_state == EngineState::kReady;
}

bool WhenEngineReady(std::function<void()> work) {
    std::lock_guard lock(g_state_mutex);
    switch (g_state) {
        case EngineState::kStarting:
            g_waiting.push_back(std::move(work));
            return true;
        case EngineState::kReady:
            return PostToThread(TID_UI, std::move(work));
        case EngineState::kNone:
        case EngineState::kFailed:
            break;
    }
    return false;
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
    auto runtime = new Runtime;  // Never deleted.
    EngineProcess::Options& options = runtime->options;
    options.engine = *engine;
    EngineHost host;
    host.linux_engine = engine->unix_program;
    // Unknown counts as root: an engine that refuses to start is worse than one unsandboxed.
    host.unix_root = host.linux_engine && korvex::wine::UnixUserIsRoot().value_or(true);
    EngineRequests requests;
    requests.ignore_certificate_errors = settings.ignore_certificate_errors != 0;
    options.args = EngineSwitches(host, requests);
    std::vector<std::string> argv;
    command_line->GetArgv(argv);
    options.args.insert(options.args.end(), argv.begin() + 1, argv.end());
    options.args.push_back("about:blank");
    options.profile_dir = settings.cache_path.ToWString();

    StartLibraryThreads();
    std::string error;
    runtime->engine = EngineProcess::Start(options, error);
    if (!runtime->engine) {
        Log("the engine did not start: " + error);
        return false;
    }
    runtime->app = application;
    g_runtime.store(runtime);
    {
        std::lock_guard state_lock(g_state_mutex);
        g_state = EngineState::kStarting;
    }
    // The connection is made on TID_IO, where the end of its pipe is handled (OnEngineGone):
    // an engine that ends at once is then handled only once the connection is in place.
    PostToThread(TID_IO, [runtime] {
        runtime->connection = OpenPipeConnection(
            runtime->engine->ReadHandle(), runtime->engine->WriteHandle(),
            [runtime] { PostToThread(TID_IO, [runtime] { OnEngineGone(runtime); }); });
        Handshake(runtime);
    });
    Log("the engine runs " + std::to_string(korvex::MsSinceProcessStart()) +
        " ms after the process started");
    return true;
}

void CefQuitMessageLoop() {}
