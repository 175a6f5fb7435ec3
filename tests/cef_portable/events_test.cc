// The readers of the engine's events: every field the library uses, read from the engine's
// parameters; missing or mistyped fields read as their defaults instead of throwing; each
// reader answers only its own method.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "devtools/events.h"

namespace {

using cef_detail::Json;
namespace events = cef_detail::events;

std::string Opt(const std::optional<std::string>& text) { return text ? "'" + *text + "'" : "-"; }

std::string Describe(const events::TargetInfo& t) {
    return t.target_id + "/" + t.type + "/" + t.url + "/" + t.opener_id;
}

// What the readers make of one event, in one line; "?" when no reader takes the method.
std::string Read(std::string_view method, const Json& params) {
    using namespace events;
    if (auto e = As<TargetCreated>(method, params)) return "created " + Describe(e->target);
    if (auto e = As<TargetInfoChanged>(method, params)) return "changed " + Describe(e->target);
    if (auto e = As<TargetDestroyed>(method, params)) return "destroyed " + e->target_id;
    if (auto e = As<AttachedToTarget>(method, params)) {
        return "attached " + e->session_id + " " + Describe(e->target);
    }
    if (auto e = As<DetachedFromTarget>(method, params)) {
        return "detached " + e->session_id + " " + e->target_id;
    }
    if (auto e = As<RequestPaused>(method, params)) {
        return "paused " + e->request_id + " " + e->network_id + " " + e->resource_type + " " +
               e->frame_id + " " + e->url + " " + e->method + (e->redirect ? " redirect" : "");
    }
    if (auto e = As<LoadingFailed>(method, params)) {
        return "failed " + e->request_id + " " + e->type + " " + e->error_text;
    }
    if (auto e = As<LoadingFinished>(method, params)) return "finished " + e->request_id;
    if (auto e = As<FrameAttached>(method, params)) {
        return "frame attached " + e->frame_id + " " + e->parent_frame_id;
    }
    if (auto e = As<FrameNavigated>(method, params)) {
        const Frame& f = e->frame;
        return "navigated " + f.id + " parent=" + Opt(f.parent_id) + " name=" + f.name +
               " url=" + f.url + " unreachable=" + Opt(f.unreachable_url) +
               " shown=" + f.ShownUrl();
    }
    if (auto e = As<FrameDetached>(method, params)) {
        return "frame detached " + e->frame_id + (e->removed ? " removed" : " lives on");
    }
    if (auto e = As<FrameStartedLoading>(method, params)) return "started " + e->frame_id;
    if (auto e = As<FrameStoppedLoading>(method, params)) return "stopped " + e->frame_id;
    if (auto e = As<WindowOpen>(method, params)) return "window " + e->url;
    if (auto e = As<JavascriptDialogOpening>(method, params)) {
        static const char* const kTypes[] = {"alert", "confirm", "prompt", "beforeunload"};
        return std::string("dialog ") + kTypes[int(e->type)] + " '" + e->message + "' '" +
               e->default_prompt + "' " + e->url;
    }
    if (auto e = As<JavascriptDialogClosed>(method, params)) {
        return std::string("dialog closed ") + (e->result ? "true" : "false") + " '" +
               e->user_input + "'";
    }
    return "?";
}

struct EventCase {
    const char* what;
    const char* method;
    const char* params;
    const char* read;
};

void PrintTo(const EventCase& c, std::ostream* os) { *os << c.what; }

class Events : public testing::TestWithParam<EventCase> {};

TEST_P(Events, AreReadIntoTheirFields) {
    const EventCase& c = GetParam();
    EXPECT_EQ(Read(c.method, Json::parse(c.params)), c.read);
}

const EventCase kEvents[] = {
    {"target_created", "Target.targetCreated",
     R"({"targetInfo":{"targetId":"P","type":"page","url":"http://a/","openerId":"T"}})",
     "created P/page/http://a//T"},
    {"target_created_without_info", "Target.targetCreated", "{}", "created ///"},
    {"target_info_changed", "Target.targetInfoChanged",
     R"({"targetInfo":{"targetId":"P","type":"page","url":"http://b/"}})",
     "changed P/page/http://b//"},
    {"target_destroyed", "Target.targetDestroyed", R"({"targetId":"P"})", "destroyed P"},
    {"attached", "Target.attachedToTarget",
     R"({"sessionId":"S2","targetInfo":{"targetId":"F2","type":"iframe"},
         "waitingForDebugger":true})",
     "attached S2 F2/iframe//"},
    {"detached_naming_the_target", "Target.detachedFromTarget",
     R"({"sessionId":"S2","targetId":"F2"})", "detached S2 F2"},
    {"detached_naming_it_in_target_info", "Target.detachedFromTarget",
     R"({"sessionId":"S2","targetInfo":{"targetId":"F3"}})", "detached S2 F3"},
    {"request_paused", "Fetch.requestPaused",
     R"({"requestId":"I1","networkId":"N1","resourceType":"Document","frameId":"T",
         "request":{"url":"http://a/","method":"POST"}})",
     "paused I1 N1 Document T http://a/ POST"},
    {"request_paused_redirect_without_network_id", "Fetch.requestPaused",
     R"({"requestId":"I2","resourceType":"Document","frameId":"T","redirectedRequestId":"I1",
         "request":{"url":"http://b/"}})",
     "paused I2 I2 Document T http://b/ GET redirect"},
    {"loading_failed", "Network.loadingFailed",
     R"({"requestId":"N1","type":"Document","errorText":"net::ERR_ABORTED"})",
     "failed N1 Document net::ERR_ABORTED"},
    {"loading_finished", "Network.loadingFinished", R"({"requestId":"N1"})", "finished N1"},
    {"frame_attached", "Page.frameAttached", R"({"frameId":"F1","parentFrameId":"T"})",
     "frame attached F1 T"},
    {"frame_navigated", "Page.frameNavigated",
     R"({"frame":{"id":"F1","parentId":"T","name":"f","url":"http://a/sub"}})",
     "navigated F1 parent='T' name=f url=http://a/sub unreachable=- shown=http://a/sub"},
    {"frame_navigated_error_page", "Page.frameNavigated",
     R"({"frame":{"id":"T","url":"chrome-error://chromewebdata/",
         "unreachableUrl":"http://down/"}})",
     "navigated T parent=- name= url=chrome-error://chromewebdata/ unreachable='http://down/' "
     "shown=http://down/"},
    {"frame_detached", "Page.frameDetached", R"({"frameId":"F1","reason":"remove"})",
     "frame detached F1 removed"},
    {"frame_detached_swapped", "Page.frameDetached", R"({"frameId":"F1","reason":"swap"})",
     "frame detached F1 lives on"},
    {"frame_detached_without_reason", "Page.frameDetached", R"({"frameId":"F1"})",
     "frame detached F1 removed"},
    {"frame_started_loading", "Page.frameStartedLoading", R"({"frameId":"T"})", "started T"},
    {"frame_stopped_loading", "Page.frameStoppedLoading", R"({"frameId":"T"})", "stopped T"},
    {"window_open", "Page.windowOpen", R"({"url":"http://pop/","windowName":"w"})",
     "window http://pop/"},
    {"alert", "Page.javascriptDialogOpening",
     R"({"url":"http://a/","message":"服务器维护通知","type":"alert","hasBrowserHandler":false})",
     "dialog alert '服务器维护通知' '' http://a/"},
    {"confirm", "Page.javascriptDialogOpening",
     R"({"url":"http://a/","message":"确定花费100元宝购买？","type":"confirm"})",
     "dialog confirm '确定花费100元宝购买？' '' http://a/"},
    {"prompt", "Page.javascriptDialogOpening",
     R"({"url":"http://a/","message":"名字","type":"prompt","defaultPrompt":"勇者"})",
     "dialog prompt '名字' '勇者' http://a/"},
    {"leave_page", "Page.javascriptDialogOpening",
     R"({"url":"http://a/","message":"","type":"beforeunload"})",
     "dialog beforeunload '' '' http://a/"},
    {"unknown_dialog_type_reads_as_alert", "Page.javascriptDialogOpening",
     R"({"url":"http://a/","message":"m","type":"new"})", "dialog alert 'm' '' http://a/"},
    {"dialog_closed", "Page.javascriptDialogClosed", R"({"result":true,"userInput":"x"})",
     "dialog closed true 'x'"},
    // Mistyped fields read as defaults and do not throw.
    {"mistyped_fields", "Fetch.requestPaused",
     R"({"requestId":5,"resourceType":null,"request":"http://a/","frameId":["T"]})",
     "paused      GET"},
    {"params_not_an_object", "Page.frameNavigated", "[1,2]",
     "navigated  parent=- name= url= unreachable=- shown="},
    {"mistyped_dialog", "Page.javascriptDialogOpening",
     R"({"message":{"a":1},"type":3,"defaultPrompt":false})", "dialog alert '' '' "},
    {"unread_method", "Page.lifecycleEvent", R"({"frameId":"T"})", "?"},
};

INSTANTIATE_TEST_SUITE_P(Readers, Events, testing::ValuesIn(kEvents),
                         [](const testing::TestParamInfo<EventCase>& info) {
                             return std::string(info.param.what);
                         });

TEST(ScreencastFrame, TakesThePictureOutOfTheParameters) {
    Json params = {{"data", "/9j/4AAQ"}, {"sessionId", 12}, {"metadata", Json::object()}};
    const events::ScreencastFrame frame = events::ScreencastFrame::Take(params);
    EXPECT_EQ(frame.data, "/9j/4AAQ");
    EXPECT_EQ(frame.session, 12);
    EXPECT_NE(params["data"], "/9j/4AAQ");  // moved, not copied

    Json broken = {{"data", 7}, {"sessionId", "x"}};
    const events::ScreencastFrame none = events::ScreencastFrame::Take(broken);
    EXPECT_EQ(none.data, "");
    EXPECT_EQ(none.session, 0);
    Json not_object = Json::array();
    EXPECT_EQ(events::ScreencastFrame::Take(not_object).data, "");
}

}  // namespace
