// The page shown in a frame whose load failed (UTF-8): the failed address, the engine's error
// text and the error code, e.g. "... Failed to load URL http://x/ with error
// ERR_CONNECTION_REFUSED (-102)." Both texts are HTML-escaped, so the page shows them exactly
// as they are and no address can add markup to a page shown under its own origin.
#pragma once

#include <string>
#include <string_view>

namespace korvex {

// &, <, >, " and ' as character references; everything else as it is.
std::string EscapeHtml(std::string_view text);

std::string BuildErrorPage(std::string_view failed_url, std::string_view error_text,
                           int error_code);

}  // namespace korvex
