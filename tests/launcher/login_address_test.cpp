// The login result in an address: the four words and the two values.
#include "launcher/login_address.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Narrow(std::u16string_view s) { return std::string(s.begin(), s.end()); }

struct Check {
    std::u16string address;
    bool accepted;
};

const Check kChecks[] = {
    {u"http://game.example/play?uid=7&token=ab&sid=12&isclient=1&acc=tom", true},
    {u"http://x/?isclient&sid&token&uid", true},             // order does not matter
    {u"http://x/uidtokensidisclient", true},                 // plain substrings
    {u"http://x/?uid=7&token=ab&sidx=5&isclient=1", true},   // "sid" inside "sidx"
    {u"http://x/?uid=7&token=ab&sid=12", false},             // isclient missing
    {u"http://x/?uid=7&sid=12&isclient=1", false},           // token missing
    {u"http://x/?token=ab&sid=12&isclient=1", false},        // uid missing
    {u"http://x/?uid=7&token=ab&isclient=1", false},         // sid missing
    {u"http://x/?UID=7&token=ab&sid=12&isclient=1", false},  // case matters
    {u"uid://x/?token=ab&sid=12&isclient=1&uid=7", false},   // first uid at 0
    {u"sid=1&uid=7&token=ab&isclient=1&sid=12", false},      // first sid at 0
    {u"xuid&token&sid&isclient", true},                      // position 1 is enough
    {u"", false},
};

TEST(LoginAddress, AllFourWordsFromPositionOne) {
    for (const Check& c : kChecks) {
        EXPECT_EQ(korvex::IsLoginAddress(c.address), c.accepted) << Narrow(c.address);
    }
}

struct Value {
    std::u16string address;
    std::u16string key;
    std::u16string value;
};

const Value kValues[] = {
    {u"http://x/?uid=7&token=ab&sid=12&isclient=1&acc=tom", u"sid=", u"12"},
    {u"http://x/?uid=7&token=ab&sid=12&isclient=1&acc=tom", u"acc=", u"tom"},  // at the end
    {u"http://x/?acc=tom&sid=3", u"acc=", u"tom"},
    {u"http://x/?uid=7&sidx=5&isclient", u"sid=", u""},         // no "sid=" at all
    {u"http://x/?sid=&acc=tom", u"sid=", u""},                  // empty value
    {u"http://x/?sid=1&sid=2", u"sid=", u"1"},                  // the first one counts
    {u"http://x/?acc=%E5%BC%A0&sid=9", u"acc=", u"%E5%BC%A0"},  // as it stands
    {u"http://x/?macc=no&acc=yes", u"acc=", u"no"},             // any occurrence, "macc=" too
};

TEST(LoginAddress, ValueRunsToTheNextAmpersandOrTheEnd) {
    for (const Value& c : kValues) {
        EXPECT_EQ(korvex::LoginValue(c.address, c.key), c.value)
            << Narrow(c.address) << " " << Narrow(c.key);
    }
}

}  // namespace
