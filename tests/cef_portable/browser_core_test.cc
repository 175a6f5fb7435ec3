// What a browser does with its page, driven by a scripted engine: the life cycle and close
// order, navigation checks, load errors, frames, sub-frame sessions, pop-up addresses, history
// and the cache.
#include "browser/browser_core.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "fake_connection.h"

namespace {

using cef_detail::BrowserCore;
using cef_detail::Json;
using cef_test::FakeConnection;
using Stage = BrowserCore::Stage;

constexpr int kId = 7;

// The browser object above the core and the registry beside it: both record what they are
// told, in one log, so the order of a close can be read off.
class Browser : public BrowserCore::Delegate, public cef_detail::BrowserDirectory {
  public:
    explicit Browser(std::string url = "http://start/", std::string target_id = {})
        : core(
              kId, connection, *this, *this, [this](const std::string& t) { trace.push_back(t); },
              std::move(url), std::move(target_id)) {}

    // Scripts the engine up to the page's first frame tree.
    void StartAndAttach(const std::string& target = "T", const std::string& session = "S") {
        core.Start();
        if (connection.Pending("Target.createTarget")) {
            ASSERT_TRUE(connection.Answer("Target.createTarget", {{"targetId", target}}));
        }
        ASSERT_TRUE(connection.Answer("Target.attachToTarget", {{"sessionId", session}}));
        ASSERT_TRUE(connection.Answer(
            "Page.getFrameTree",
            {{"frameTree", {{"frame", {{"id", target}, {"url", "about:blank"}}}}}}));
        log.clear();
    }
    // The session of the last command of method; "-" when there was none.
    std::string SessionOf(const std::string& method) const {
        for (auto it = connection.sent().rbegin(); it != connection.sent().rend(); ++it) {
            if (it->method == method) return it->session;
        }
        return "-";
    }
    const FakeConnection::Sent* Last(const std::string& method) const {
        for (auto it = connection.sent().rbegin(); it != connection.sent().rend(); ++it) {
            if (it->method == method) return &*it;
        }
        return nullptr;
    }
    std::size_t Count(const std::string& method) const {
        std::size_t n = 0;
        for (const auto& s : connection.sent()) n += s.method == method;
        return n;
    }

    // BrowserCore::Delegate
    std::shared_ptr<void> KeepAlive() override {
        ++keep_alives;
        return {};
    }
    std::pair<int, int> ClientSize() override { return size; }
    bool WindowShown() override { return shown; }
    void OnAfterCreated() override { log.push_back("OnAfterCreated"); }
    bool DoClose() override {
        log.push_back("DoClose");
        return owner_closes;
    }
    bool DestroyWindow() override {
        log.push_back("DestroyWindow");
        if (!has_window) return false;
        core.Finish();  // as WM_DESTROY does, inside DestroyWindow
        return true;
    }
    void ReleaseView() override { log.push_back("ReleaseView"); }
    void OnBeforeClose() override { log.push_back("OnBeforeClose"); }
    void InvalidateFrames() override { log.push_back("InvalidateFrames"); }
    void UpdateFrame(const std::string& frame_id, const std::string& url, const std::string& name,
                     const std::optional<std::string>& parent_id) override {
        log.push_back("UpdateFrame " + frame_id + " " + url + " " + name + " " +
                      (parent_id ? "parent=" + *parent_id : "parent kept"));
    }
    void SetFrameParent(const std::string& frame_id, const std::string& parent_id) override {
        log.push_back("SetFrameParent " + frame_id + " " + parent_id);
    }
    void RemoveFrame(const std::string& frame_id) override {
        log.push_back("RemoveFrame " + frame_id);
    }
    bool OnBeforeBrowse(const std::string& frame_id, const std::string& url,
                        const std::string& method, bool redirect) override {
        log.push_back("OnBeforeBrowse " + frame_id + " " + url + " " + method +
                      (redirect ? " redirect" : ""));
        return url == veto;
    }
    void OnLoadError(const std::string& frame_id, int code, const std::string& name,
                     const std::string& url) override {
        log.push_back("OnLoadError " + frame_id + " " + std::to_string(code) + " " + name + " " +
                      url);
    }
    void OnFrameLoading(const std::string& frame_id, bool started, bool main) override {
        log.push_back(std::string(started ? "OnLoadStart " : "OnLoadEnd ") + frame_id +
                      (main ? " main" : "") + (core.loading() ? " loading" : ""));
    }
    void OnAddressChange(const std::string& frame_id, const std::string& url) override {
        log.push_back("OnAddressChange " + frame_id + " " + url);
    }

    // BrowserDirectory
    void BindTarget(int id, const std::string& target) override {
        log.push_back("BindTarget " + std::to_string(id) + " " + target);
    }
    void BindSession(int id, const std::string& session) override {
        log.push_back("BindSession " + std::to_string(id) + " " + session);
    }
    void UnbindSession(int id, const std::string& session) override {
        log.push_back("UnbindSession " + std::to_string(id) + " " + session);
    }
    void Remove(int id) override { log.push_back("Remove " + std::to_string(id)); }
    void CloseTarget(const std::string& target) override { log.push_back("CloseTarget " + target); }

    FakeConnection connection;
    std::vector<std::string> log;
    std::vector<std::string> trace;
    std::pair<int, int> size{800, 600};
    bool shown = true;
    bool owner_closes = false;
    bool has_window = true;
    std::string veto = "http://vetoed/";
    int keep_alives = 0;
    BrowserCore core;
};

using Log = std::vector<std::string>;

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

TEST(BrowserCore, DialogsAreAcceptedOnTheSessionThatOpenedThem) {
    Browser b;
    b.StartAndAttach();
    b.core.OnPageEvent("Page.javascriptDialogOpening", {{"type", "alert"}}, "S2");
    EXPECT_EQ(b.SessionOf("Page.handleJavaScriptDialog"), "S2");
    EXPECT_EQ(b.Last("Page.handleJavaScriptDialog")->params, Json({{"accept", true}}));
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
