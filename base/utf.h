// Conversions between UTF-8, UTF-16 and the platform's wide strings (UTF-16 on Windows, UTF-32
// elsewhere). The lenient forms replace malformed input (invalid UTF-8, unpaired surrogates) by
// U+FFFD; the strict forms refuse it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace korvex {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Nullopt when the text is not well-formed UTF-8.
std::optional<std::u16string> Utf8ToUtf16Strict(std::string_view utf8);
// Nullopt on an unpaired surrogate, whose index is then written to bad_unit.
std::optional<std::string> Utf16ToUtf8Strict(std::u16string_view utf16, std::size_t& bad_unit);

std::string WideToUtf8(std::wstring_view wide);
std::wstring Utf8ToWide(std::string_view utf8);
std::u16string WideToUtf16(std::wstring_view wide);
std::wstring Utf16ToWide(std::u16string_view utf16);

}  // namespace korvex
