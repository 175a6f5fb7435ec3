// A program that initialises the library in its own process and answers commands, one JSON
// object per line on standard input, with one JSON line each on standard output. Tests drive it
// to check start-up with various settings and the engine's lifetime.
//
// Arguments: --profile=<dir> --arg=<entry> --switch=<name> --switch-value=<name>=<value>
//            --ignore-certificate-errors --token=<text> (only marks the process)
//            --init-in-static (start the library during static initialisation)
//            --browser-at-start=<url> (ask for a browser right after CefInitialize)
// First line: {"initialized":bool,"state_at_return":..,"init_ms":..}
// Commands:  {"cmd":"info"}  {"cmd":"call","method":..,"params":..,"session":..} (waits for the
//            engine first)  {"cmd":"browser","url":..}  {"cmd":"browsers"}
//            {"cmd":"threads"}  {"cmd":"exit"}  {"cmd":"crash"}
#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <future>
#include <iostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/utf.h"
#include "cef/cef_app.h"
#include "cef/cef_browser.h"
#include "cef/cef_client.h"
#include "cef/cef_task.h"
#include "core/runtime_info.h"
#include "devtools/connection.h"
#include "cef/cef_closure_task.h"

namespace {

using Json = nlohmann::json;

struct Entry {
    enum Kind { kArgument, kSwitch, kSwitchWithValue } kind;
    std::string name, value;
};

class ProbeApp : public CefApp, public CefBrowserProcessHandler {
  public:
    explicit ProbeApp(std::vector<Entry> entries) : entries_(std::move(entries)) {}
    void OnBeforeCommandLineProcessing(const CefString&,
                                       CefRefPtr<CefCommandLine> command_line) override {
        on_main_thread = GetCurrentThreadId() == main_thread;
        for (const auto& e : entries_) {
            if (e.kind == Entry::kArgument) command_line->AppendArgument(e.name);
            if (e.kind == Entry::kSwitch) command_line->AppendSwitch(e.name);
            if (e.kind == Entry::kSwitchWithValue)
                command_line->AppendSwitchWithValue(e.name, e.value);
        }
    }
    CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override { return this; }
    void OnContextInitialized() override { context_on_ui = CefCurrentlyOn(TID_UI); }

    static inline DWORD main_thread = 0;
    static inline std::atomic<bool> on_main_thread{false};
    static inline std::atomic<bool> context_on_ui{false};

  private:
    std::vector<Entry> entries_;
    IMPLEMENT_REFCOUNTING(ProbeApp);
};

// Counts the browsers the library reports.
class CountingClient : public CefClient, public CefLifeSpanHandler {
  public:
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    void OnAfterCreated(CefRefPtr<CefBrowser>) override { ++created; }
    std::atomic<int> created{0};

  private:
    IMPLEMENT_REFCOUNTING(CountingClient);
};

CefRefPtr<CountingClient> g_client = new CountingClient;

bool RequestBrowser(const std::string& url) {
    CefWindowInfo info;
    info.style = WS_OVERLAPPEDWINDOW;
    info.width = 400;
    info.height = 300;
    return CefBrowserHost::CreateBrowser(info, g_client.get(), CefString(url), CefBrowserSettings(),
                                         nullptr);
}

std::string StateName(cef_detail::EngineState state) {
    switch (state) {
        case cef_detail::EngineState::kNone:
            return "none";
        case cef_detail::EngineState::kStarting:
            return "starting";
        case cef_detail::EngineState::kReady:
            return "ready";
        case cef_detail::EngineState::kFailed:
            return "failed";
    }
    return "?";
}

Json Threads() {
    Json out;
    out["main_on_ui"] = CefCurrentlyOn(TID_UI);
    out["main_on_io"] = CefCurrentlyOn(TID_IO);
    for (auto [name, id] : {std::pair{"ui", TID_UI}, std::pair{"io", TID_IO}}) {
        std::promise<Json> done;
        auto result = done.get_future();
        const bool posted = CefPostTask(id, new CefClosureTask([&done] {
                                            done.set_value(Json{{"on_ui", CefCurrentlyOn(TID_UI)},
                                                                {"on_io", CefCurrentlyOn(TID_IO)},
                                                                {"thread", GetCurrentThreadId()}});
                                        }));
        out[name] = posted ? result.get() : Json(nullptr);
    }
    out["main_thread"] = GetCurrentThreadId();
    return out;
}

struct StartUp {
    bool initialized = false;
    CefRefPtr<ProbeApp> app;
    std::string state_at_return;
    unsigned long long init_ms = 0;
    bool browser_requested = false;
};

StartUp Initialize(int argc, wchar_t** argv) {
    std::vector<Entry> entries;
    std::string browser_at_start;
    CefSettings settings;
    settings.no_sandbox = 1;
    settings.multi_threaded_message_loop = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string a = korvex::WideToUtf8(argv[i]);
        auto value = [&](const std::string& prefix) { return a.substr(prefix.size()); };
        if (a.starts_with("--profile=")) settings.cache_path = CefString(value("--profile="));
        if (a.starts_with("--arg=")) entries.push_back({Entry::kArgument, value("--arg="), {}});
        if (a.starts_with("--switch=")) entries.push_back({Entry::kSwitch, value("--switch="), {}});
        if (a.starts_with("--switch-value=")) {
            const std::string nv = value("--switch-value=");
            const auto eq = nv.find('=');
            entries.push_back({Entry::kSwitchWithValue, nv.substr(0, eq), nv.substr(eq + 1)});
        }
        if (a == "--ignore-certificate-errors") settings.ignore_certificate_errors = 1;
        if (a.starts_with("--browser-at-start=")) browser_at_start = value("--browser-at-start=");
    }
    ProbeApp::main_thread = GetCurrentThreadId();
    StartUp s;
    s.app = new ProbeApp(std::move(entries));
    const ULONGLONG start = GetTickCount64();
    s.initialized = CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, s.app, nullptr);
    s.init_ms = GetTickCount64() - start;
    s.state_at_return = StateName(cef_detail::CurrentEngineState());
    if (!browser_at_start.empty()) s.browser_requested = RequestBrowser(browser_at_start);
    return s;
}

