#include "launcher/login_address.h"

namespace korvex {

bool IsLoginAddress(std::u16string_view address) {
    for (std::u16string_view word : {u"uid", u"token", u"sid", u"isclient"}) {
        const auto at = address.find(word);
        if (at == std::u16string_view::npos || at == 0) return false;
    }
    return true;
}

std::u16string_view LoginValue(std::u16string_view address, std::u16string_view key) {
    const auto at = address.find(key);
    if (at == std::u16string_view::npos) return {};
    const auto start = at + key.size();
    const auto end = address.find(u'&', start);
    return address.substr(start, end == std::u16string_view::npos ? end : end - start);
}

}  // namespace korvex
