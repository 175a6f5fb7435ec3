// The DevTools commands the library sends: method names and fields, reply readers, and the
// send helpers' refusal of a missing session.
#include "devtools/commands.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fake_connection.h"

namespace {

using cef_detail::Command;
using cef_detail::Json;
namespace commands = cef_detail::commands;

struct Case {
    const char* what;
    Command command;
    const char* method;
    const char* params;  // JSON
};

std::vector<Case> Cases() {
    return {
        {"version", commands::GetVersion(), "Browser.getVersion", "{}"},
        {"blank target", commands::CreateBlankTarget(), "Target.createTarget",
         R"({"url":"about:blank"})"},
        {"attach", commands::AttachToTarget("T1"), "Target.attachToTarget",
         R"({"targetId":"T1","flatten":true})"},
        {"close", commands::CloseTarget("T2"), "Target.closeTarget", R"({"targetId":"T2"})"},
        {"discover", commands::DiscoverTargets(), "Target.setDiscoverTargets",
         R"({"discover":true})"},
        {"detach", commands::DetachFromTarget("S9"), "Target.detachFromTarget",
         R"({"sessionId":"S9"})"},
        {"run", commands::RunIfWaitingForDebugger(), "Runtime.runIfWaitingForDebugger", "{}"},
        {"page", commands::EnablePage(), "Page.enable", "{}"},
        {"network", commands::EnableNetwork(), "Network.enable", "{}"},
        {"fetch", commands::PauseDocumentRequests(), "Fetch.enable",
         R"({"patterns":[{"urlPattern":"*","resourceType":"Document","requestStage":"Request"}]})"},
        {"auto attach", commands::AutoAttachSubTargets(), "Target.setAutoAttach",
         R"({"autoAttach":true,"waitForDebuggerOnStart":true,"flatten":true})"},
        {"continue", commands::ContinueRequest("R1"), "Fetch.continueRequest",
         R"({"requestId":"R1"})"},
        {"abort", commands::AbortRequest("R2"), "Fetch.failRequest",
         R"({"requestId":"R2","errorReason":"Aborted"})"},
        {"dialog accepted", commands::HandleJavaScriptDialog(true), "Page.handleJavaScriptDialog",
         R"({"accept":true})"},
        {"dialog dismissed", commands::HandleJavaScriptDialog(false), "Page.handleJavaScriptDialog",
         R"({"accept":false})"},
        {"prompt answered", commands::HandleJavaScriptDialog(true, "张三 1"),
         "Page.handleJavaScriptDialog", R"({"accept":true,"promptText":"张三 1"})"},
        {"prompt answered empty", commands::HandleJavaScriptDialog(true, ""),
         "Page.handleJavaScriptDialog", R"({"accept":true,"promptText":""})"},
        {"prompt cancelled", commands::HandleJavaScriptDialog(false, "x"),
         "Page.handleJavaScriptDialog", R"({"accept":false})"},
        {"focus", commands::EmulateFocus(), "Emulation.setFocusEmulationEnabled",
         R"({"enabled":true})"},
        {"viewport", commands::SetViewport(1280, 720), "Emulation.setDeviceMetricsOverride",
         R"({"width":1280,"height":720,"deviceScaleFactor":1,"mobile":false})"},
        {"viewport at 150 %", commands::SetViewport(800, 600, 1.5),
         "Emulation.setDeviceMetricsOverride",
         R"({"width":800,"height":600,"deviceScaleFactor":1.5,"mobile":false,"scale":1.5,)"
         R"("dontSetVisibleSize":true})"},
        {"view size", commands::SetVisibleSize(1200, 900), "Emulation.setVisibleSize",
         R"({"width":1200,"height":900})"},
        {"screencast", commands::StartScreencast(), "Page.startScreencast",
         R"({"format":"jpeg","quality":80,"maxWidth":8192,"maxHeight":8192,"everyNthFrame":1})"},
        {"no screencast", commands::StopScreencast(), "Page.stopScreencast", "{}"},
        {"ack", commands::AckScreencastFrame(17), "Page.screencastFrameAck", R"({"sessionId":17})"},
        {"lossless picture", commands::CaptureLosslessPicture(), "Page.captureScreenshot",
         R"({"format":"png","optimizeForSpeed":true})"},
        {"frame tree", commands::GetFrameTree(), "Page.getFrameTree", "{}"},
        {"navigate", commands::Navigate("http://a/"), "Page.navigate", R"({"url":"http://a/"})"},
        {"navigate frame", commands::NavigateFrame("F1", "http://b/"), "Page.navigate",
         R"({"url":"http://b/","frameId":"F1"})"},
        {"reload", commands::Reload(), "Page.reload", "{}"},
        {"reload, no cache", commands::Reload(true), "Page.reload", R"({"ignoreCache":true})"},
        {"stop", commands::StopLoading(), "Page.stopLoading", "{}"},
        {"history", commands::GetNavigationHistory(), "Page.getNavigationHistory", "{}"},
        {"history entry", commands::NavigateToHistoryEntry(42), "Page.navigateToHistoryEntry",
         R"({"entryId":42})"},
        {"cache", commands::ClearBrowserCache(), "Network.clearBrowserCache", "{}"},
        {"origin data", commands::ClearOriginData("http://a:8080"), "Storage.clearDataForOrigin",
         R"({"origin":"http://a:8080","storageTypes":"cache_storage,service_workers"})"},
        {"document", commands::SetDocumentContent("F2", "<p>x</p>"), "Page.setDocumentContent",
         R"({"frameId":"F2","html":"<p>x</p>"})"},
        {"world", commands::CreateFrameScriptWorld("F3"), "Page.createIsolatedWorld",
         R"({"frameId":"F3","worldName":"__frame_script","grantUniveralAccess":false})"},
        {"in context", commands::EvaluateInContext("1+1", 5), "Runtime.evaluate",
         R"({"expression":"1+1","contextId":5})"},
        {"as user", commands::EvaluateAsUser("go()"), "Runtime.evaluate",
         R"j({"expression":"go()","userGesture":true})j"},
        {"for value", commands::EvaluateForValue("v"), "Runtime.evaluate",
         R"({"expression":"v","returnByValue":true})"},
    };
}

TEST(Commands, NameTheirMethodsAndFields) {
    for (const Case& c : Cases()) {
        EXPECT_EQ(c.command.method, c.method) << c.what;
        EXPECT_EQ(c.command.params, Json::parse(c.params)) << c.what;
    }
}

TEST(Commands, RepliesAreReadWithDefaultsForMissingFields) {
    EXPECT_EQ(commands::CreatedTargetId(Json::parse(R"({"targetId":"T5"})")), "T5");
    EXPECT_EQ(commands::CreatedTargetId(Json::object()), "");
    EXPECT_EQ(commands::AttachedSessionId(Json::parse(R"({"sessionId":"S5"})")), "S5");
    EXPECT_EQ(commands::AttachedSessionId(Json::object()), "");
    EXPECT_EQ(
        commands::FrameTreeRoot(Json::parse(R"({"frameTree":{"frame":{"id":"F","url":"u"}}})")).id,
        "F");
    EXPECT_EQ(commands::FrameTreeRoot(Json::object()).id, "");
    EXPECT_EQ(commands::FrameTreeRoot(Json::parse(R"({"frameTree":[1]})")).id, "");
    EXPECT_EQ(commands::ExecutionContextId(Json::parse(R"({"executionContextId":7})")), 7);
    EXPECT_EQ(commands::ExecutionContextId(Json::object()), 0);
    EXPECT_EQ(commands::EvaluatedValue(Json::parse(R"({"result":{"value":{"a":1}}})")),
              Json::parse(R"({"a":1})"));
    EXPECT_EQ(commands::EvaluatedValue(Json::parse(R"({"result":{}})")), Json::object());
    EXPECT_EQ(commands::CapturedPicture(Json::parse(R"({"data":"iVBORw0K"})")), "iVBORw0K");
    EXPECT_EQ(commands::CapturedPicture(Json::parse(R"({"data":7})")), "");
    EXPECT_EQ(commands::CapturedPicture(Json::object()), "");
}

// A script's text or yes/no, and nothing when the value is of another kind or missing.
TEST(Commands, EvaluatedTextAndBooleanReadOnlyTheirKind) {
    struct Case {
        const char* reply;
        std::optional<std::string> text;
        std::optional<bool> yes;
    };
    const Case cases[] = {
        {R"({"result":{"type":"string","value":"\u4e2d\u6587 text"}})",
         "\xE4\xB8\xAD\xE6\x96\x87 text", std::nullopt},
        {R"({"result":{"type":"string","value":""}})", "", std::nullopt},
        {R"({"result":{"type":"boolean","value":false}})", std::nullopt, false},
        {R"({"result":{"type":"boolean","value":true}})", std::nullopt, true},
        {R"({"result":{"type":"object","subtype":"null","value":null}})", std::nullopt,
         std::nullopt},
        {R"({"result":{"type":"undefined"}})", std::nullopt, std::nullopt},
        {R"({"result":{"type":"number","value":1}})", std::nullopt, std::nullopt},
        {R"({})", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        const Json reply = Json::parse(c.reply);
        EXPECT_EQ(commands::EvaluatedText(reply), c.text);
        EXPECT_EQ(commands::EvaluatedBool(reply), c.yes);
    }
}

struct HistoryCase {
    int current;
    int entries;  // ids 100, 101, ...
    bool back;
    bool forward;
    long long previous_id;  // -1: none
    long long next_id;
};

TEST(Commands, NavigationHistoryTellsWhereTheBrowserCanGo) {
    const HistoryCase cases[] = {
        {0, 1, false, false, -1, -1},  // one page
        {0, 3, false, true, -1, 101},  // at the start
        {1, 3, true, true, 100, 102},  // in the middle
        {2, 3, true, false, 101, -1},  // at the end
        {0, 0, false, false, -1, -1},  // no entries at all
        {3, 3, true, false, -1, -1},   // an index past the end names nothing
    };
    for (const HistoryCase& c : cases) {
        Json entries = Json::array();
        for (int i = 0; i < c.entries; ++i) entries.push_back({{"id", 100 + i}});
        const auto history =
            commands::ReadNavigationHistory({{"currentIndex", c.current}, {"entries", entries}});
        SCOPED_TRACE(std::to_string(c.current) + " of " + std::to_string(c.entries));
        EXPECT_EQ(history.CanGoBack(), c.back);
        EXPECT_EQ(history.CanGoForward(), c.forward);
        EXPECT_EQ(history.EntryIdAt(-1), c.previous_id);
        EXPECT_EQ(history.EntryIdAt(1), c.next_id);
    }
    const auto empty = commands::ReadNavigationHistory(Json::object());
    EXPECT_FALSE(empty.CanGoBack());
    EXPECT_FALSE(empty.CanGoForward());
}

TEST(Commands, SessionCommandsNeedAConnectionAndASession) {
    cef_test::FakeConnection connection;
    EXPECT_FALSE(cef_detail::SendOnSession(nullptr, "S1", commands::EnablePage()));
    EXPECT_FALSE(cef_detail::SendOnSession(&connection, "", commands::EnablePage()));
    EXPECT_TRUE(connection.sent().empty());

    bool answered = false;
    EXPECT_TRUE(cef_detail::SendOnSession(
        &connection, "S1", commands::Navigate("http://a/"),
        [&](const Json&, const cef_detail::ProtocolError*) { answered = true; }));
    cef_detail::SendToEngine(connection, commands::CloseTarget("T1"));
    ASSERT_EQ(connection.sent().size(), 2u);
    EXPECT_EQ(connection.sent()[0].method, "Page.navigate");
    EXPECT_EQ(connection.sent()[0].params, Json::parse(R"({"url":"http://a/"})"));
    EXPECT_EQ(connection.sent()[0].session, "S1");
    EXPECT_EQ(connection.sent()[1].method, "Target.closeTarget");
    EXPECT_EQ(connection.sent()[1].session, "");  // the engine itself
    EXPECT_TRUE(connection.Answer("Page.navigate"));
    EXPECT_TRUE(answered);
}

}  // namespace
