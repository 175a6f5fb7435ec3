#include "browser/error_page.h"

namespace korvex {

std::string EscapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string BuildErrorPage(std::string_view failed_url, std::string_view error_text,
                           int error_code) {
    return "<html><body bgcolor=\"white\"><h2>Failed to load URL " + EscapeHtml(failed_url) +
           " with error " + EscapeHtml(error_text) + " (" + std::to_string(error_code) +
           ").</h2></body></html>";
}

}  // namespace korvex
