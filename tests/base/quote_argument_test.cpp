// Arguments quoted for a Windows command line, by the documented parsing rules: backslashes
// are literal unless they come before a quote, where 2n backslashes give n and an escaped quote
// needs 2n + 1.
#include "base/quote_argument.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Quoting {
    std::u16string arg;
    std::u16string quoted;
};

const Quoting kCases[] = {
    {u"plain", u"plain"},
    {u"C:\\dir\\file.exe", u"C:\\dir\\file.exe"},  // backslashes without quotes stay
    {u"", u"\"\""},                                // an empty argument must still be there
    {u"with space", u"\"with space\""},
    {u"tab\there", u"\"tab\there\""},
    {u"new\nline", u"\"new\nline\""},
    {u"quote\"inside", u"\"quote\\\"inside\""},
    {u"trailing\\ ", u"\"trailing\\ \""},
    {u"dir with\\", u"\"dir with\\\\\""},  // a final backslash would escape the closing quote
    {u"a\\\\\"b", u"\"a\\\\\\\\\\\"b\""},  // two backslashes then a quote: 4 + 1
    {u"\u5B8B\u4F53", u"\u5B8B\u4F53"},    // no blank: as it is
};

TEST(QuoteArgument, FollowsTheCommandLineRules) {
    for (const Quoting& c : kCases) {
        EXPECT_EQ(korvex::QuoteArgument(std::u16string_view(c.arg)), c.quoted);
    }
}

TEST(QuoteArgument, WideTextTheSameWay) {
    EXPECT_EQ(korvex::QuoteArgument(std::wstring(L"a b\\")), L"\"a b\\\\\"");
    EXPECT_EQ(korvex::QuoteArgument(L"x"), L"x");
}

}  // namespace
