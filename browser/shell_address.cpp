#include "browser/shell_address.h"

namespace korvex {
namespace {

// Case-insensitive match of an ASCII prefix; the rest of the address follows it.
bool StartsWithScheme(std::u16string_view address, std::u16string_view prefix,
                      std::u16string_view& rest) {
    if (address.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char16_t c = address[i];
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
        if (c != prefix[i]) return false;
    }
    rest = address.substr(prefix.size());
    return true;
}

bool HasUnsafeCharacter(std::u16string_view address) {
    for (char16_t c : address) {
        if (c <= u' ' || c == 0x7F || c == u'"' || c == u'\\') return true;
    }
    return false;
}

}  // namespace

bool IsShellOpenableAddress(std::u16string_view address) {
    if (address.empty() || HasUnsafeCharacter(address)) return false;
    std::u16string_view rest;
    if (StartsWithScheme(address, u"http://", rest) ||
        StartsWithScheme(address, u"https://", rest)) {
        return !rest.empty() && rest.front() != u'/';  // a host, not a path
    }
    if (StartsWithScheme(address, u"mailto:", rest)) return !rest.empty();
    return false;
}

}  // namespace korvex
