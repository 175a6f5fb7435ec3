// A page's dialog as the player sees it and the answer the page gets back: captions naming the
// page's host, the buttons of each kind, a prompt's field, and what each button answers.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "browser/page_dialog.h"

namespace {

using cef_detail::Json;
using cef_detail::PageDialog;
namespace events = cef_detail::events;

struct LookCase {
    const char* what;
    const char* event;  // params of Page.javascriptDialogOpening
    const char* caption;
    const char* message;
    const char* ok;
    const char* cancel;  // "" when there is no Cancel
    bool field;
    const char* default_text;
};

void PrintTo(const LookCase& c, std::ostream* os) { *os << c.what; }

class DialogLook : public testing::TestWithParam<LookCase> {};

TEST_P(DialogLook, ShowsThePageTextWithChineseCaptionAndButtons) {
    const LookCase& c = GetParam();
    const PageDialog dialog =
        PageDialog::For(events::JavascriptDialogOpening::Read(Json::parse(c.event)));
    EXPECT_EQ(dialog.caption, c.caption);
    EXPECT_EQ(dialog.message, c.message);
    EXPECT_EQ(dialog.ok_label, c.ok);
    EXPECT_EQ(dialog.cancel_label, c.cancel);
    EXPECT_EQ(dialog.has_field, c.field);
    EXPECT_EQ(dialog.default_text, c.default_text);
}

const LookCase kLooks[] = {
    {"alert", R"({"type":"alert","message":"服务器将于今晚维护","url":"http://127.0.0.1:8080/a"})",
     "127.0.0.1:8080 显示", "服务器将于今晚维护", "确定", "", false, ""},
    {"confirm",
     R"({"type":"confirm","message":"确定花费100元宝购买？","url":"https://game.example/"})",
     "game.example 显示", "确定花费100元宝购买？", "确定", "取消", false, ""},
    {"prompt", R"({"type":"prompt","message":"角色名","defaultPrompt":"勇者","url":"http://a:1/"})",
     "a:1 显示", "角色名", "确定", "取消", true, "勇者"},
    {"prompt_without_default", R"({"type":"prompt","message":"?","url":"http://a/"})", "a 显示",
     "?", "确定", "取消", true, ""},
    {"leave_page", R"({"type":"beforeunload","message":"page text","url":"http://a/"})",
     "要离开此网站吗？", "系统可能不会保存您所做的更改。", "离开", "取消", false, ""},
    {"file_page", R"({"type":"alert","message":"m","url":"file:///C:/game/index.html"})",
     "此网页显示", "m", "确定", "", false, ""},
    {"blank_page", R"({"type":"alert","message":"m","url":"about:blank"})", "此网页显示", "m",
     "确定", "", false, ""},
    {"data_page", R"({"type":"alert","message":"m","url":"data:text/html,x"})", "此网页显示", "m",
     "确定", "", false, ""},
    {"no_address", R"({"type":"confirm","message":"m"})", "此网页显示", "m", "确定", "取消", false,
     ""},
};

INSTANTIATE_TEST_SUITE_P(Kinds, DialogLook, testing::ValuesIn(kLooks),
                         [](const testing::TestParamInfo<LookCase>& info) {
                             return std::string(info.param.what);
                         });

struct AnswerCase {
    const char* what;
    const char* type;
    bool ok;
    const char* typed;
    const char* answer;  // params of Page.handleJavaScriptDialog
};

void PrintTo(const AnswerCase& c, std::ostream* os) { *os << c.what; }

class DialogAnswer : public testing::TestWithParam<AnswerCase> {};

TEST_P(DialogAnswer, GoesBackToThePage) {
    const AnswerCase& c = GetParam();
    const PageDialog dialog = PageDialog::For(events::JavascriptDialogOpening::Read(
        {{"type", c.type}, {"message", "m"}, {"defaultPrompt", "d"}}));
    const cef_detail::Command answer = dialog.Answer(c.ok, c.typed);
    EXPECT_EQ(answer.method, "Page.handleJavaScriptDialog");
    EXPECT_EQ(answer.params, Json::parse(c.answer));
}

const AnswerCase kAnswers[] = {
    {"alert_ok", "alert", true, "", R"({"accept":true})"},
    {"alert_closed_still_accepted", "alert", false, "", R"({"accept":true})"},
    {"confirm_ok_is_true", "confirm", true, "", R"({"accept":true})"},
    {"confirm_cancel_is_false", "confirm", false, "", R"({"accept":false})"},
    {"prompt_returns_typed_text", "prompt", true, "张三abc",
     R"({"accept":true,"promptText":"张三abc"})"},
    {"prompt_returns_empty_text", "prompt", true, "", R"({"accept":true,"promptText":""})"},
    {"prompt_cancel_is_null", "prompt", false, "typed", R"({"accept":false})"},
    {"leave", "beforeunload", true, "", R"({"accept":true})"},
    {"stay", "beforeunload", false, "", R"({"accept":false})"},
};

INSTANTIATE_TEST_SUITE_P(Buttons, DialogAnswer, testing::ValuesIn(kAnswers),
                         [](const testing::TestParamInfo<AnswerCase>& info) {
                             return std::string(info.param.what);
                         });

TEST(DialogDismissed, ADialogNobodyAnsweredIsRefused) {
    for (const char* type : {"confirm", "prompt", "beforeunload"}) {
        const PageDialog dialog =
            PageDialog::For(events::JavascriptDialogOpening::Read({{"type", type}}));
        EXPECT_EQ(dialog.Dismissed().params, Json({{"accept", false}})) << type;
    }
}

}  // namespace
