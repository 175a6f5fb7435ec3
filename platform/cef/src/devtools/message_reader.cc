#include "devtools/message_reader.h"

#include <cstring>
#include <string>

namespace cef_detail {
namespace {

// The engine writes an event's method first. The first "data" key of a frame is its
// picture's (the other fields of its parameters are numbers), and base64 needs no escapes; the
// parsed rest must still show the picture where it was cut out, or the message is parsed whole.
constexpr std::string_view kFrameStart = R"({"method":"Page.screencastFrame",)";
constexpr std::string_view kDataKey = R"("data":")";

}  // namespace

Json ReadMessage(std::string_view text) {
    if (text.substr(0, kFrameStart.size()) == kFrameStart) {
        const std::size_t key = text.find(kDataKey, kFrameStart.size());
        const std::size_t begin = key == std::string_view::npos ? key : key + kDataKey.size();
        const std::size_t end = begin == std::string_view::npos ? begin : text.find('"', begin);
        if (end != std::string_view::npos) {
            const std::string_view picture = text.substr(begin, end - begin);
            if (picture.find('\\') == std::string_view::npos) {
                std::string rest;
                rest.reserve(text.size() - picture.size());
                rest.append(text.substr(0, begin)).append(text.substr(end));
                Json message = Json::parse(rest, nullptr, false);
                Json* data = nullptr;
                if (message.is_object()) {
                    auto params = message.find("params");
                    if (params != message.end() && params->is_object()) {
                        auto found = params->find("data");
                        if (found != params->end() && found->is_string() &&
                            found->get_ref<const std::string&>().empty())
                            data = &*found;
                    }
                }
                if (data) {
                    *data = std::string(picture);
                    return message;
                }
            }
        }
    }
    return Json::parse(text, nullptr, false);
}

}  // namespace cef_detail
