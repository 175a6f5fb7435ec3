#include "base/utf.h"

namespace korvex {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

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

// One code point of UTF-8 at s[i], advancing i past what was read; nullopt when malformed
// (overlong forms, surrogates and values past U+10FFFF included).
std::optional<char32_t> DecodeUtf8(std::string_view s, std::size_t& i) {
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
        return std::nullopt;
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || IsSurrogate(c)) return std::nullopt;
    return c;
}

// One code point of UTF-16 at s[i], advancing i; nullopt for an unpaired surrogate.
template <class Char>
std::optional<char32_t> DecodeUtf16(std::basic_string_view<Char> s, std::size_t& i) {
    const char32_t c = static_cast<char16_t>(s[i++]);
    if (c >= 0xD800 && c <= 0xDBFF && i < s.size()) {
        const char32_t low = static_cast<char16_t>(s[i]);
        if (low >= 0xDC00 && low <= 0xDFFF) {
            ++i;
            return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    if (IsSurrogate(c)) return std::nullopt;
    return c;
}

// Code points of a wide string: UTF-16 where wchar_t has 16 bits, UTF-32 otherwise.
std::optional<char32_t> DecodeWide(std::wstring_view s, std::size_t& i) {
    if constexpr (sizeof(wchar_t) == 2) {
        return DecodeUtf16(s, i);
    } else {
        const auto c = static_cast<char32_t>(s[i++]);
        if (c > 0x10FFFF || IsSurrogate(c)) return std::nullopt;
        return c;
    }
}

void AppendWide(std::wstring& out, char32_t c) {
    if constexpr (sizeof(wchar_t) == 2) {
        std::u16string units;
        AppendUtf16(units, c);
        out.append(units.begin(), units.end());
    } else {
        out.push_back(static_cast<wchar_t>(c));
    }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        AppendUtf16(out, DecodeUtf8(utf8, i).value_or(kReplacement));
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size();) {
        AppendUtf8(out, DecodeUtf16(utf16, i).value_or(kReplacement));
    }
    return out;
}

std::optional<std::u16string> Utf8ToUtf16Strict(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = DecodeUtf8(utf8, i);
        if (!c) return std::nullopt;
        AppendUtf16(out, *c);
    }
    return out;
}

std::optional<std::string> Utf16ToUtf8Strict(std::u16string_view utf16, std::size_t& bad_unit) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size();) {
        const std::size_t at = i;
        const auto c = DecodeUtf16(utf16, i);
        if (!c) {
            bad_unit = at;
            return std::nullopt;
        }
        AppendUtf8(out, *c);
    }
    return out;
}

std::string WideToUtf8(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size();) {
        AppendUtf8(out, DecodeWide(wide, i).value_or(kReplacement));
    }
    return out;
}

std::wstring Utf8ToWide(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        AppendWide(out, DecodeUtf8(utf8, i).value_or(kReplacement));
    }
    return out;
}

std::u16string WideToUtf16(std::wstring_view wide) {
    std::u16string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size();) {
        AppendUtf16(out, DecodeWide(wide, i).value_or(kReplacement));
    }
    return out;
}

std::wstring Utf16ToWide(std::u16string_view utf16) {
    std::wstring out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size();) {
        AppendWide(out, DecodeUtf16(utf16, i).value_or(kReplacement));
    }
    return out;
}

}  // namespace korvex
