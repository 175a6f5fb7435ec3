// A program that initialises the library in its own process and answers commands, one JSON
// object per line on standard input, with one JSON line each on standard output. Tests drive it
// to check start-up with various settings and the engine's lifetime.
//
// Arguments: --profile=<dir> --arg=<entry> --switch=<name> --switch-value=<name>=<value>
//            --ignore-certificate-errors --token=<text> (only marks the process)
//            --init-in-static (start the library during static initialisation)
// Commands:  {"cmd":"info"}  {"cmd":"call","method":..,"params":..,"session":..}
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
#include "cef/cef_task.h"
#include "core/runtime_info.h"
#include "devtools/connection.h"
#include "function_task.h"

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

Json Threads() {
    Json out;
    out["main_on_ui"] = CefCurrentlyOn(TID_UI);
    out["main_on_io"] = CefCurrentlyOn(TID_IO);
    for (auto [name, id] : {std::pair{"ui", TID_UI}, std::pair{"io", TID_IO}}) {
        std::promise<Json> done;
        auto result = done.get_future();
        const bool posted = CefPostTask(id, new FunctionTask([&done] {
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
};

StartUp Initialize(int argc, wchar_t** argv) {
    std::vector<Entry> entries;
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
    }
    ProbeApp::main_thread = GetCurrentThreadId();
    StartUp s;
    s.app = new ProbeApp(std::move(entries));
    s.initialized = CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, s.app, nullptr);
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
    std::cout << Json{{"initialized", start.initialized}}.dump() << std::endl;

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
                   {"private_dir", korvex::WideToUtf8(cef_detail::EnginePrivateDir())}};
        } else if (name == "call") {
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
