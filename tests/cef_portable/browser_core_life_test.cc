// A browser's life against a scripted engine: the set-up order, adopted pop-ups, failures, the
// order of a close, and closes while the target is made, attached or its frames read.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "scripted_browser.h"

namespace {

using cef_detail::Json;
using cef_test::Log;
using cef_test::Stage;
using Browser = cef_test::ScriptedBrowser;

TEST(BrowserCore, GoesThroughItsLifeCycleAndSetsThePageUpInOrder) {
    Browser b;
    EXPECT_EQ(b.core.stage(), Stage::kMakingTarget);
    b.core.Start();
    EXPECT_EQ(b.connection.Methods(), std::vector<std::string>{"Target.createTarget"});
    EXPECT_EQ(b.Last("Target.createTarget")->session, "");
    ASSERT_TRUE(b.connection.Answer("Target.createTarget", {{"targetId", "T"}}));
    EXPECT_EQ(b.core.stage(), Stage::kAttaching);
    EXPECT_EQ(b.Last("Target.attachToTarget")->params,
              Json::parse(R"({"targetId":"T","flatten":true})"));
    ASSERT_TRUE(b.connection.Answer("Target.attachToTarget", {{"sessionId", "S"}}));
    EXPECT_EQ(b.core.stage(), Stage::kReadingFrameTree);
    EXPECT_EQ(b.core.session_id(), "S");
    const std::vector<std::string> methods = b.connection.Methods();
    const std::vector<std::string> setup(methods.begin() + 2, methods.end());
    EXPECT_EQ(setup,
              (std::vector<std::string>{
                  "Page.enable", "Network.enable", "Fetch.enable", "Target.setAutoAttach",
                  "Emulation.setFocusEmulationEnabled", "Emulation.setDeviceMetricsOverride",
                  "Page.startScreencast", "Runtime.runIfWaitingForDebugger", "Page.getFrameTree"}));
    for (std::size_t i = 2; i < b.connection.sent().size(); ++i) {
        EXPECT_EQ(b.connection.sent()[i].session, "S") << b.connection.sent()[i].method;
    }
    EXPECT_EQ(b.Last("Emulation.setDeviceMetricsOverride")->params.value("width", 0), 800);
    EXPECT_EQ(b.Last("Emulation.setDeviceMetricsOverride")->params.value("height", 0), 600);
    EXPECT_EQ(b.Count("Page.navigate"), 0u);  // not before OnAfterCreated

    ASSERT_TRUE(b.connection.Answer(
        "Page.getFrameTree", {{"frameTree", {{"frame", {{"id", "T"}, {"url", "about:blank"}}}}}}));
    EXPECT_EQ(b.core.stage(), Stage::kNavigating);
    EXPECT_EQ(b.log, (Log{"BindTarget 7 T", "BindSession 7 S", "UpdateFrame T about:blank  parent=",
                          "OnAddressChange T about:blank", "OnAfterCreated"}));
    EXPECT_EQ(b.Last("Page.navigate")->params, Json::parse(R"({"url":"http://start/"})"));
    EXPECT_EQ(b.SessionOf("Page.navigate"), "S");
    EXPECT_TRUE(b.core.has_document());
}

TEST(BrowserCore, AnAdoptedPopupAttachesAtOnceAndLoadsNothing) {
    Browser b("", "P");
    b.shown = false;
    b.core.Start();
    EXPECT_EQ(b.Count("Target.createTarget"), 0u);
    ASSERT_TRUE(b.connection.Answer("Target.attachToTarget", {{"sessionId", "SP"}}));
    EXPECT_EQ(b.Count("Page.startScreencast"), 0u);  // its window cannot be seen
    ASSERT_TRUE(
        b.connection.Answer("Page.getFrameTree", {{"frameTree", {{"frame", {{"id", "P"}}}}}}));
    EXPECT_EQ(b.core.stage(), Stage::kReported);
    EXPECT_EQ(b.Count("Page.navigate"), 0u);
}

TEST(BrowserCore, FailuresToMakeOrAttachTheTargetCloseTheBrowser) {
    for (const char* failing : {"Target.createTarget", "Target.attachToTarget"}) {
        Browser b;
        b.core.Start();
        if (std::string(failing) == "Target.attachToTarget") {
            ASSERT_TRUE(b.connection.Answer("Target.createTarget", {{"targetId", "T"}}));
        }
        ASSERT_TRUE(b.connection.Fail(failing));
        EXPECT_EQ(b.core.stage(), Stage::kClosed) << failing;
        EXPECT_EQ(std::count(b.log.begin(), b.log.end(), "OnAfterCreated"), 0) << failing;
        EXPECT_EQ(std::count(b.log.begin(), b.log.end(), "OnBeforeClose"), 0) << failing;
        EXPECT_EQ(std::count(b.log.begin(), b.log.end(), "Remove 7"), 1) << failing;
    }
}

TEST(BrowserCore, ClosingFinishesInOrderOnce) {
    Browser b;
    b.StartAndAttach();
    b.core.Close();
    EXPECT_EQ(b.log, (Log{"DoClose", "DestroyWindow", "ReleaseView", "CloseTarget T", "Remove 7",
                          "OnBeforeClose", "InvalidateFrames"}));
    EXPECT_EQ(b.core.stage(), Stage::kClosed);
    b.log.clear();
    b.core.Close();
    b.core.Finish();
    // A closed browser hears no more of its page.
    b.core.OnPageEvent("Fetch.requestPaused",
                       Json::parse(R"({"requestId":"R1","resourceType":"Document","frameId":"T",
                                       "request":{"url":"http://a/"}})"),
                       "S");
    b.core.OnPageEvent("Page.frameNavigated", Json::parse(R"({"frame":{"id":"T","url":"x"}})"),
                       "S");
    b.core.SetShown(false);
    EXPECT_TRUE(b.log.empty());
    EXPECT_EQ(b.Count("Fetch.continueRequest"), 0u);
    EXPECT_EQ(b.Count("Page.stopScreencast"), 0u);
}

TEST(BrowserCore, AnOwnerThatClosesTheWindowItselfFinishesTheCloseLater) {
    Browser b;
    b.StartAndAttach();
    b.owner_closes = true;
    b.core.Close();
    EXPECT_EQ(b.log, Log{"DoClose"});
    EXPECT_EQ(b.core.stage(), Stage::kClosing);
    b.core.Close();  // asked again while closing: nothing more
    EXPECT_EQ(b.log, Log{"DoClose"});
    b.core.Finish();  // the window went
    EXPECT_EQ(b.log, (Log{"DoClose", "ReleaseView", "CloseTarget T", "Remove 7", "OnBeforeClose",
                          "InvalidateFrames"}));
}

TEST(BrowserCore, ABrowserWithoutAWindowFinishesAtOnce) {
    Browser b;
    b.StartAndAttach();
    b.has_window = false;
    b.core.Close();
    EXPECT_EQ(b.log, (Log{"DoClose", "DestroyWindow", "ReleaseView", "CloseTarget T", "Remove 7",
                          "OnBeforeClose", "InvalidateFrames"}));
}

TEST(BrowserCore, ClosedWhileItsTargetIsMadeTheTargetIsClosedWhenItArrives) {
    Browser b;
    b.core.Start();
    b.core.Close();
    EXPECT_EQ(b.core.stage(), Stage::kClosed);
    b.log.clear();
    ASSERT_TRUE(b.connection.Answer("Target.createTarget", {{"targetId", "T"}}));
    EXPECT_EQ(b.log, Log{"CloseTarget T"});
    EXPECT_EQ(b.Count("Target.attachToTarget"), 0u);
}

TEST(BrowserCore, ClosedWhileAttachingNeverLearnsItsSession) {
    Browser b;
    b.core.Start();
    ASSERT_TRUE(b.connection.Answer("Target.createTarget", {{"targetId", "T"}}));
    b.core.Close();
    EXPECT_EQ(b.log, (Log{"BindTarget 7 T", "DoClose", "DestroyWindow", "ReleaseView",
                          "CloseTarget T", "Remove 7", "InvalidateFrames"}));  // never reported
    b.log.clear();
    const std::size_t before = b.connection.sent().size();
    ASSERT_TRUE(b.connection.Answer("Target.attachToTarget", {{"sessionId", "S"}}));
    EXPECT_TRUE(b.log.empty());  // no BindSession of a browser the registry no longer holds
    EXPECT_EQ(b.connection.sent().size(), before);
    EXPECT_EQ(b.core.session_id(), "");
}

TEST(BrowserCore, ClosingWhileTheFrameTreeIsReadStillReportsCreationThenTheClose) {
    Browser b;
    b.owner_closes = true;
    b.core.Start();
    ASSERT_TRUE(b.connection.Answer("Target.createTarget", {{"targetId", "T"}}));
    ASSERT_TRUE(b.connection.Answer("Target.attachToTarget", {{"sessionId", "S"}}));
    b.core.Close();
    EXPECT_EQ(b.core.stage(), Stage::kClosing);
    ASSERT_TRUE(
        b.connection.Answer("Page.getFrameTree", {{"frameTree", {{"frame", {{"id", "T"}}}}}}));
    EXPECT_EQ(b.core.stage(), Stage::kClosing);
    EXPECT_EQ(b.Count("Page.navigate"), 1u);
    b.core.Finish();
    const auto created = std::find(b.log.begin(), b.log.end(), "OnAfterCreated");
    const auto closed = std::find(b.log.begin(), b.log.end(), "OnBeforeClose");
    ASSERT_NE(created, b.log.end());
    ASSERT_NE(closed, b.log.end());
    EXPECT_LT(created, closed);
}

TEST(BrowserCore, ClosedBeforeTheFrameTreeArrivesReportsNeither) {
    Browser b;
    b.core.Start();
    ASSERT_TRUE(b.connection.Answer("Target.createTarget", {{"targetId", "T"}}));
    ASSERT_TRUE(b.connection.Answer("Target.attachToTarget", {{"sessionId", "S"}}));
    b.core.Close();
    ASSERT_TRUE(
        b.connection.Answer("Page.getFrameTree", {{"frameTree", {{"frame", {{"id", "T"}}}}}}));
    EXPECT_EQ(std::count(b.log.begin(), b.log.end(), "OnAfterCreated"), 0);
    EXPECT_EQ(std::count(b.log.begin(), b.log.end(), "OnBeforeClose"), 0);
    EXPECT_EQ(b.Count("Page.navigate"), 0u);
}

TEST(BrowserCore, AnAbandonedBrowserIsForgottenWithoutReachingTheEngine) {
    Browser b;
    b.core.Abandon();
    EXPECT_EQ(b.core.stage(), Stage::kClosed);
    EXPECT_EQ(b.log, Log{"Remove 7"});
    EXPECT_TRUE(b.connection.sent().empty());
}

TEST(BrowserCore, RepliesHoldTheBrowserAndCommandsWaitForTheSession) {
    Browser b;
    b.core.SendToPage(cef_detail::commands::Reload());  // not attached: dropped
    EXPECT_TRUE(b.connection.sent().empty());
    b.StartAndAttach();
    // Each command that expects its reply keeps the browser alive until it comes.
    EXPECT_GE(b.keep_alives, 3);
    EXPECT_FALSE(b.trace.empty());
}

}  // namespace
