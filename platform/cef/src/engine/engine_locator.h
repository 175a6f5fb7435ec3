// Finds the installed browser engine to run.
#pragma once

#include <optional>
#include <string>

namespace cef_detail {

struct EngineLocation {
    // A Linux program started through Wine (by its Unix path), or a Windows program.
    bool unix_program = false;
    std::string unix_path;      // When unix_program.
    std::wstring windows_path;  // Always: where the file is seen from Windows.
};

// The environment variable KORVEX_BROWSER_ENGINE names the engine when set (a Unix path under
// Wine, or a Windows path); otherwise, under Wine, Debian's chromium; on Windows, Edge or Chrome
// in their standard places. None when the named or usual files do not exist.
std::optional<EngineLocation> FindEngine();

}  // namespace cef_detail
