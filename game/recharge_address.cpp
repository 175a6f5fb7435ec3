#include "game/recharge_address.h"

#include "base/bounded_text.h"

namespace korvex {

std::u16string_view ComposeRechargeAddress(std::span<char16_t> buffer, std::u16string_view address,
                                           std::u16string_view server,
                                           std::u16string_view account) {
    BoundedText text(buffer);
    text.Append(address);
    if (server.empty() && account.empty()) return text.Text();

    text.Append(address.find(u'?') == std::u16string_view::npos ? u"?" : u"&");
    if (!server.empty()) {
        text.Append(u"server=");
        text.Append(server);
        if (!account.empty()) text.Append(u"&");
    }
    if (!account.empty()) {
        text.Append(u"account=");
        text.Append(account);
    }
    return text.Text();
}

}  // namespace korvex
