// UTF-8 and UTF-16 conversions for the record's texts.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sysctrl {

// UTF-16 units of a well-formed UTF-8 text; nullopt when the text is not well-formed.
std::optional<std::u16string> Utf8ToUtf16(std::string_view text);

// UTF-8 of a UTF-16 text. On an unpaired surrogate returns nullopt and sets `badUnit` to its
// index.
std::optional<std::string> Utf16ToUtf8(std::u16string_view text, std::size_t& badUnit);

}  // namespace sysctrl
