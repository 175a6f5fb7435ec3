// A browser's page events against a scripted engine: navigation checks for main and
// sub-frames and redirects, a veto reported as -3, load errors with their codes, frame commands
// on the session hosting the frame, frames and address, loading state and history, pop-up
// addresses, dialogs, the screen stream and the cache.
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
using cef_detail::DisplayScale;

struct PausedCase {
    const char* what;
    const char* event;  // params of Fetch.requestPaused
    const char* session;
    const char* asked;  // what OnBeforeBrowse heard; nullptr: not asked
    const char* answer;
};

TEST(BrowserCore, EveryDocumentRequestIsShownToOnBeforeBrowseAndAVetoAbortsIt) {
    const PausedCase cases[] = {
        {"main frame",
         R"({"requestId":"R1","resourceType":"Document","frameId":"T",
             "request":{"url":"http://a/","method":"GET"}})",
         "S", "OnBeforeBrowse T http://a/ GET", "Fetch.continueRequest"},
        {"sub-frame",
         R"({"requestId":"R2","resourceType":"Document","frameId":"F1",
             "request":{"url":"http://a/sub","method":"GET"}})",
         "S", "OnBeforeBrowse F1 http://a/sub GET", "Fetch.continueRequest"},
        {"redirect hop",
         R"({"requestId":"R3","resourceType":"Document","frameId":"T","redirectedRequestId":"R0",
             "request":{"url":"http://b/","method":"POST"}})",
         "S", "OnBeforeBrowse T http://b/ POST redirect", "Fetch.continueRequest"},
        {"vetoed",
         R"({"requestId":"R4","resourceType":"Document","frameId":"T",
             "request":{"url":"http://vetoed/","method":"GET"}})",
         "S", "OnBeforeBrowse T http://vetoed/ GET", "Fetch.failRequest"},
        {"cross-site sub-frame, on its own session",
         R"({"requestId":"R5","resourceType":"Document","frameId":"F2",
             "request":{"url":"http://c/"}})",
         "S2", "OnBeforeBrowse F2 http://c/ GET", "Fetch.continueRequest"},
        {"not a document",
         R"({"requestId":"R6","resourceType":"Image","frameId":"T","request":{"url":"http://i/"}})",
         "S", nullptr, "Fetch.continueRequest"},
    };
    for (const PausedCase& c : cases) {
        Browser b;
        b.StartAndAttach();
        const std::size_t before = b.connection.sent().size();
        b.core.OnPageEvent("Fetch.requestPaused", Json::parse(c.event), c.session);
        SCOPED_TRACE(c.what);
        EXPECT_EQ(b.log, c.asked ? Log{c.asked} : Log{});
        ASSERT_EQ(b.connection.sent().size(), before + 1);
        const auto& answer = b.connection.sent().back();
        EXPECT_EQ(answer.method, c.answer);
        EXPECT_EQ(answer.session, c.session);  // answered where it stopped
        const Json params = Json::parse(c.event);
        EXPECT_EQ(answer.params.value("requestId", ""), params.value("requestId", ""));
        if (answer.method == "Fetch.failRequest") {
            EXPECT_EQ(answer.params.value("errorReason", ""), "Aborted");
        }
    }
}

TEST(BrowserCore, AVetoedNavigationIsReportedAsErrorMinusThree) {
    Browser b;
    b.StartAndAttach();
    b.core.OnPageEvent("Fetch.requestPaused",
                       Json::parse(R"({"requestId":"I1","networkId":"N1","resourceType":"Document",
                                       "frameId":"F1","request":{"url":"http://vetoed/"}})"),
                       "S");
    b.core.OnPageEvent("Network.loadingFailed", Json::parse(R"({"requestId":"N1","type":"Document",
                                       "errorText":"net::ERR_ABORTED"})"),
                       "S");
    EXPECT_EQ(b.log, (Log{"OnBeforeBrowse F1 http://vetoed/ GET",
                          "OnLoadError F1 -3 ERR_ABORTED http://vetoed/"}));
}

struct LoadErrorCase {
    const char* error_text;
    const char* type;
    const char* request_id;
    const char* reported;  // nullptr: nothing
};

