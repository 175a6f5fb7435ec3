#include "browser/page_origin.h"

namespace cef_detail {

std::string PageOrigin(std::string_view url) {
    const auto scheme_end = url.find("://");
    if (scheme_end == std::string_view::npos || scheme_end == 0) return {};
    const auto host_start = scheme_end + 3;
    const auto host_end = url.find_first_of("/?#", host_start);
    std::string_view authority =
        url.substr(host_start, host_end == std::string_view::npos ? url.size() - host_start
                                                                  : host_end - host_start);
    // user:password@ is not part of an origin.
    if (const auto at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    if (authority.empty()) return {};
    std::string origin(url.substr(0, host_start));
    for (char& c : origin) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    origin.append(authority);
    return origin;
}

}  // namespace cef_detail
