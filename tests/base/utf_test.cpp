// The shared text conversions: UTF-8, UTF-16 and wide text, malformed input included.
#include "base/utf.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace std::string_literals;

constexpr char16_t kBad = 0xFFFD;

struct RoundTrip {
    const char* what;
    std::string utf8;
    std::u16string utf16;
};

const RoundTrip kRoundTrips[] = {
    {"empty", "", u""},
    {"ASCII", "Torvane 1.0", u"Torvane 1.0"},
    {"two-byte", "caf\xC3\xA9", u"caf\u00E9"},
    {"three-byte", "\xE4\xB8\xAD\xE6\x96\x87", u"\u4E2D\u6587"},
    {"four-byte", "\xF0\x9F\x98\x80", u"\xD83D\xDE00"},
    {"largest code point", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
    {"last before surrogates", "\xED\x9F\xBF", u"\uD7FF"},
    {"first after surrogates", "\xEE\x80\x80", u"\uE000"},
    {"U+FFFD itself", "\xEF\xBF\xBD", u"\uFFFD"},
    {"mixed", "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z", u"a\u00E9\u4E2D\xD83D\xDE00z"},
    {"embedded NUL", "a\0b"s, u"a\0b"s},
};

TEST(Utf, RoundTripsBetweenUtf8AndUtf16) {
    for (const RoundTrip& c : kRoundTrips) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(korvex::Utf8ToUtf16(c.utf8), c.utf16);
        EXPECT_EQ(korvex::Utf16ToUtf8(c.utf16), c.utf8);
        EXPECT_EQ(korvex::Utf8ToUtf16Strict(c.utf8), c.utf16);
        std::size_t bad = 99;
        EXPECT_EQ(korvex::Utf16ToUtf8Strict(c.utf16, bad), c.utf8);
        EXPECT_EQ(bad, 99u);
    }
}

TEST(Utf, RoundTripsThroughWideText) {
    for (const RoundTrip& c : kRoundTrips) {
        SCOPED_TRACE(c.what);
        const std::wstring wide = korvex::Utf16ToWide(c.utf16);
        EXPECT_EQ(korvex::WideToUtf16(wide), c.utf16);
        EXPECT_EQ(korvex::WideToUtf8(wide), c.utf8);
        EXPECT_EQ(korvex::Utf8ToWide(c.utf8), wide);
    }
    // A wide character outside the BMP becomes a surrogate pair and comes back whole.
    EXPECT_EQ(korvex::WideToUtf16(L"x\U0001F600"), u"x\xD83D\xDE00");
    EXPECT_EQ(korvex::Utf16ToWide(u"x\xD83D\xDE00"), L"x\U0001F600");
}

struct Malformed {
    const char* what;
    std::string utf8;
    std::u16string utf16;
};

// Each malformed sequence becomes U+FFFD; the text around it survives.
const Malformed kMalformedUtf8[] = {
    {"lone continuation byte", "a\x80z", u"a\uFFFDz"},
    {"invalid lead byte", "a\xFFz", u"a\uFFFDz"},
    {"five-byte lead", "a\xF8z", u"a\uFFFDz"},
    {"two-byte sequence cut at the end", "a\xC3", u"a\uFFFD"},
    {"three-byte sequence cut at the end", "a\xE4\xB8", u"a\uFFFD"},
    {"four-byte sequence cut at the end", "a\xF0\x9F\x98", u"a\uFFFD"},
    {"cut sequence keeps the next character", "\xE4\xB8z", u"\uFFFDz"},
    {"cut sequence keeps the next sequence", "\xC3\xC3\xA9", u"\uFFFD\u00E9"},
    {"overlong slash", "a\xC0\xAFz", u"a\uFFFDz"},
    {"overlong three-byte", "a\xE0\x80\xAFz", u"a\uFFFDz"},
    {"encoded high surrogate", "a\xED\xA0\x80z", u"a\uFFFDz"},
    {"encoded low surrogate", "a\xED\xBF\xBFz", u"a\uFFFDz"},
    {"beyond U+10FFFF", "a\xF4\x90\x80\x80z", u"a\uFFFDz"},
};

TEST(Utf, MalformedUtf8BecomesReplacementCharactersOrIsRefused) {
    for (const Malformed& c : kMalformedUtf8) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(korvex::Utf8ToUtf16(c.utf8), c.utf16);
        EXPECT_EQ(korvex::Utf8ToUtf16Strict(c.utf8), std::nullopt);
    }
}

const Malformed kUnpairedSurrogates[] = {
    {"lone high surrogate", "a\xEF\xBF\xBDz", u"a\xD800z"},
    {"lone low surrogate", "a\xEF\xBF\xBDz", u"a\xDC00z"},
    {"high surrogate at the end", "a\xEF\xBF\xBD", u"a\xD83D"},
    {"pair in the wrong order", "\xEF\xBF\xBD\xEF\xBF\xBD", u"\xDE00\xD83D"},
    {"two high surrogates then a low", "\xEF\xBF\xBD\xF0\x9F\x98\x80", u"\xD83D\xD83D\xDE00"},
};

TEST(Utf, UnpairedSurrogatesBecomeReplacementCharactersOrAreRefused) {
    for (const Malformed& c : kUnpairedSurrogates) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(korvex::Utf16ToUtf8(c.utf16), c.utf8);
        std::size_t bad = 99;
        EXPECT_EQ(korvex::Utf16ToUtf8Strict(c.utf16, bad), std::nullopt);
        EXPECT_EQ(bad, c.utf16.find_first_of(u"\xD800\xDC00\xD83D\xDE00"));
        if constexpr (sizeof(wchar_t) == 4) {
            for (wchar_t w : korvex::Utf16ToWide(c.utf16)) {
                EXPECT_FALSE(w >= 0xD800 && w <= 0xDFFF) << "surrogate left in wide text";
            }
        }
    }
}

TEST(Utf, InvalidWideCharactersBecomeReplacementCharacters) {
    if constexpr (sizeof(wchar_t) == 4) {
        const std::wstring wide = {L'a', wchar_t(0xD800), wchar_t(0x110000), wchar_t(-1), L'z'};
        EXPECT_EQ(korvex::WideToUtf16(wide), (std::u16string{u'a', kBad, kBad, kBad, u'z'}));
    } else {
        const std::wstring wide = {L'a', wchar_t(0xD800), L'z'};
        EXPECT_EQ(korvex::WideToUtf16(wide), (std::u16string{u'a', kBad, u'z'}));
    }
}

}  // namespace
