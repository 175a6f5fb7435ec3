#include "cef/cef_string.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(std::u16string& out, char32_t c) {
    if (c >= 0x10000) {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(c));
    }
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Decodes one code point at s[i], advancing i; malformed input yields U+FFFD.
char32_t DecodeUtf8(std::string_view s, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(s[i++]);
    if (lead < 0x80) return lead;
    int extra;
    char32_t c;
    char32_t min;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, c = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, c = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, c = lead & 0x07, min = 0x10000;
    } else {
        return kReplacement;
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return kReplacement;
        c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
    return c;
}

// Decodes one code point of UTF-16 at s[i], advancing i; unpaired surrogates yield U+FFFD.
template <class Char>
char32_t DecodeUtf16(std::basic_string_view<Char> s, std::size_t& i) {
    const char32_t c = static_cast<char16_t>(s[i++]);
    if (c >= 0xD800 && c <= 0xDBFF) {
        if (i < s.size()) {
            const char32_t low = static_cast<char16_t>(s[i]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                ++i;
                return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            }
        }
        return kReplacement;
    }
    if (c >= 0xDC00 && c <= 0xDFFF) return kReplacement;
    return c;
}

}  // namespace

void CefString::FromString(std::string_view utf8) {
    text_.clear();
    text_.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) AppendUtf16(text_, DecodeUtf8(utf8, i));
}

void CefString::FromWString(std::wstring_view wide) {
    text_.clear();
    text_.reserve(wide.size());
    if constexpr (sizeof(wchar_t) == 2) {
        for (std::size_t i = 0; i < wide.size();) AppendUtf16(text_, DecodeUtf16(wide, i));
    } else {
        for (wchar_t w : wide) {
            const auto c = static_cast<char32_t>(w);
            AppendUtf16(text_, (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) ? kReplacement : c);
        }
    }
}

std::string CefString::ToString() const {
    std::string out;
    out.reserve(text_.size());
    const std::u16string_view view(text_);
    for (std::size_t i = 0; i < view.size();) AppendUtf8(out, DecodeUtf16(view, i));
    return out;
}

std::wstring CefString::ToWString() const {
    if constexpr (sizeof(wchar_t) == 2) {
        return std::wstring(text_.begin(), text_.end());
    } else {
        std::wstring out;
        const std::u16string_view view(text_);
        for (std::size_t i = 0; i < view.size();)
            out.push_back(static_cast<wchar_t>(DecodeUtf16(view, i)));
        return out;
    }
}
