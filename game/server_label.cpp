#include "game/server_label.h"

#include "base/bounded_text.h"

namespace korvex {

std::u16string_view FormatServerLabel(std::span<char16_t> buffer, std::u16string_view server) {
    BoundedText text(buffer);
    text.Append(u"双线");
    text.Append(server);
    text.Append(u"区");
    return text.Text();
}

}  // namespace korvex
