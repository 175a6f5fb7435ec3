// Which addresses a page may have opened outside Korvex. A pop-up's address goes to the
// system's shell, whose handler for a scheme may run a program; so only web and mail addresses
// go there: an absolute http:, https: or mailto: address (scheme in any case), with a host
// behind "//" for the web schemes, and without blanks, control characters, quotes or
// backslashes that could end up as extra arguments of the handler's command line. Everything
// else (an empty target, file:, drive and UNC paths, javascript:, data:, other schemes) stays
// inside.
#pragma once

#include <string_view>

namespace korvex {

bool IsShellOpenableAddress(std::u16string_view address);

}  // namespace korvex
