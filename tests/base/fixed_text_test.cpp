// Text into fixed buffers: cut, always terminated, never past the end.
#include "base/fixed_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FixedText, CopiesWhatFitsAndCutsTheRest) {
    struct Case {
        std::u16string text;
        std::u16string kept;
    };
    const Case cases[] = {{u"", u""},
                          {u"abc", u"abc"},
                          {u"abcd", u"abcd"},
                          {u"abcde", u"abcd"},
                          {u"abcdefgh", u"abcd"}};
    for (const Case& c : cases) {
        char16_t buffer[6];
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        // Five units offered: four characters and the terminator; the sixth is a fence.
        const std::size_t n = korvex::CopyCut(buffer, 5, std::u16string_view(c.text));
        EXPECT_EQ(n, c.kept.size());
        EXPECT_EQ(std::u16string(buffer), c.kept);
        EXPECT_EQ(buffer[5], u'#') << "written past the buffer";
    }
}

TEST(FixedText, ArraysUseTheirOwnSize) {
    char16_t buffer[100];
    const std::u16string server(150, u'9');
    EXPECT_EQ(korvex::CopyCut(buffer, std::u16string_view(server)), 99u);
    EXPECT_EQ(std::u16string(buffer), std::u16string(99, u'9'));
    char16_t none[1] = {u'x'};
    EXPECT_EQ(korvex::CopyCut(none, std::u16string_view(u"abc")), 0u);
    EXPECT_EQ(none[0], u'\0');
}

}  // namespace