TEST(BrowserCore, LoadErrorsOfKnownNavigationsCarryTheEngineCodes) {
    const LoadErrorCase cases[] = {
        {"net::ERR_CONNECTION_REFUSED", "Document", "R1",
         "OnLoadError T -102 ERR_CONNECTION_REFUSED http://a/"},
        {"net::ERR_NAME_NOT_RESOLVED", "Document", "R1",
         "OnLoadError T -105 ERR_NAME_NOT_RESOLVED http://a/"},
        {"net::ERR_ABORTED", "Document", "R1", "OnLoadError T -3 ERR_ABORTED http://a/"},
        {"net::ERR_CONNECTION_REFUSED", "Image", "R1", nullptr},     // not a document
        {"net::ERR_CONNECTION_REFUSED", "Document", "R9", nullptr},  // not a navigation seen
    };
    for (const LoadErrorCase& c : cases) {
        Browser b;
        b.StartAndAttach();
        b.core.OnPageEvent("Fetch.requestPaused",
                           Json::parse(R"({"requestId":"R1","resourceType":"Document",
                                           "frameId":"T","request":{"url":"http://a/"}})"),
                           "S");
        b.log.clear();
        const Json failed = {
            {"requestId", c.request_id}, {"type", c.type}, {"errorText", c.error_text}};
        b.core.OnPageEvent("Network.loadingFailed", failed, "S");
        b.core.OnPageEvent("Network.loadingFailed", failed, "S");  // reported once at most
        EXPECT_EQ(b.log, c.reported ? Log{c.reported} : Log{}) << c.error_text << " " << c.type;
    }
    // A finished navigation cannot fail afterwards.
    Browser b;
    b.StartAndAttach();
    b.core.OnPageEvent("Fetch.requestPaused",
                       Json::parse(R"({"requestId":"R1","resourceType":"Document","frameId":"T",
                                       "request":{"url":"http://a/"}})"),
                       "S");
    b.core.OnPageEvent("Network.loadingFinished", {{"requestId", "R1"}}, "S");
    b.log.clear();
    b.core.OnPageEvent(
        "Network.loadingFailed",
        {{"requestId", "R1"}, {"type", "Document"}, {"errorText", "net::ERR_FAILED"}}, "S");
    EXPECT_TRUE(b.log.empty());
}

TEST(BrowserCore, FrameCommandsGoToTheSessionThatHostsTheFrame) {
    Browser b;
    b.StartAndAttach();
    auto load_string = [&b](const std::string& frame) {
        b.core.SendToFrame(frame, cef_detail::commands::SetDocumentContent(frame, "<p>x</p>"));
        return b.SessionOf("Page.setDocumentContent");
    };
    EXPECT_EQ(load_string("T"), "S");
    EXPECT_EQ(load_string("F1"), "S");  // a same-site sub-frame lives in the page's process
    // A cross-site sub-frame attaches as a session of its own, set up like the page's.
    b.core.OnPageEvent("Target.attachedToTarget",
                       Json::parse(R"({"sessionId":"S2","targetInfo":{"type":"iframe",
                                       "targetId":"F2"}})"),
                       "S");
    EXPECT_EQ(b.log, Log{"BindSession 7 S2"});
    for (const char* method : {"Page.enable", "Network.enable", "Fetch.enable",
                               "Target.setAutoAttach", "Runtime.runIfWaitingForDebugger"}) {
        EXPECT_EQ(b.SessionOf(method), "S2") << method;
    }
    EXPECT_EQ(load_string("F2"), "S2");
    EXPECT_EQ(load_string("F1"), "S");
    EXPECT_EQ(load_string("T"), "S");
    // Once it detaches, its commands go to the page again.
    b.core.OnPageEvent("Target.detachedFromTarget", {{"sessionId", "S2"}}, "S");
    EXPECT_EQ(b.log.back(), "UnbindSession 7 S2");
    EXPECT_EQ(load_string("F2"), "S");
    // The page's own session detaching is the registry's business, not a sub-frame's end.
    b.log.clear();
    b.core.OnPageEvent("Target.detachedFromTarget", {{"sessionId", "S"}}, "");
    EXPECT_TRUE(b.log.empty());
}

