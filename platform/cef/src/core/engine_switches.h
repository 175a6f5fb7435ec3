// The engine's own switches, decided from where it runs and what the application asked for.
// Free of Win32: the caller finds the facts, this unit only decides.
#pragma once

#include <string>
#include <vector>

namespace cef_detail {

// Where the engine runs.
struct EngineHost {
    // A Linux engine started through Wine; otherwise a Windows engine on Windows.
    bool linux_engine = false;
    // The Unix user is root (only asked for a Linux engine): Chromium refuses to start its
    // sandbox as root.
    bool unix_root = false;
};

// What the application's settings ask of the engine.
struct EngineRequests {
    bool ignore_certificate_errors = false;
};

// The switches, in order, before the application's own entries and the first address.
//
// - No --disable-gpu for a Windows engine: headless pages draw with the real GPU there, and
//   with it switched off current Edge and Chrome give a page no WebGL at all. A Linux engine
//   under Wine keeps it (no GPU process works there; it still draws WebGL in software).
// - --enable-unsafe-swiftshader everywhere: machines without a usable GPU keep WebGL through
//   the software renderer, which current engines offer only when asked.
// - The engine's sandbox stays on wherever it can run: always on Windows, and for a Linux
//   engine unless the user is root (--no-sandbox only then).
std::vector<std::string> EngineSwitches(const EngineHost& host, const EngineRequests& requests);

}  // namespace cef_detail
