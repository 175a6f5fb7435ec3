// The engine's browser-level events routed to browsers: session events, pages gone on their
// own, pop-up candidates, and closes asked again until the engine reports them done.
#include "browser/browser_routes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_connection.h"

namespace {

using cef_detail::BrowserRoutes;
using cef_detail::Json;
using Log = std::vector<std::string>;

class Browsers : public BrowserRoutes::Browsers {
  public:
    void OnPageEvent(int id, const std::string& method, const Json&,
                     const std::string& session) override {
        log.push_back("event " + std::to_string(id) + " " + method + " " + session);
    }
    void OnPageGone(int id) override { log.push_back("gone " + std::to_string(id)); }
    void OnRendererEnded(int id, const std::string& status) override {
        log.push_back("renderer ended " + std::to_string(id) + " " + status);
    }
    void OnPopupTarget(int opener, const std::string& target, const std::string& url) override {
        log.push_back("popup " + std::to_string(opener) + " " + target + " " + url);
    }
    Log log;
};

class BrowserRoutesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(routes.SetConnection(connection));
        routes.BindTarget(1, "T1");
        routes.BindSession(1, "S1");
        routes.BindTarget(2, "T2");
        routes.BindSession(2, "S2");
    }
    std::size_t Closes(const std::string& target) const {
        std::size_t n = 0;
        for (const auto& s : connection.sent()) {
            n += s.method == "Target.closeTarget" && s.params.value("targetId", "") == target &&
                 s.session.empty();
        }
        return n;
    }

    cef_test::FakeConnection connection;
    Browsers browsers;
    BrowserRoutes routes{browsers};
};

TEST_F(BrowserRoutesTest, SessionEventsReachTheirBrowserOnly) {
    routes.OnEvent("Page.frameNavigated", Json::object(), "S2");
    routes.OnEvent("Page.frameNavigated", Json::object(), "S1");
    routes.OnEvent("Page.frameNavigated", Json::object(), "S9");  // nobody's
    routes.BindSession(1, "S1b");                                 // a sub-frame of browser 1
    routes.OnEvent("Fetch.requestPaused", Json::object(), "S1b");
    routes.UnbindSession(2, "S1b");  // not browser 2's: stays
    routes.OnEvent("Fetch.requestPaused", Json::object(), "S1b");
    routes.UnbindSession(1, "S1b");
    routes.OnEvent("Fetch.requestPaused", Json::object(), "S1b");
    EXPECT_EQ(browsers.log,
              (Log{"event 2 Page.frameNavigated S2", "event 1 Page.frameNavigated S1",
                   "event 1 Fetch.requestPaused S1b", "event 1 Fetch.requestPaused S1b"}));
    EXPECT_FALSE(routes.BySession("S1b"));
    EXPECT_EQ(routes.BySession("S1"), 1);
    EXPECT_EQ(routes.ByTarget("T2"), 2);
}

TEST_F(BrowserRoutesTest, AForgottenBrowserHearsNothingMore) {
    routes.Forget(1);
    routes.OnEvent("Page.frameNavigated", Json::object(), "S1");
    routes.OnEvent("Target.targetDestroyed", {{"targetId", "T1"}}, "");
    EXPECT_TRUE(browsers.log.empty());
    EXPECT_FALSE(routes.ByTarget("T1"));
    EXPECT_EQ(routes.ByTarget("T2"), 2);
}

struct PopupCase {
    const char* what;
    const char* info;   // targetInfo of Target.targetCreated
    const char* heard;  // nullptr: no pop-up
};

