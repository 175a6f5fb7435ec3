// What a right click found under the pointer, read from the page's answer.
#include <gtest/gtest.h>

#include "browser/page_hit.h"

namespace {

using cef_detail::Json;
using cef_detail::PageHit;

TEST(PageHit, ReadsEveryFieldTheScriptReturns) {
    const PageHit hit = PageHit::Read(Json::parse(R"({"link":"http://a/l","pageUrl":"http://a/",
        "frameUrl":"http://a/f","selection":"选中","editable":true,"media":true,"frame":true})"));
    EXPECT_EQ(hit.link, "http://a/l");
    EXPECT_EQ(hit.page_url, "http://a/");
    EXPECT_EQ(hit.frame_url, "http://a/f");
    EXPECT_EQ(hit.selection, "选中");
    EXPECT_TRUE(hit.editable);
    EXPECT_TRUE(hit.media);
    EXPECT_TRUE(hit.frame);
}

TEST(PageHit, AMissingOrBrokenAnswerIsNothingUnderThePointer) {
    for (const char* answer : {"{}", "null", "[1]", R"({"link":3,"editable":"yes"})"}) {
        const PageHit hit = PageHit::Read(Json::parse(answer));
        EXPECT_EQ(hit.link, "") << answer;
        EXPECT_EQ(hit.page_url, "") << answer;
        EXPECT_FALSE(hit.editable) << answer;
        EXPECT_FALSE(hit.frame) << answer;
    }
}

TEST(PageHit, TheScriptAsksAboutThePointGiven) {
    const std::string script = PageHit::Script(12, 345);
    EXPECT_NE(script.find("elementFromPoint(12, 345)"), std::string::npos);
    for (const char* field : {"link", "pageUrl", "frameUrl", "selection", "editable", "media"}) {
        EXPECT_NE(script.find(field), std::string::npos) << field;
    }
}

}  // namespace
