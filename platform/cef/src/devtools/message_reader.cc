#include "devtools/message_reader.h"

#include <string>

namespace cef_detail {
namespace {

// The engine writes an event's method, or a reply's id, first; a picture's "data" key follows
// within a few dozen characters (a screencast frame's parameters, a capture's result), and
// base64 needs no escapes. The parsed rest must still show the picture's place, empty, where it
// was cut out, or the message is parsed whole.
constexpr std::string_view kFrameStart = R"({"method":"Page.screencastFrame",)";
constexpr std::string_view kReplyStart = R"({"id":)";
constexpr std::string_view kDataKey = R"("data":")";
constexpr std::size_t kDataKeyWithin = 64;

// The empty "data" string of the object under key in message, or null.
Json* EmptyData(Json& message, const char* key) {
    if (!message.is_object()) return nullptr;
    auto holder = message.find(key);
    if (holder == message.end() || !holder->is_object()) return nullptr;
    auto data = holder->find("data");
    if (data == holder->end() || !data->is_string() || !data->get_ref<const std::string&>().empty())
        return nullptr;
    return &*data;
}

}  // namespace

Json ReadMessage(std::string_view text) {
    const char* holder = text.substr(0, kFrameStart.size()) == kFrameStart   ? "params"
                         : text.substr(0, kReplyStart.size()) == kReplyStart ? "result"
                                                                             : nullptr;
    const std::size_t key =
        holder ? text.substr(0, kDataKeyWithin).find(kDataKey) : std::string_view::npos;
    if (key != std::string_view::npos) {
        const std::size_t begin = key + kDataKey.size();
        const std::size_t end = text.find('"', begin);
        if (end != std::string_view::npos) {
            const std::string_view picture = text.substr(begin, end - begin);
            if (picture.find('\\') == std::string_view::npos) {
                std::string rest;
                rest.reserve(text.size() - picture.size());
                rest.append(text.substr(0, begin)).append(text.substr(end));
                Json message = Json::parse(rest, nullptr, false);
                if (Json* data = EmptyData(message, holder)) {
                    *data = std::string(picture);
                    return message;
                }
            }
        }
    }
    return Json::parse(text, nullptr, false);
}

}  // namespace cef_detail