TEST(BrowserCore, WorkersAreLetGoAtOnce) {
    Browser b;
    b.StartAndAttach();
    const std::size_t before = b.connection.sent().size();
    b.core.OnPageEvent("Target.attachedToTarget",
                       Json::parse(R"({"sessionId":"W1","targetInfo":{"type":"worker",
                                       "targetId":"W"}})"),
                       "S");
    EXPECT_TRUE(b.log.empty());  // no session bound
    ASSERT_EQ(b.connection.sent().size(), before + 2);
    EXPECT_EQ(b.connection.sent()[before].method, "Runtime.runIfWaitingForDebugger");
    EXPECT_EQ(b.connection.sent()[before].session, "W1");
    EXPECT_EQ(b.connection.sent()[before + 1].method, "Target.detachFromTarget");
    EXPECT_EQ(b.connection.sent()[before + 1].session, "S");
    EXPECT_EQ(b.connection.sent()[before + 1].params, Json({{"sessionId", "W1"}}));
}

TEST(BrowserCore, FrameEventsKeepTheFramesAndTheAddressUpToDate) {
    Browser b;
    b.StartAndAttach();
    b.core.OnPageEvent("Page.frameAttached", {{"frameId", "F1"}, {"parentFrameId", "T"}}, "S");
    b.core.OnPageEvent("Page.frameNavigated",
                       Json::parse(R"({"frame":{"id":"F1","parentId":"T","name":"f",
                                       "url":"http://a/sub"}})"),
                       "S");
    // The top frame of a sub-frame session names no parent: the page's session told it.
    b.core.OnPageEvent("Page.frameNavigated",
                       Json::parse(R"({"frame":{"id":"F2","url":"http://c/"}})"), "S2");
    // An error page keeps the address that failed.
    b.core.OnPageEvent("Page.frameNavigated",
                       Json::parse(R"({"frame":{"id":"T","url":"chrome-error://chromewebdata/",
                                       "unreachableUrl":"http://down/"}})"),
                       "S");
    b.core.OnPageEvent("Page.frameDetached", {{"frameId", "F2"}, {"reason", "swap"}}, "S");
    b.core.OnPageEvent("Page.frameDetached", {{"frameId", "F1"}, {"reason", "remove"}}, "S");
    b.core.OnPageEvent("Page.frameDetached", {{"frameId", "F3"}}, "S");
    EXPECT_EQ(b.log, (Log{"SetFrameParent F1 T", "UpdateFrame F1 http://a/sub f parent=T",
                          "UpdateFrame F2 http://c/  parent kept",
                          "UpdateFrame T http://down/  parent=", "OnAddressChange T http://down/",
                          "RemoveFrame F1", "RemoveFrame F3"}));
}

TEST(BrowserCore, LoadingOfTheTopFrameSetsTheStateAndTheHistory) {
    Browser b;
    b.StartAndAttach();
    const std::size_t histories = b.Count("Page.getNavigationHistory");
    b.core.OnPageEvent("Page.frameStartedLoading", {{"frameId", "T"}}, "S");
    b.core.OnPageEvent("Page.frameStartedLoading", {{"frameId", "F1"}}, "S");
    b.core.OnPageEvent("Page.frameStoppedLoading", {{"frameId", "F1"}}, "S");
    EXPECT_EQ(b.Count("Page.getNavigationHistory"), histories);  // sub-frames change nothing
    b.core.OnPageEvent("Page.frameStoppedLoading", {{"frameId", "T"}}, "S");
    EXPECT_EQ(b.log, (Log{"OnLoadStart T main loading", "OnLoadStart F1 loading",
                          "OnLoadEnd F1 loading", "OnLoadEnd T main"}));
    ASSERT_EQ(b.Count("Page.getNavigationHistory"), histories + 1);
    EXPECT_FALSE(b.core.can_go_back());
    // Answers in order: the history asked for after the first frame tree, then this one.
    while (b.connection.Answer("Page.getNavigationHistory", Json::parse(R"({"currentIndex":1,
                                               "entries":[{"id":1},{"id":2},{"id":3}]})"))) {
    }
    EXPECT_TRUE(b.core.can_go_back());
    EXPECT_TRUE(b.core.can_go_forward());
}

