#include "cef/cef_string.h"

#include "base/utf.h"

void CefString::FromString(std::string_view utf8) { text_ = korvex::Utf8ToUtf16(utf8); }

void CefString::FromWString(std::wstring_view wide) { text_ = korvex::WideToUtf16(wide); }

std::string CefString::ToString() const { return korvex::Utf16ToUtf8(text_); }

std::wstring CefString::ToWString() const {
    // 16-bit wide strings take the units as they are, unpaired surrogates included.
    if constexpr (sizeof(wchar_t) == 2) return std::wstring(text_.begin(), text_.end());
    return korvex::Utf16ToWide(text_);
}
