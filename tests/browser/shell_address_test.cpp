// Which pop-up addresses go to the system's shell.
#include "browser/shell_address.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Address {
    std::u16string address;
    bool opened;
};

const Address kAddresses[] = {
    {u"http://127.0.0.1:8080/forum.html", true},
    {u"https://torvane.example/pay?server=12&account=tom", true},
    {u"HTTP://Example.com/", true},
    {u"mailto:service@torvane.example", true},
    {u"MailTo:someone@example.com?subject=hi", true},
    {u"", false},
    {u"http://", false},
    {u"http:///etc/passwd", false},
    {u"https:example.com", false},
    {u"file:///C:/Windows/System32/calc.exe", false},
    {u"FILE://server/share/run.exe", false},
    {u"C:\\Windows\\System32\\calc.exe", false},
    {u"\\\\server\\share\\setup.exe", false},
    {u"//server/share/setup.exe", false},
    {u"javascript:alert(1)", false},
    {u"data:text/html,<b>x</b>", false},
    {u"ms-settings:", false},
    {u"steam://run/1", false},
    {u"calc.exe", false},
    {u"mailto:", false},
    {u" http://example.com/", false},             // leading blank
    {u"http://example.com/ --flag", false},       // a blank would end the argument
    {u"http://example.com/\" --flag \"", false},  // a quote would end it too
    {u"http://example.com/\tx", false},
    {u"http://example.com\\..\\x", false},
    {u"http://example.com/\u0001", false},
};

TEST(ShellAddress, OnlyWebAndMailAddressesLeave) {
    for (const Address& c : kAddresses) {
        EXPECT_EQ(korvex::IsShellOpenableAddress(c.address), c.opened)
            << std::string(c.address.begin(), c.address.end());
    }
}

}  // namespace