TEST(BrowserCore, HistoryStepsNavigateToTheNeighbouringEntry) {
    struct Row {
        int offset;
        int current;
        long long entry;  // -1: no navigation
    };
    const Row rows[] = {{-1, 1, 11}, {1, 1, 13}, {-1, 0, -1}, {1, 2, -1}};
    for (const Row& r : rows) {
        Browser b;
        b.StartAndAttach();
        while (b.connection.Answer("Page.getNavigationHistory")) {
        }
        b.core.GoInHistory(r.offset);
        ASSERT_TRUE(
            b.connection.Answer("Page.getNavigationHistory",
                                {{"currentIndex", r.current},
                                 {"entries", Json::parse(R"([{"id":11},{"id":12},{"id":13}])")}}));
        const auto* step = b.Last("Page.navigateToHistoryEntry");
        if (r.entry < 0) {
            EXPECT_EQ(step, nullptr) << r.offset << " from " << r.current;
        } else {
            ASSERT_NE(step, nullptr);
            EXPECT_EQ(step->params, Json({{"entryId", r.entry}}));
            EXPECT_EQ(step->session, "S");
        }
    }
}

TEST(BrowserCore, PopupAddressesAreTakenInTheOrderThePageOpenedThem) {
    Browser b;
    b.StartAndAttach();
    EXPECT_EQ(b.core.TakePendingPopupUrl(), "");
    b.core.OnPageEvent("Page.windowOpen", {{"url", "http://pop/1"}}, "S");
    b.core.OnPageEvent("Page.windowOpen", {{"url", "http://pop/2"}}, "S");
    EXPECT_EQ(b.core.TakePendingPopupUrl(), "http://pop/1");
    EXPECT_EQ(b.core.TakePendingPopupUrl(), "http://pop/2");
    EXPECT_EQ(b.core.TakePendingPopupUrl(), "");
}

Json Dialog(const char* type, const char* message) {
    return {{"type", type}, {"message", message}, {"url", "http://a/"}};
}

TEST(BrowserCore, ADialogWaitsForThePlayerAndTheAnswerGoesToTheSessionThatOpenedIt) {
    Browser b;
    b.StartAndAttach();
    b.core.OnPageEvent("Page.javascriptDialogOpening", Dialog("confirm", "buy?"), "S2");
    EXPECT_EQ(b.log, Log{"OpenDialog buy?"});
    EXPECT_EQ(b.Count("Page.handleJavaScriptDialog"), 0u);  // the page waits
    b.core.AnswerDialog(false, "");
    EXPECT_EQ(b.SessionOf("Page.handleJavaScriptDialog"), "S2");
    EXPECT_EQ(b.Last("Page.handleJavaScriptDialog")->params, Json({{"accept", false}}));
    b.core.AnswerDialog(true, "");  // nothing open: nothing sent
    EXPECT_EQ(b.Count("Page.handleJavaScriptDialog"), 1u);
    // The engine reports the dialog closed after the answer: nothing more happens.
    b.core.OnPageEvent("Page.javascriptDialogClosed", {{"result", false}}, "S2");
    EXPECT_EQ(b.log, Log{"OpenDialog buy?"});
}

TEST(BrowserCore, ASecondDialogWaitsForTheFirstToBeAnswered) {
    Browser b;
    b.StartAndAttach();
    b.core.OnPageEvent("Page.javascriptDialogOpening", Dialog("alert", "one"), "S");
    b.core.OnPageEvent("Page.javascriptDialogOpening", Dialog("prompt", "two"), "S2");
    EXPECT_EQ(b.log, Log{"OpenDialog one"});
    EXPECT_EQ(b.core.waiting_dialogs(), 2u);
    b.core.AnswerDialog(true, "");
    EXPECT_EQ(b.log, (Log{"OpenDialog one", "OpenDialog two"}));
    EXPECT_EQ(b.SessionOf("Page.handleJavaScriptDialog"), "S");
    b.core.AnswerDialog(true, "typed");
    EXPECT_EQ(b.SessionOf("Page.handleJavaScriptDialog"), "S2");
    EXPECT_EQ(b.Last("Page.handleJavaScriptDialog")->params,
              Json({{"accept", true}, {"promptText", "typed"}}));
    EXPECT_EQ(b.core.waiting_dialogs(), 0u);
}