TEST_F(BrowserRoutesTest, NewPagesOpenedByABrowsersPageArePopupCandidates) {
    const PopupCase cases[] = {
        {"opened by browser 1", R"({"type":"page","targetId":"P1","openerId":"T1",
                                    "url":"http://pop/"})",
         "popup 1 P1 http://pop/"},
        {"opened by browser 2, no address yet",
         R"({"type":"page","targetId":"P2","openerId":"T2"})", "popup 2 P2 "},
        {"no opener", R"({"type":"page","targetId":"P3","url":"http://x/"})", nullptr},
        {"opener not a browser", R"({"type":"page","targetId":"P4","openerId":"T9"})", nullptr},
        {"not a page", R"({"type":"iframe","targetId":"F1","openerId":"T1"})", nullptr},
        {"a worker", R"({"type":"service_worker","targetId":"W1","openerId":"T1"})", nullptr},
    };
    for (const PopupCase& c : cases) {
        browsers.log.clear();
        routes.OnEvent("Target.targetCreated", {{"targetInfo", Json::parse(c.info)}}, "");
        EXPECT_EQ(browsers.log, c.heard ? Log{c.heard} : Log{}) << c.what;
    }
    // An event of that name on a page's session is the page's own.
    browsers.log.clear();
    routes.OnEvent(
        "Target.targetCreated",
        {{"targetInfo", Json::parse(R"({"type":"page","targetId":"P5","openerId":"T1"})")}}, "S2");
    EXPECT_EQ(browsers.log, Log{"event 2 Target.targetCreated S2"});
}

TEST(BrowserRoutes, NoPopupsBeforeThereIsAConnection) {
    Browsers browsers;
    BrowserRoutes routes(browsers);
    routes.BindTarget(1, "T1");
    routes.OnEvent("Target.targetCreated",
                   {{"targetInfo", {{"type", "page"}, {"targetId", "P"}, {"openerId", "T1"}}}}, "");
    routes.CloseTarget("T1");  // nothing to send it on
    EXPECT_TRUE(browsers.log.empty());
}

TEST_F(BrowserRoutesTest, PagesGoneOnTheirOwnCloseTheirBrowsers) {
    routes.OnEvent("Target.targetDestroyed", {{"targetId", "T2"}}, "");
    routes.OnEvent("Target.detachedFromTarget",
                   {{"sessionId", "S1"}, {"targetInfo", {{"targetId", "T1"}}}}, "");
    routes.OnEvent("Target.targetDestroyed", {{"targetId", "T9"}}, "");
    EXPECT_EQ(browsers.log, (Log{"gone 2", "gone 1"}));
}

TEST_F(BrowserRoutesTest, AClosedTargetIsAskedAgainUntilItIsDestroyed) {
    routes.CloseTarget("");  // no page yet: nothing to close
    EXPECT_TRUE(connection.sent().empty());
    routes.CloseTarget("T1");
    EXPECT_EQ(Closes("T1"), 1u);
    // The close was lost: the page changes on, and is asked again each time.
    routes.OnEvent("Target.targetInfoChanged", {{"targetInfo", {{"targetId", "T1"}}}}, "");
    routes.OnEvent("Target.targetInfoChanged", {{"targetInfo", {{"targetId", "T1"}}}}, "");
    EXPECT_EQ(Closes("T1"), 3u);
    // Other pages' changes ask nothing.
    routes.OnEvent("Target.targetInfoChanged", {{"targetInfo", {{"targetId", "T2"}}}}, "");
    EXPECT_EQ(Closes("T2"), 0u);
    // Detached is not destroyed: still asked.
    routes.OnEvent("Target.detachedFromTarget", {{"targetId", "T1"}}, "");
    routes.OnEvent("Target.targetInfoChanged", {{"targetInfo", {{"targetId", "T1"}}}}, "");
    EXPECT_EQ(Closes("T1"), 4u);
    // Destroyed: no more.
    routes.OnEvent("Target.targetDestroyed", {{"targetId", "T1"}}, "");
    routes.OnEvent("Target.targetInfoChanged", {{"targetInfo", {{"targetId", "T1"}}}}, "");
    EXPECT_EQ(Closes("T1"), 4u);
}

TEST_F(BrowserRoutesTest, TheConnectionIsTakenOnce) {
    EXPECT_FALSE(routes.SetConnection(connection));
    EXPECT_EQ(routes.connection(), &connection);
}

}  // namespace
