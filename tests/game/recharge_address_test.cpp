// The recharge address: the configured address with server and account appended, composed in
// a 500-unit buffer that always ends terminated and is never written past.
#include "game/recharge_address.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "text_buffer.h"

namespace {

using korvex::ComposeRechargeAddress;
using korvex::kRechargeAddressUnits;
using korvex_test::TextBuffer;

struct ComposeCase {
    std::string name;
    std::u16string address, server, account;
    std::u16string expected;
};

void PrintTo(const ComposeCase& c, std::ostream* os) { *os << c.name; }

class Compose : public ::testing::TestWithParam<ComposeCase> {};

TEST_P(Compose, AppendsWhatIsKnown) {
    const ComposeCase& c = GetParam();
    TextBuffer buffer(kRechargeAddressUnits);
    const auto text = ComposeRechargeAddress(buffer.Span(), c.address, c.server, c.account);
    EXPECT_EQ(std::u16string(text), c.expected);
    EXPECT_EQ(text.data(), buffer.Span().data());
    EXPECT_TRUE(buffer.ZeroFrom(text.size()));
    EXPECT_TRUE(buffer.GuardsIntact());
}

const ComposeCase kComposeCases[] = {
    {"NothingKnownLeavesTheAddress", u"http://pay.example/charge", u"", u"",
     u"http://pay.example/charge"},
    {"NothingKnownKeepsItsQuery", u"http://pay.example/c?id=3", u"", u"",
     u"http://pay.example/c?id=3"},
    {"ServerAndAccount", u"http://pay.example/charge", u"12", u"bob",
     u"http://pay.example/charge?server=12&account=bob"},
    {"ServerOnly", u"http://pay.example/charge", u"12", u"",
     u"http://pay.example/charge?server=12"},
    {"AccountOnly", u"http://pay.example/charge", u"", u"bob",
     u"http://pay.example/charge?account=bob"},
    {"QueryGetsAmpersand", u"http://pay.example/c?id=3", u"12", u"bob",
     u"http://pay.example/c?id=3&server=12&account=bob"},
    {"QueryAccountOnly", u"http://pay.example/c?id=3", u"", u"bob",
     u"http://pay.example/c?id=3&account=bob"},
    {"QueryServerOnly", u"http://pay.example/c?", u"7", u"", u"http://pay.example/c?&server=7"},
    {"ValuesAsTheyStand", u"http://pay.example/charge", u"s 1", u"a&b=c%20",
     u"http://pay.example/charge?server=s 1&account=a&b=c%20"},
    {"WideCharacters", u"http://pay.example/充值", u"双线", u"玩家",
     u"http://pay.example/充值?server=双线&account=玩家"},
    {"EmptyAddress", u"", u"12", u"bob", u"?server=12&account=bob"},
};

INSTANTIATE_TEST_SUITE_P(Cases, Compose, ::testing::ValuesIn(kComposeCases),
                         [](const auto& info) { return info.param.name; });

TEST(ComposeRechargeAddress, ZeroesWhatTheBufferHeldBefore) {
    TextBuffer buffer(kRechargeAddressUnits, u'\xFFFF');
    const auto text = ComposeRechargeAddress(buffer.Span(), u"http://a.example/", u"1", u"");
    EXPECT_EQ(text, u"http://a.example/?server=1");
    EXPECT_TRUE(buffer.ZeroFrom(text.size()));
}

// The longest texts the data model holds: a 299-character address, 99-character server and
// account. Composed they need 514 units; the buffer keeps the first 499 and its terminator.
TEST(ComposeRechargeAddress, LongestTextsAreCutAtTheBuffersEnd) {
    const std::u16string address = u"http://pay.example/" + std::u16string(280, u'p');
    const std::u16string server(99, u's'), account(99, u'a');
    ASSERT_EQ(address.size(), 299u);
    const std::u16string whole = address + u"?server=" + server + u"&account=" + account;
    ASSERT_GT(whole.size(), kRechargeAddressUnits - 1);

    TextBuffer buffer(kRechargeAddressUnits);
    const auto text = ComposeRechargeAddress(buffer.Span(), address, server, account);
    EXPECT_EQ(std::u16string(text), whole.substr(0, kRechargeAddressUnits - 1));
    EXPECT_TRUE(buffer.ZeroFrom(kRechargeAddressUnits - 1));
    EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(ComposeRechargeAddress, AddressThatFillsTheBufferGetsNothingAppended) {
    for (std::size_t length :
         {kRechargeAddressUnits - 1, kRechargeAddressUnits, kRechargeAddressUnits + 40}) {
        const std::u16string address(length, u'x');
        TextBuffer buffer(kRechargeAddressUnits);
        const auto text = ComposeRechargeAddress(buffer.Span(), address, u"12", u"bob");
        EXPECT_EQ(std::u16string(text), address.substr(0, kRechargeAddressUnits - 1)) << length;
        EXPECT_TRUE(buffer.ZeroFrom(kRechargeAddressUnits - 1)) << length;
        EXPECT_TRUE(buffer.GuardsIntact()) << length;
    }
}

// A character outside the basic plane is never cut in half.
TEST(ComposeRechargeAddress, CutKeepsSurrogatePairsWhole) {
    const std::u16string address(kRechargeAddressUnits - 1 - 9, u'x');  // 490 units
    TextBuffer buffer(kRechargeAddressUnits);
    const auto text = ComposeRechargeAddress(buffer.Span(), address, u"\U0001F600", u"");
    // "?server=" fills units 490 to 497; the pair would need 498 and 499.
    EXPECT_EQ(std::u16string(text), address + u"?server=");
    EXPECT_TRUE(buffer.ZeroFrom(text.size()));
    EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(ComposeRechargeAddress, EmptyBufferTakesNothing) {
    TextBuffer buffer(0);
    const auto text = ComposeRechargeAddress(buffer.Span(), u"http://a.example/", u"1", u"2");
    EXPECT_TRUE(text.empty());
    EXPECT_TRUE(buffer.GuardsIntact());
}

}  // namespace
