// Text in a fixed buffer: zeroed at the start, appended while it fits, cut once it does not,
// always terminated.
#include "base/bounded_text.h"

#include <gtest/gtest.h>

#include "text_buffer.h"

namespace {

using korvex::BoundedText;
using korvex_test::TextBuffer;

TEST(BoundedText, StartsEmptyAndZeroesTheBuffer) {
    TextBuffer buffer(6);
    BoundedText text(buffer.Span());
    EXPECT_TRUE(text.Text().empty());
    EXPECT_FALSE(text.Cut());
    EXPECT_TRUE(buffer.ZeroFrom(0));
    EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(BoundedText, AppendsWhileItFitsAndKeepsTheLastUnitForTheTerminator) {
    TextBuffer buffer(6);
    BoundedText text(buffer.Span());
    EXPECT_TRUE(text.Append(u"ab"));
    EXPECT_TRUE(text.Append(u""));
    EXPECT_TRUE(text.Append(u"cde"));
    EXPECT_EQ(text.Text(), u"abcde");
    EXPECT_FALSE(text.Cut());
    EXPECT_FALSE(text.Append(u"f"));
    EXPECT_TRUE(text.Cut());
    EXPECT_EQ(text.Text(), u"abcde");
    EXPECT_TRUE(buffer.ZeroFrom(5));
    EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(BoundedText, CutTakesWhatFitsAndNothingAfterwards) {
    TextBuffer buffer(6);
    BoundedText text(buffer.Span());
    EXPECT_TRUE(text.Append(u"ab"));
    EXPECT_FALSE(text.Append(u"cdefgh"));
    EXPECT_EQ(text.Text(), u"abcde");
    EXPECT_FALSE(text.Append(u"x"));
    EXPECT_TRUE(text.Append(u""));
    EXPECT_EQ(text.Text(), u"abcde");
    EXPECT_TRUE(buffer.ZeroFrom(5));
    EXPECT_TRUE(buffer.GuardsIntact());
}

// A surrogate pair cut in half would leave a lone high surrogate; the cut drops it, and the
// unit it leaves free is not filled by later text.
TEST(BoundedText, CutNeverSplitsASurrogatePair) {
    TextBuffer buffer(6);
    BoundedText text(buffer.Span());
    EXPECT_TRUE(text.Append(u"abcd"));
    EXPECT_FALSE(text.Append(u"\U0001F600"));
    EXPECT_EQ(text.Text(), u"abcd");
    EXPECT_FALSE(text.Append(u"e"));
    EXPECT_EQ(text.Text(), u"abcd");
    EXPECT_TRUE(buffer.ZeroFrom(4));
    EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(BoundedText, WholePairsAndLoneLowSurrogatesAreKept) {
    TextBuffer buffer(6);
    BoundedText text(buffer.Span());
    EXPECT_TRUE(text.Append(u"ab\U0001F600"));
    EXPECT_EQ(text.Text(), u"ab\U0001F600");
    // A cut after an ordinary unit drops nothing more.
    EXPECT_FALSE(text.Append(u"c\U0001F600"));
    EXPECT_EQ(text.Text(), u"ab\U0001F600c");
}

TEST(BoundedText, OneUnitHoldsOnlyTheTerminator) {
    TextBuffer buffer(1);
    BoundedText text(buffer.Span());
    EXPECT_FALSE(text.Append(u"a"));
    EXPECT_TRUE(text.Text().empty());
    EXPECT_TRUE(buffer.ZeroFrom(0));
    EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(BoundedText, EmptyBufferTakesNothing) {
    TextBuffer buffer(0);
    BoundedText text(buffer.Span());
    EXPECT_FALSE(text.Cut());
    EXPECT_TRUE(text.Append(u""));
    EXPECT_FALSE(text.Append(u"a"));
    EXPECT_TRUE(text.Cut());
    EXPECT_TRUE(text.Text().empty());
    EXPECT_TRUE(buffer.GuardsIntact());
}

}  // namespace
