// The origin of a page's address ("scheme://host[:port]"), as the engine's storage commands
// name it. Win32-free.
#pragma once

#include <string>
#include <string_view>

namespace cef_detail {

// Empty for addresses without one (about:blank, data:, an address without "://" and a host).
std::string PageOrigin(std::string_view url);

}  // namespace cef_detail
