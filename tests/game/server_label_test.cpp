// The server line's text "双线<server>区" in its 100-unit buffer: whole up to 96 characters of
// server, cut at its end beyond, always terminated, never written past.
#include "game/server_label.h"

#include <gtest/gtest.h>

#include <string>

#include "text_buffer.h"

namespace {

using korvex::FormatServerLabel;
using korvex::kServerLabelUnits;
using korvex_test::TextBuffer;

std::u16string Label(const std::u16string& server, TextBuffer& buffer) {
    return std::u16string(FormatServerLabel(buffer.Span(), server));
}

TEST(ServerLabel, FramesTheServer) {
    TextBuffer buffer(kServerLabelUnits);
    EXPECT_EQ(Label(u"12", buffer), u"双线12区");
    EXPECT_TRUE(buffer.ZeroFrom(5));
    EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(ServerLabel, EmptyServer) {
    TextBuffer buffer(kServerLabelUnits);
    EXPECT_EQ(Label(u"", buffer), u"双线区");
}

TEST(ServerLabel, FormatCharactersInTheServerAreText) {
    TextBuffer buffer(kServerLabelUnits);
    EXPECT_EQ(Label(u"%s%n%d", buffer), u"双线%s%n%d区");
}

TEST(ServerLabel, NinetySixCharactersFitWhole) {
    const std::u16string server(kServerLabelUnits - 4, u'9');
    TextBuffer buffer(kServerLabelUnits);
    const std::u16string label = Label(server, buffer);
    EXPECT_EQ(label, u"双线" + server + u"区");
    EXPECT_EQ(label.size(), kServerLabelUnits - 1);
    EXPECT_TRUE(buffer.ZeroFrom(kServerLabelUnits - 1));
    EXPECT_TRUE(buffer.GuardsIntact());
}

// Longer servers (the data model holds up to 99 characters) lose the end of the text.
TEST(ServerLabel, LongerServersAreCutAtTheEnd) {
    for (std::size_t length : {97u, 98u, 99u, 150u}) {
        const std::u16string server(length, u's');
        TextBuffer buffer(kServerLabelUnits);
        const std::u16string label = Label(server, buffer);
        const std::u16string whole = u"双线" + server + u"区";
        EXPECT_EQ(label, whole.substr(0, kServerLabelUnits - 1)) << length;
        EXPECT_TRUE(buffer.ZeroFrom(kServerLabelUnits - 1)) << length;
        EXPECT_TRUE(buffer.GuardsIntact()) << length;
    }
}

TEST(ServerLabel, CutKeepsSurrogatePairsWhole) {
    // 2 + 96 units leave one unit before the terminator; the pair needs two.
    const std::u16string server = std::u16string(96, u'x') + u"\U0001F600";
    TextBuffer buffer(kServerLabelUnits);
    const std::u16string label = Label(server, buffer);
    EXPECT_EQ(label, u"双线" + std::u16string(96, u'x'));
    EXPECT_TRUE(buffer.ZeroFrom(label.size()));
    EXPECT_TRUE(buffer.GuardsIntact());
}

}  // namespace
