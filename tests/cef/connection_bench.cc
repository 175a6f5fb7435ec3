// Benchmark of the DevTools connection: small round trips, large replies and a stream of large
// events delivered on TID_UI. Prints one JSON object. Run under Wine with the engine installed.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <future>
#include <iostream>
#include <string>

#include <nlohmann/json.hpp>

#include "cef/cef_app.h"
#include "devtools/connection.h"

namespace {

using Clock = std::chrono::steady_clock;
using Json = nlohmann::json;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    CefSettings settings;
    settings.no_sandbox = 1;
    settings.multi_threaded_message_loop = 1;
    if (argc > 1) settings.cache_path = CefString(argv[1]);
    if (!CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, nullptr, nullptr)) {
        std::cerr << "no engine\n";
        return 1;
    }
    auto* c = cef_detail::GetConnection();
    const std::string target =
        c->Call("Target.createTarget", {{"url", "about:blank"}})["targetId"].get<std::string>();
    const std::string session =
        c->Call("Target.attachToTarget", {{"targetId", target}, {"flatten", true}})["sessionId"]
            .get<std::string>();
    Json out;

    constexpr int kSmall = 500;
    auto t0 = Clock::now();
    for (int i = 0; i < kSmall; ++i) c->Call("Browser.getVersion", Json::object());
    out["small_round_trip_us"] = Seconds(t0) / kSmall * 1e6;

    // A reply of about the size of one screen frame (65 KiB of base64 text).
    constexpr int kLarge = 200;
    constexpr int kPayload = 66560;
    const Json expression = {{"expression", "'x'.repeat(" + std::to_string(kPayload) + ")"},
                             {"returnByValue", true}};
    t0 = Clock::now();
    for (int i = 0; i < kLarge; ++i) c->Call("Runtime.evaluate", expression, session);
    const double large = Seconds(t0);
    out["large_reply_per_s"] = kLarge / large;
    out["large_reply_mib_per_s"] = kLarge * double(kPayload) / large / (1 << 20);

    // Large events through a TID_UI listener.
    c->Call("Runtime.enable", Json::object(), session);
    constexpr int kEvents = 300;
    std::atomic<int> seen{0};
    std::promise<void> all;
    const int id =
        c->AddListener([&](const std::string& method, const Json& params, const std::string&) {
            if (method != "Runtime.consoleAPICalled") return;
            if (params["args"][0].value("value", "").size() != kPayload) return;
            if (++seen == kEvents) all.set_value();
        });
    t0 = Clock::now();
    c->Send("Runtime.evaluate",
            {{"expression", "{const s='y'.repeat(" + std::to_string(kPayload) + ");for(let i=0;i<" +
                                std::to_string(kEvents) + ";++i)console.log(s)}"}},
            {}, session);
    all.get_future().wait_for(std::chrono::seconds(60));
    const double events = Seconds(t0);
    c->RemoveListener(id);
    out["large_events"] = seen.load();
    out["large_events_per_s"] = seen / events;
    out["large_event_mib_per_s"] = seen * double(kPayload) / events / (1 << 20);
    std::cout << out.dump(2) << std::endl;
    return 0;
}