bool InStaticInitialisation() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    bool found = false;
    for (int i = 1; i < argc; ++i) found = found || std::wstring(argv[i]) == L"--init-in-static";
    LocalFree(argv);
    return found;
}

// With --init-in-static the library starts during static initialisation, before the entry point,
// as the launcher does.
StartUp g_static_start = [] {
    if (!InStaticInitialisation()) return StartUp{};
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    StartUp s = Initialize(argc, argv);
    LocalFree(argv);
    return s;
}();

}  // namespace

int wmain(int argc, wchar_t** argv) {
    StartUp start = InStaticInitialisation() ? std::move(g_static_start) : Initialize(argc, argv);
    CefRefPtr<ProbeApp> app = start.app;
    start.app = nullptr;
    std::cout << Json{{"initialized", start.initialized},
                      {"state_at_return", start.state_at_return},
                      {"init_ms", start.init_ms},
                      {"browser_requested", start.browser_requested}}
                     .dump()
              << std::endl;

    std::string line;
    while (std::getline(std::cin, line)) {
        const Json cmd = Json::parse(line, nullptr, false);
        const std::string name = cmd.is_object() ? cmd.value("cmd", "") : "";
        Json out;
        if (name == "info") {
            out = {{"connection", cef_detail::GetConnection() != nullptr},
                   {"command_line_on_main", ProbeApp::on_main_thread.load()},
                   {"context_on_ui", ProbeApp::context_on_ui.load()},
                   {"app_refs_one", app->HasOneRef()},
                   {"engine_pid", cef_detail::EnginePid()},
                   {"engine_state", StateName(cef_detail::CurrentEngineState())},
                   {"private_dir", korvex::WideToUtf8(cef_detail::EnginePrivateDir())}};
        } else if (name == "call") {
            cef_detail::WaitForEngine(std::chrono::seconds(90));
            auto* c = cef_detail::GetConnection();
            if (!c) {
                out = {{"error", "no connection"}};
            } else {
                try {
                    out = {{"result",
                            c->Call(cmd.value("method", ""), cmd.value("params", Json::object()),
                                    cmd.value("session", ""))}};
                } catch (const cef_detail::ProtocolError& e) {
                    out = {{"error", e.message}, {"code", e.code}};
                }
            }
        } else if (name == "browser") {
            out = {{"requested", RequestBrowser(cmd.value("url", ""))}};
        } else if (name == "browsers") {
            out = {{"created", g_client->created.load()}};
        } else if (name == "threads") {
            out = Threads();
        } else if (name == "exit") {
            std::cout << Json{{"exiting", true}}.dump() << std::endl;
            return 0;  // No shutdown call: the engine must go by itself.
        } else if (name == "crash") {
            std::cout << Json{{"crashing", true}}.dump() << std::endl;
            *static_cast<volatile int*>(nullptr) = 1;
        } else {
            out = {{"error", "unknown command"}};
        }
        std::cout << out.dump() << std::endl;
    }
    return 0;
}