TEST(BrowserCore, ADialogOfAHiddenWindowWaitsUntilTheWindowIsSeen) {
    Browser b;
    b.StartAndAttach();
    b.shown = false;
    b.core.SetShown(false);
    b.log.clear();
    b.core.OnPageEvent("Page.javascriptDialogOpening", Dialog("alert", "notice"), "S");
    EXPECT_TRUE(b.log.empty());
    b.shown = true;
    b.core.SetShown(true);
    EXPECT_EQ(b.log, Log{"OpenDialog notice"});
    // Hidden again while it is open: it goes out of sight and comes back as it was.
    b.shown = false;
    b.core.SetShown(false);
    b.shown = true;
    b.core.SetShown(true);
    EXPECT_EQ(b.log, (Log{"OpenDialog notice", "ShowDialog hidden", "ShowDialog shown"}));
    EXPECT_EQ(b.Count("Page.handleJavaScriptDialog"), 0u);
}

TEST(BrowserCore, AWindowThatReportsBeingSeenWhenAskedOpensTheDialogOnce) {
    Browser b;
    b.StartAndAttach();
    b.shown = true;
    b.shown_news = true;  // seen again, and the periodic check has not told yet
    b.core.OnPageEvent("Page.javascriptDialogOpening", Dialog("alert", "once"), "S");
    EXPECT_EQ(b.log, Log{"OpenDialog once"});
    // Hidden when asked: it waits for the window.
    Browser h;
    h.StartAndAttach();
    h.shown = false;
    h.shown_news = false;
    h.core.OnPageEvent("Page.javascriptDialogOpening", Dialog("alert", "later"), "S");
    EXPECT_TRUE(h.log.empty());
    h.shown = true;
    h.core.SetShown(true);
    EXPECT_EQ(h.log, Log{"OpenDialog later"});
}

TEST(BrowserCore, ClosingWithDialogsUpClosesThemAndRefusesThem) {
    Browser b;
    b.StartAndAttach();
    b.core.OnPageEvent("Page.javascriptDialogOpening", Dialog("confirm", "buy?"), "S");
    b.core.OnPageEvent("Page.javascriptDialogOpening", Dialog("confirm", "sub"), "S2");
    b.log.clear();
    b.core.Close();
    EXPECT_EQ(b.log, (Log{"CloseDialog", "DoClose", "DestroyWindow", "ReleaseView", "CloseTarget T",
                          "Remove 7", "OnBeforeClose", "InvalidateFrames"}));
    EXPECT_EQ(b.Count("Page.handleJavaScriptDialog"), 2u);
    EXPECT_EQ(b.Last("Page.handleJavaScriptDialog")->params, Json({{"accept", false}}));
    b.core.AnswerDialog(true, "");  // a late click changes nothing
    EXPECT_EQ(b.Count("Page.handleJavaScriptDialog"), 2u);
}

TEST(BrowserCore, ADialogOpeningWhileClosingIsRefusedAtOnce) {
    Browser b;
    b.StartAndAttach();
    b.owner_closes = true;
    b.core.Close();
    b.log.clear();
    b.core.OnPageEvent("Page.javascriptDialogOpening", Dialog("confirm", "late"), "S");
    EXPECT_TRUE(b.log.empty());
    EXPECT_EQ(b.Last("Page.handleJavaScriptDialog")->params, Json({{"accept", false}}));
}

TEST(BrowserCore, ADialogTheEngineEndedGoesAndTheNextOpens) {
    Browser b;
    b.StartAndAttach();
    b.core.OnPageEvent("Page.javascriptDialogOpening", Dialog("alert", "one"), "S2");
    b.core.OnPageEvent("Page.javascriptDialogOpening", Dialog("alert", "two"), "S");
    b.core.OnPageEvent("Page.javascriptDialogClosed", {{"result", true}}, "S2");
    EXPECT_EQ(b.log, (Log{"OpenDialog one", "CloseDialog", "OpenDialog two"}));
    EXPECT_EQ(b.Count("Page.handleJavaScriptDialog"), 0u);
    EXPECT_EQ(b.core.waiting_dialogs(), 1u);
}

