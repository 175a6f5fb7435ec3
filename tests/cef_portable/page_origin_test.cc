// The origin of a page's address, as the engine's storage commands take it.
#include "browser/page_origin.h"

#include <gtest/gtest.h>

namespace {

TEST(PageOrigin, IsSchemeHostAndPort) {
    struct Case {
        const char* url;
        const char* origin;
    };
    const Case cases[] = {
        {"http://127.0.0.1:47110/game.html?uid=1&sid=12", "http://127.0.0.1:47110"},
        {"https://game.example/", "https://game.example"},
        {"HTTPS://Game.Example/x", "https://Game.Example"},
        {"http://user:pw@host:8080/path#frag", "http://host:8080"},
        {"http://host", "http://host"},
        {"http://host?q=1", "http://host"},
        {"about:blank", ""},
        {"data:text/html,<p>x</p>", ""},
        {"http:///nothing", ""},
        {"://host/", ""},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(cef_detail::PageOrigin(c.url), c.origin) << c.url;
}

}  // namespace
