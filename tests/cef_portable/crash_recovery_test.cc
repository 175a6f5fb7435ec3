// What the library does when a page's renderer or the engine itself dies: the engine's crash
// report read and routed to its browser, the page loaded again once and then shown its error
// page, the browser made again in a new engine on its last address, and how often an engine is
// started again.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "browser/browser_routes.h"
#include "browser/crash_reload_policy.h"
#include "browser/termination_status.h"
#include "core/restart_budget.h"
#include "devtools/events.h"
#include "scripted_browser.h"

namespace {

using cef_detail::CrashReloadPolicy;
using cef_detail::Json;
using cef_detail::RestartBudget;
using cef_test::Log;
using cef_test::Stage;
using Browser = cef_test::ScriptedBrowser;
using std::chrono::seconds;

const auto kStart = std::chrono::steady_clock::time_point() + std::chrono::hours(1);

// ---- reading and routing the engine's report ----

struct ReportCase {
    const char* what;
    const char* params;
    const char* target;  // empty: the report reaches no browser
    const char* status;
    int code;
};
// Cases print by name.
void PrintTo(const ReportCase& c, std::ostream* out) { *out << '"' << c.what << '"'; }

class TargetCrashedReport : public ::testing::TestWithParam<ReportCase> {};

TEST_P(TargetCrashedReport, ReadsWhatItSaysAndDefaultsTheRest) {
    const ReportCase& c = GetParam();
    const auto crashed = cef_detail::events::As<cef_detail::events::TargetCrashed>(
        "Target.targetCrashed", Json::parse(c.params));
    ASSERT_TRUE(crashed);
    EXPECT_EQ(crashed->target_id, c.target);
    EXPECT_EQ(crashed->status, c.status);
    EXPECT_EQ(crashed->error_code, c.code);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, TargetCrashedReport,
    ::testing::Values(
        ReportCase{"Killed", R"({"targetId":"T1","status":"killed","errorCode":9})", "T1", "killed",
                   9},
        ReportCase{"NoCode", R"({"targetId":"T2","status":"crashed"})", "T2", "crashed", 0},
        ReportCase{"WrongTypes", R"({"targetId":"T3","status":7,"errorCode":"9"})", "T3", "", 0},
        ReportCase{"NoTarget", R"({"status":"killed","errorCode":9})", "", "killed", 9},
        ReportCase{"NotAnObject", R"(["T1"])", "", "", 0}),
    [](const auto& info) { return std::string(info.param.what); });

struct StatusCase {
    const char* engine;
    TerminationStatus status;
    const char* text;
};
// Cases print by name.
void PrintTo(const StatusCase& c, std::ostream* out) { *out << '"' << c.engine << '"'; }

class EngineStatus : public ::testing::TestWithParam<StatusCase> {};

TEST_P(EngineStatus, MapsToTheHandlersStatusAndTheErrorText) {
    const StatusCase& c = GetParam();
    EXPECT_EQ(cef_detail::TerminationStatusFromEngine(c.engine), c.status);
    EXPECT_EQ(cef_detail::TerminationErrorText(c.status), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, EngineStatus,
    ::testing::Values(StatusCase{"killed", TS_PROCESS_WAS_KILLED, "RENDERER_KILLED"},
                      StatusCase{"crashed", TS_PROCESS_CRASHED, "RENDERER_CRASHED"},
                      StatusCase{"oom", TS_PROCESS_OOM, "RENDERER_OUT_OF_MEMORY"},
                      StatusCase{"abnormal", TS_ABNORMAL_TERMINATION, "RENDERER_ENDED_ABNORMALLY"},
                      StatusCase{"", TS_ABNORMAL_TERMINATION, "RENDERER_ENDED_ABNORMALLY"},
                      StatusCase{"something new", TS_ABNORMAL_TERMINATION,
                                 "RENDERER_ENDED_ABNORMALLY"}),
    [](const auto& info) {
        std::string name = *info.param.engine ? info.param.engine : "empty";
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

class Browsers : public cef_detail::BrowserRoutes::Browsers {
  public:
    void OnPageEvent(int, const std::string&, const Json&, const std::string&) override {}
    void OnPageGone(int id) override { log.push_back("gone " + std::to_string(id)); }
    void OnPopupTarget(int, const std::string&, const std::string&) override {}
    void OnRendererEnded(int id, const std::string& status) override {
        log.push_back("renderer ended " + std::to_string(id) + " " + status);
    }
    Log log;
};

TEST(CrashRoutes, TheReportReachesTheBrowserOfTheTargetAndForgottenEnginesReachNobody) {
    cef_test::FakeConnection connection;
    Browsers browsers;
    cef_detail::BrowserRoutes routes(browsers);
    ASSERT_TRUE(routes.SetConnection(connection));
    routes.BindTarget(1, "T1");
    routes.BindSession(1, "S1");
    routes.BindTarget(2, "T2");
    routes.OnEvent("Target.targetCrashed", {{"targetId", "T2"}, {"status", "killed"}}, "");
    routes.OnEvent("Target.targetCrashed", {{"targetId", "F9"}, {"status", "killed"}}, "");
    routes.OnEvent("Target.targetCrashed", {{"status", "killed"}}, "");  // names no target
    routes.CloseTarget("T1");
    routes.ForgetEngine();
    routes.OnEvent("Target.targetCrashed", {{"targetId", "T1"}, {"status", "crashed"}}, "");
    routes.OnEvent("Target.targetInfoChanged", {{"targetInfo", {{"targetId", "T1"}}}}, "");
    EXPECT_EQ(browsers.log, (Log{"renderer ended 2 killed"}));
    EXPECT_FALSE(routes.BySession("S1"));
    // The close of the old engine's target is not asked again of the new engine.
    const std::vector<std::string> methods = connection.Methods();
    EXPECT_EQ(std::count(methods.begin(), methods.end(), "Target.closeTarget"), 1);
}

// ---- a page's renderer ends ----

struct PolicyCase {
    const char* what;
    std::vector<int> crashes_at;  // seconds after the start
    std::vector<CrashReloadPolicy::Action> actions;
};
// Cases print by name.
void PrintTo(const PolicyCase& c, std::ostream* out) { *out << '"' << c.what << '"'; }

class CrashReload : public ::testing::TestWithParam<PolicyCase> {};

TEST_P(CrashReload, ReloadsOnceAMinute) {
    const PolicyCase& c = GetParam();
    CrashReloadPolicy policy;
    std::vector<CrashReloadPolicy::Action> actions;
    for (int at : c.crashes_at) actions.push_back(policy.OnCrash(kStart + seconds(at)));
    EXPECT_EQ(actions, c.actions);
}

using Action = CrashReloadPolicy::Action;
INSTANTIATE_TEST_SUITE_P(
    Crashes, CrashReload,
    ::testing::Values(
        PolicyCase{"First", {0}, {Action::kReload}},
        PolicyCase{"AgainWithinAMinute", {0, 59}, {Action::kReload, Action::kShowError}},
        PolicyCase{"AgainAfterAMinute", {0, 60}, {Action::kReload, Action::kReload}},
        PolicyCase{"AfterTheErrorPageCountsFromTheLastEnd",
                   {0, 30, 80, 200},
                   {Action::kReload, Action::kShowError, Action::kShowError, Action::kReload}}),
    [](const auto& info) { return std::string(info.param.what); });

void Commit(Browser& b, const std::string& url) {
    b.connection.Deliver("Page.frameNavigated", {{"frame", {{"id", "T"}, {"url", url}}}}, "S");
}

std::size_t NavigationsTo(const Browser& b, const std::string& url) {
    std::size_t n = 0;
    for (const auto& s : b.connection.sent())
        n += s.method == "Page.navigate" && s.params.value("url", "") == url && s.session == "S";
    return n;
}

class RendererEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        b.connection.AddListener(
            [this](const std::string& method, const Json& params, const std::string& session) {
                b.core.OnPageEvent(method, params, session);
            });
        b.StartAndAttach();
        Commit(b, "http://game/play");
        b.log.clear();
    }
    Browser b{"http://game/play"};
};

TEST_F(RendererEnd, IsReportedAndThePageIsLoadedAgainOnItsAddressWithItsPictures) {
    const std::size_t casts = b.Count("Page.startScreencast");
    b.core.OnRendererEnded("killed", kStart);
    EXPECT_EQ(b.log, (Log{"OnRenderProcessTerminated killed"}));
    EXPECT_EQ(NavigationsTo(b, "http://game/play"), 2u);  // the first load and this one
    Commit(b, "http://game/play");
    EXPECT_EQ(b.Count("Page.startScreencast"), casts + 1);
}

TEST_F(RendererEnd, AgainWithinAMinuteShowsTheErrorPageInsteadOfLoadingAgain) {
    b.core.OnRendererEnded("killed", kStart);
    Commit(b, "http://game/play");
    b.log.clear();
    b.core.OnRendererEnded("crashed", kStart + seconds(20));
    EXPECT_EQ(NavigationsTo(b, "http://game/play"), 2u);
    EXPECT_EQ(NavigationsTo(b, "about:blank"), 1u);
    Commit(b, "about:blank");
    // The blank page stands for the game's address, as an error page does.
    EXPECT_EQ(b.log,
              (Log{"OnRenderProcessTerminated crashed",
                   "UpdateFrame T http://game/play  parent=", "OnAddressChange T http://game/play",
                   "OnLoadError T -2 RENDERER_CRASHED http://game/play"}));
    // Loading again (the application's refresh) loads the game's address, not the blank page.
    b.core.Reload();
    EXPECT_EQ(NavigationsTo(b, "http://game/play"), 3u);
    EXPECT_EQ(b.Count("Page.reload"), 0u);
    Commit(b, "http://game/play");
    b.core.Reload();
    EXPECT_EQ(b.Count("Page.reload"), 1u);
    // A later end is reloaded once more.
    b.core.OnRendererEnded("killed", kStart + seconds(200));
    EXPECT_EQ(NavigationsTo(b, "http://game/play"), 4u);
}

TEST_F(RendererEnd, TheErrorPageIsShownOnceTheBlankPageHasCommittedEvenWithoutItsFrameEvent) {
    auto answer_navigations = [&] {
        while (b.connection.Answer("Page.navigate")) {
        }
    };
    b.core.OnRendererEnded("killed", kStart);
    answer_navigations();
    b.log.clear();
    b.core.OnRendererEnded("crashed", kStart + seconds(5));
    answer_navigations();
    EXPECT_EQ(b.log, (Log{"OnRenderProcessTerminated crashed",
                          "OnLoadError T -2 RENDERER_CRASHED http://game/play"}));
    Commit(b, "about:blank");  // the frame event, late
    EXPECT_EQ(std::count_if(b.log.begin(), b.log.end(),
                            [](const std::string& l) { return l.rfind("OnLoadError", 0) == 0; }),
              1);
    EXPECT_EQ(b.log.back(), "OnAddressChange T http://game/play");
    b.core.Reload();
    EXPECT_EQ(NavigationsTo(b, "http://game/play"), 3u);
}

TEST_F(RendererEnd, OfAClosingBrowserIsNotReported) {
    b.owner_closes = true;
    b.core.Close();
    b.log.clear();
    b.core.OnRendererEnded("killed", kStart);
    EXPECT_TRUE(b.log.empty());
    EXPECT_EQ(NavigationsTo(b, "http://game/play"), 1u);
}

// ---- the engine dies ----

TEST(EngineEnd, RepliesThatFailBecauseTheEngineWentAwayLeaveTheBrowserWaiting) {
    Browser b;
    b.core.Start();
    ASSERT_TRUE(b.connection.Fail("Target.createTarget", cef_detail::kConnectionClosedCode));
    EXPECT_EQ(b.core.stage(), Stage::kMakingTarget);
    EXPECT_TRUE(b.log.empty());
}

TEST_F(RendererEnd, TheBrowserIsMadeAgainInTheNewEngineOnItsLastAddressOnce) {
    Commit(b, "http://game/level2");
    b.log.clear();
    const std::size_t created = b.Count("Target.createTarget");
    b.core.Recreate();
    EXPECT_EQ(b.Count("Target.createTarget"), created + 1);
    ASSERT_TRUE(b.connection.Answer("Target.createTarget", {{"targetId", "T2"}}));
    ASSERT_TRUE(b.connection.Answer("Target.attachToTarget", {{"sessionId", "S2"}}));
    EXPECT_EQ(b.SessionOf("Page.startScreencast"), "S2");  // shown: its pictures come again
    ASSERT_TRUE(b.connection.Answer(
        "Page.getFrameTree", {{"frameTree", {{"frame", {{"id", "T2"}, {"url", "about:blank"}}}}}}));
    EXPECT_EQ(std::count(b.log.begin(), b.log.end(), "OnAfterCreated"), 0);
    EXPECT_EQ(b.log.front(), "InvalidateFrames");
    EXPECT_EQ(b.SessionOf("Page.navigate"), "S2");
    EXPECT_EQ(b.Last("Page.navigate")->params.value("url", ""), "http://game/level2");
    EXPECT_EQ(b.core.stage(), Stage::kNavigating);
    EXPECT_EQ(b.core.target_id(), "T2");
}

TEST_F(RendererEnd, MadeAgainOnItsErrorPageItShowsTheTextAndLoadsNothing) {
    b.core.Recreate("BROWSER_ENGINE_ENDED");
    ASSERT_TRUE(b.connection.Answer("Target.createTarget", {{"targetId", "T2"}}));
    ASSERT_TRUE(b.connection.Answer("Target.attachToTarget", {{"sessionId", "S2"}}));
    b.log.clear();
    ASSERT_TRUE(b.connection.Answer(
        "Page.getFrameTree", {{"frameTree", {{"frame", {{"id", "T2"}, {"url", "about:blank"}}}}}}));
    EXPECT_EQ(b.log.back(), "OnLoadError T2 -2 BROWSER_ENGINE_ENDED http://game/play");
    EXPECT_EQ(b.SessionOf("Page.navigate"), "S");  // only the old engine's load
}

TEST(EngineEnd, RepliesOfTheOldEngineAreIgnoredOnceMadeAgain) {
    Browser c{"http://game/play"};
    c.core.Start();
    ASSERT_TRUE(c.connection.Answer("Target.createTarget", {{"targetId", "T"}}));
    // The engine dies before it attaches; the reply to the attach comes only after the browser
    // was made again.
    c.core.Recreate();
    ASSERT_TRUE(c.connection.Answer("Target.attachToTarget", {{"sessionId", "OLD"}}));
    EXPECT_TRUE(c.core.session_id().empty());
    ASSERT_TRUE(c.connection.Answer("Target.createTarget", {{"targetId", "T2"}}));
    ASSERT_TRUE(c.connection.Answer("Target.attachToTarget", {{"sessionId", "S2"}}));
    EXPECT_EQ(c.core.session_id(), "S2");
}

TEST(EngineEnd, AClosingBrowserIsNotMadeAgain) {
    Browser b;
    b.owner_closes = true;
    b.StartAndAttach();
    b.core.Close();
    const std::size_t created = b.Count("Target.createTarget");
    b.core.Recreate();
    EXPECT_EQ(b.Count("Target.createTarget"), created);
    EXPECT_EQ(b.core.stage(), Stage::kClosing);
}

// ---- how often the engine is started again ----

struct BudgetCase {
    const char* what;
    std::vector<int> deaths_at;  // seconds after the start
    std::vector<RestartBudget::Decision> decisions;
};
// Cases print by name.
void PrintTo(const BudgetCase& c, std::ostream* out) { *out << '"' << c.what << '"'; }

class EngineRestarts : public ::testing::TestWithParam<BudgetCase> {};

TEST_P(EngineRestarts, AFewAMinuteThenTheErrorPageThenNoMore) {
    const BudgetCase& c = GetParam();
    RestartBudget budget;
    std::vector<RestartBudget::Decision> decisions;
    for (int at : c.deaths_at) decisions.push_back(budget.OnEngineGone(kStart + seconds(at)));
    EXPECT_EQ(decisions, c.decisions);
}

using Decision = RestartBudget::Decision;
INSTANTIATE_TEST_SUITE_P(
    Deaths, EngineRestarts,
    ::testing::Values(BudgetCase{"One", {0}, {Decision::kRestore}},
                      BudgetCase{"ThreeInAMinute",
                                 {0, 10, 20},
                                 {Decision::kRestore, Decision::kRestore, Decision::kRestore}},
                      BudgetCase{"FourthInAMinuteShowsTheErrorPage",
                                 {0, 10, 20, 30},
                                 {Decision::kRestore, Decision::kRestore, Decision::kRestore,
                                  Decision::kShowError}},
                      BudgetCase{"FifthInAMinuteGivesUp",
                                 {0, 10, 20, 30, 40},
                                 {Decision::kRestore, Decision::kRestore, Decision::kRestore,
                                  Decision::kShowError, Decision::kGiveUp}},
                      BudgetCase{"SpreadOverMinutesAlwaysRestores",
                                 {0, 25, 50, 75, 100, 125},
                                 {Decision::kRestore, Decision::kRestore, Decision::kRestore,
                                  Decision::kRestore, Decision::kRestore, Decision::kRestore}},
                      BudgetCase{"AnErrorPageEngineThatRanAMinuteStartsOver",
                                 {0, 1, 2, 3, 70},
                                 {Decision::kRestore, Decision::kRestore, Decision::kRestore,
                                  Decision::kShowError, Decision::kRestore}}),
    [](const auto& info) { return std::string(info.param.what); });

}  // namespace