TEST(BrowserCore, ScreenFramesStreamOnlyWhileTheWindowIsSeen) {
    Browser b;
    b.StartAndAttach();
    EXPECT_EQ(b.Count("Page.startScreencast"), 1u);
    b.core.SetShown(true);
    EXPECT_EQ(b.Count("Page.startScreencast"), 1u);
    b.core.SetShown(false);
    b.core.SetShown(false);
    EXPECT_EQ(b.Count("Page.stopScreencast"), 1u);
    b.core.SetShown(true);
    EXPECT_EQ(b.Count("Page.startScreencast"), 2u);
    b.core.ApplyViewport(0, 100);  // minimised: the viewport stays
    b.core.ApplyViewport(640, 0);
    EXPECT_EQ(b.Count("Emulation.setDeviceMetricsOverride"), 1u);
    b.core.ApplyViewport(640, 480);
    EXPECT_EQ(b.Last("Emulation.setDeviceMetricsOverride")->params.value("width", 0), 640);
}

// The page is laid out in CSS pixels at the window's ratio, covering the whole window, in a
// view of the window's pixels.
TEST(BrowserCore, TheViewportFollowsTheWindowsDisplayScale) {
    struct Case {
        const char* name;
        DisplayScale scale;
        int width, height;          // window pixels
        int css_width, css_height;  // expected
    };
    const Case cases[] = {
        {"96 dpi", DisplayScale::ForDpi(96), 1200, 900, 1200, 900},
        {"144 dpi", DisplayScale::ForDpi(144), 1200, 900, 800, 600},
        {"144 dpi, not a multiple", DisplayScale::ForDpi(144), 1001, 7, 668, 5},
        {"120 dpi", DisplayScale::ForDpi(120), 1000, 500, 800, 400},
        {"fixed 1 on a 192-dpi display", DisplayScale::Fixed(1), 1200, 900, 1200, 900},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Browser b;
        b.scale = c.scale;
        b.StartAndAttach();
        b.core.ApplyViewport(c.width, c.height);
        const Json& params = b.Last("Emulation.setDeviceMetricsOverride")->params;
        EXPECT_EQ(params.value("width", 0), c.css_width);
        EXPECT_EQ(params.value("height", 0), c.css_height);
        EXPECT_DOUBLE_EQ(params.value("deviceScaleFactor", 0.0), c.scale.ratio());
        if (c.scale.ratio() == 1) {
            EXPECT_EQ(b.Count("Emulation.setVisibleSize"), 0u);
            continue;
        }
        ASSERT_TRUE(b.Last("Emulation.setVisibleSize"));
        const Json& view = b.Last("Emulation.setVisibleSize")->params;
        EXPECT_EQ(view.value("width", 0), c.width);
        EXPECT_EQ(view.value("height", 0), c.height);
    }
}

TEST(BrowserCore, ClearingTheCacheEmptiesTheEngineCacheThenTheOrigin) {
    for (const char* origin : {"http://a:8080", ""}) {
        Browser b;
        b.StartAndAttach();
        int done = 0;
        b.core.ClearCache([origin] { return std::string(origin); }, [&done] { ++done; });
        EXPECT_EQ(b.SessionOf("Network.clearBrowserCache"), "S");
        EXPECT_EQ(done, 0);
        ASSERT_TRUE(b.connection.Answer("Network.clearBrowserCache"));
        if (*origin) {
            EXPECT_EQ(done, 0);
            EXPECT_EQ(b.SessionOf("Storage.clearDataForOrigin"), "");
            EXPECT_EQ(b.Last("Storage.clearDataForOrigin")->params.value("origin", ""), origin);
            ASSERT_TRUE(b.connection.Answer("Storage.clearDataForOrigin"));
        } else {
            EXPECT_EQ(b.Count("Storage.clearDataForOrigin"), 0u);
        }
        EXPECT_EQ(done, 1) << origin;
    }
    // Not attached yet: done at once, nothing sent, the origin not even asked for.
    Browser b;
    int done = 0;
    bool asked = false;
    b.core.ClearCache(
        [&asked] {
            asked = true;
            return std::string("http://a");
        },
        [&done] { ++done; });
    EXPECT_EQ(done, 1);
    EXPECT_FALSE(asked);
    EXPECT_TRUE(b.connection.sent().empty());
}

}  // namespace
