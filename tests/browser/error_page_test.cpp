// The error page: the text laid down for a failed load, and the escaping of what the page
// cannot trust.
#include "browser/error_page.h"

#include <gtest/gtest.h>

namespace {

TEST(ErrorPage, IsTheFixedTextAroundAddressErrorAndCode) {
    EXPECT_EQ(korvex::BuildErrorPage("http://127.0.0.1:1/login", "ERR_CONNECTION_REFUSED", -102),
              "<html><body bgcolor=\"white\"><h2>Failed to load URL http://127.0.0.1:1/login with "
              "error ERR_CONNECTION_REFUSED (-102).</h2></body></html>");
}

TEST(ErrorPage, EndsWithTheCodeInParentheses) {
    const std::string page =
        korvex::BuildErrorPage("http://nowhere.invalid/", "ERR_NAME_NOT_RESOLVED", -105);
    const std::string end = " (-105).</h2></body></html>";
    ASSERT_GE(page.size(), end.size());
    EXPECT_EQ(page.substr(page.size() - end.size()), end);
    EXPECT_NE(korvex::BuildErrorPage("u", "e", 7).find(" (7)."), std::string::npos);
}

struct Escaping {
    const char* text;
    const char* shown;
};

const Escaping kEscaping[] = {
    {"http://x/?a=1&copy=2", "http://x/?a=1&amp;copy=2"},  // must not read as (c)=2
    {"http://x/<script>alert(1)</script>", "http://x/&lt;script&gt;alert(1)&lt;/script&gt;"},
    {"http://x/\"onload=\"y", "http://x/&quot;onload=&quot;y"},
    {"http://x/'q'", "http://x/&#39;q&#39;"},
    {"http://\xE4\xB8\xAD.example/", "http://\xE4\xB8\xAD.example/"},  // UTF-8 as it is
    {"", ""},
};

TEST(ErrorPage, EscapesAddressAndErrorText) {
    for (const Escaping& c : kEscaping) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(korvex::EscapeHtml(c.text), c.shown);
        const std::string page = korvex::BuildErrorPage(c.text, c.text, -2);
        const std::string expected =
            std::string("Failed to load URL ") + c.shown + " with error " + c.shown + " (-2).";
        EXPECT_NE(page.find(expected), std::string::npos) << page;
    }
}

}  // namespace
