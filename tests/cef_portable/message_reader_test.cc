// Messages of the DevTools pipe read into JSON: screencast frames and captures without parsing
// the picture, and everything read exactly as the JSON parser reads it.
#include "devtools/message_reader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using cef_detail::Json;
using cef_detail::ReadMessage;

struct MessageCase {
    const char* name;
    std::string text;
};

const std::string kPicture = "/9j/4AAQSkZJRgABAQAAAQABAAD" + std::string(3000, 'Q') + "+/9k=";

class MessageReader : public testing::TestWithParam<MessageCase> {};

TEST_P(MessageReader, ReadsAsTheJsonParserDoes) {
    const std::string& text = GetParam().text;
    const Json expected = Json::parse(text, nullptr, false);
    const Json got = ReadMessage(text);
    EXPECT_EQ(got.is_discarded(), expected.is_discarded());
    if (!expected.is_discarded()) EXPECT_EQ(got, expected);
}

INSTANTIATE_TEST_SUITE_P(
    DevTools, MessageReader,
    testing::Values(
        MessageCase{"frame", R"({"method":"Page.screencastFrame","params":{"data":")" + kPicture +
                                 R"(","metadata":{"offsetTop":0,"pageScaleFactor":1,)"
                                 R"("deviceWidth":1912,"deviceHeight":1036,"timestamp":17.5},)"
                                 R"("sessionId":3},"sessionId":"9A1F"})"},
        MessageCase{"frame_with_an_empty_picture",
                    R"({"method":"Page.screencastFrame","params":{"data":"","sessionId":1}})"},
        MessageCase{
            "frame_with_an_escaped_slash",
            R"({"method":"Page.screencastFrame","params":{"data":"/9j\/4AA=","sessionId":1}})"},
        MessageCase{
            "frame_with_data_elsewhere_first",
            R"({"method":"Page.screencastFrame","params":{"metadata":{"data":"x"},"data":"QUJD","sessionId":1}})"},
        MessageCase{"frame_whose_data_is_not_text",
                    R"({"method":"Page.screencastFrame","params":{"data":7,"sessionId":1}})"},
        MessageCase{
            "frame_in_another_order",
            R"({"sessionId":"S","method":"Page.screencastFrame","params":{"data":"QUJD","sessionId":2}})"},
        MessageCase{"frame_cut_short",
                    R"({"method":"Page.screencastFrame","params":{"data":"QUJD)"},
        MessageCase{"frame_with_broken_rest",
                    R"({"method":"Page.screencastFrame","params":{"data":"QUJD",]})"},
        MessageCase{"capture_reply",
                    R"({"id":12,"result":{"data":")" + kPicture + R"("},"sessionId":"S"})"},
        MessageCase{"reply_with_data_deeper",
                    R"({"id":12,"result":{"value":{"data":"QUJD"}},"sessionId":"S"})"},
        MessageCase{"reply_with_data_elsewhere_first",
                    R"({"id":12,"result":{"a":{"data":"QUJD"},"data":"REVG"}})"},
        MessageCase{"reply_with_an_escaped_slash", R"({"id":12,"result":{"data":"iVBO\/Rw=="}})"},
        MessageCase{"error_reply", R"({"id":12,"error":{"code":-32000,"message":"no"}})"},
        MessageCase{
            "other_event",
            R"({"method":"Page.frameNavigated","params":{"frame":{"id":"F","url":"http://a/"}},"sessionId":"S"})"},
        MessageCase{"not_json", "not json at all"}, MessageCase{"empty", ""}),
    [](const testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.name); });

TEST(MessageReader, AFrameKeepsItsPictureWhole) {
    const Json frame = ReadMessage(R"({"method":"Page.screencastFrame","params":{"data":")" +
                                   kPicture + R"(","sessionId":5},"sessionId":"S"})");
    ASSERT_TRUE(frame.is_object());
    EXPECT_EQ(frame["params"]["data"], kPicture);
    EXPECT_EQ(frame["params"]["sessionId"], 5);
    EXPECT_EQ(frame["sessionId"], "S");
}

TEST(MessageReader, ACaptureKeepsItsPictureWhole) {
    const Json reply = ReadMessage(R"({"id":41,"result":{"data":")" + kPicture + R"("}})");
    ASSERT_TRUE(reply.is_object());
    EXPECT_EQ(reply["id"], 41);
    EXPECT_EQ(reply["result"]["data"], kPicture);
}

}  // namespace
