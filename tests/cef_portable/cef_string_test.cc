// CefString: text held as UTF-16 units, converted at the boundary (the conversions themselves are
// tested with the shared text helpers).
#include "cef/cef_string.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

TEST(CefString, ConvertsFromAndToUtf8AndWideText) {
    const CefString from8("a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z");
    EXPECT_EQ(from8.ToString16(), u"a\u00E9\u4E2D\xD83D\xDE00z");
    EXPECT_EQ(from8.length(), 6u);
    EXPECT_EQ(from8.ToString(), "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80z");
    const CefString emoji(L"x\U0001F600");
    EXPECT_EQ(emoji.ToString16(), u"x\xD83D\xDE00");
    EXPECT_EQ(emoji.ToWString(), L"x\U0001F600");
    EXPECT_EQ(CefString("a\x80z").ToString16(), u"a\uFFFDz");
}

TEST(CefString, UnpairedSurrogatesAreKeptUntilConverted) {
    const CefString text(u"a\xD800z");
    EXPECT_EQ(text.ToString16(), u"a\xD800z");
    EXPECT_EQ(text.ToString(), "a\xEF\xBF\xBDz");
}

TEST(CefString, NullPointersAreEmpty) {
    EXPECT_TRUE(CefString(static_cast<const char*>(nullptr)).empty());
    EXPECT_TRUE(CefString(static_cast<const char16_t*>(nullptr)).empty());
    EXPECT_TRUE(CefString(static_cast<const wchar_t*>(nullptr)).empty());
}

TEST(CefString, ReassignmentReplacesTheText) {
    CefString text("first");
    text.FromString("\xC3\xA9");
    EXPECT_EQ(text.ToString16(), u"\u00E9");
    text.FromWString(L"w");
    EXPECT_EQ(text.ToString16(), u"w");
    text.clear();
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(text.size(), 0u);
    EXPECT_EQ(std::u16string_view(text.c_str()), u"");
}

TEST(CefString, ComparesByUtf16Units) {
    EXPECT_EQ(CefString("abc"), CefString(u"abc"));
    EXPECT_NE(CefString("abc"), CefString("abd"));
    EXPECT_LT(CefString("abc"), CefString("abd"));
    EXPECT_LT(CefString(""), CefString("a"));
    EXPECT_GT(CefString(u"\uFFFF"), CefString(u"\xD83D\xDE00"));  // unit order, not code points
}

}  // namespace
