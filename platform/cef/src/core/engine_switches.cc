#include "core/engine_switches.h"

namespace cef_detail {

std::vector<std::string> EngineSwitches(const EngineHost& host, const EngineRequests& requests) {
    // An engine that only this process drives: headless, no first-run or background traffic,
    // the DevTools pipe as its only channel.
    std::vector<std::string> switches = {
        "--headless=new",
        "--remote-debugging-pipe",
        "--no-first-run",
        "--no-default-browser-check",
        "--disable-background-networking",
        "--disable-component-update",
        "--disable-sync",
        "--disable-quic",
        "--enable-unsafe-swiftshader",
    };
    if (host.linux_engine) {
        switches.push_back("--disable-gpu");
        if (host.unix_root) switches.push_back("--no-sandbox");
    }
    if (requests.ignore_certificate_errors) switches.push_back("--ignore-certificate-errors");
    return switches;
}

}  // namespace cef_detail
