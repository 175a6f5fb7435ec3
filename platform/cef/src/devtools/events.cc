#include "devtools/events.h"

#include <utility>

namespace cef_detail::events {
namespace {

const Json& Field(const Json& object, const char* name) {
    static const Json kNull;
    if (!object.is_object()) return kNull;
    auto it = object.find(name);
    return it == object.end() ? kNull : *it;
}

std::string Text(const Json& object, const char* name, std::string fallback = {}) {
    const Json& field = Field(object, name);
    return field.is_string() ? field.get<std::string>() : fallback;
}

std::optional<std::string> OptionalText(const Json& object, const char* name) {
    const Json& field = Field(object, name);
    if (!field.is_string()) return std::nullopt;
    return field.get<std::string>();
}

bool Flag(const Json& object, const char* name) {
    const Json& field = Field(object, name);
    return field.is_boolean() && field.get<bool>();
}

int Number(const Json& object, const char* name) {
    const Json& field = Field(object, name);
    return field.is_number_integer() ? field.get<int>() : 0;
}

}  // namespace

TargetInfo TargetInfo::Read(const Json& info) {
    return {Text(info, "targetId"), Text(info, "type"), Text(info, "url"), Text(info, "openerId")};
}

Frame Frame::Read(const Json& frame) {
    return {Text(frame, "id"), OptionalText(frame, "parentId"), Text(frame, "name"),
            Text(frame, "url"), OptionalText(frame, "unreachableUrl")};
}

TargetCreated TargetCreated::Read(const Json& params) {
    return {TargetInfo::Read(Field(params, "targetInfo"))};
}

TargetInfoChanged TargetInfoChanged::Read(const Json& params) {
    return {TargetInfo::Read(Field(params, "targetInfo"))};
}

TargetDestroyed TargetDestroyed::Read(const Json& params) { return {Text(params, "targetId")}; }

TargetCrashed TargetCrashed::Read(const Json& params) {
    return {Text(params, "targetId"), Text(params, "status"), Number(params, "errorCode")};
}

AttachedToTarget AttachedToTarget::Read(const Json& params) {
    return {Text(params, "sessionId"), TargetInfo::Read(Field(params, "targetInfo"))};
}

DetachedFromTarget DetachedFromTarget::Read(const Json& params) {
    return {Text(params, "sessionId"),
            Text(params, "targetId", TargetInfo::Read(Field(params, "targetInfo")).target_id)};
}

RequestPaused RequestPaused::Read(const Json& params) {
    RequestPaused paused;
    paused.request_id = Text(params, "requestId");
    paused.network_id = Text(params, "networkId", paused.request_id);
    paused.resource_type = Text(params, "resourceType");
    paused.frame_id = Text(params, "frameId");
    const Json& request = Field(params, "request");
    paused.url = Text(request, "url");
    paused.method = Text(request, "method", "GET");
    paused.redirect = !Field(params, "redirectedRequestId").is_null();
    return paused;
}

LoadingFailed LoadingFailed::Read(const Json& params) {
    return {Text(params, "requestId"), Text(params, "type"), Text(params, "errorText")};
}

LoadingFinished LoadingFinished::Read(const Json& params) { return {Text(params, "requestId")}; }

FrameAttached FrameAttached::Read(const Json& params) {
    return {Text(params, "frameId"), Text(params, "parentFrameId")};
}

FrameNavigated FrameNavigated::Read(const Json& params) {
    return {Frame::Read(Field(params, "frame"))};
}

FrameDetached FrameDetached::Read(const Json& params) {
    return {Text(params, "frameId"), Text(params, "reason", "remove") == "remove"};
}

FrameStartedLoading FrameStartedLoading::Read(const Json& params) {
    return {Text(params, "frameId")};
}

FrameStoppedLoading FrameStoppedLoading::Read(const Json& params) {
    return {Text(params, "frameId")};
}

WindowOpen WindowOpen::Read(const Json& params) { return {Text(params, "url")}; }

JavascriptDialogOpening JavascriptDialogOpening::Read(const Json& params) {
    JavascriptDialogOpening dialog;
    dialog.url = Text(params, "url");
    dialog.message = Text(params, "message");
    const std::string type = Text(params, "type");
    if (type == "confirm") {
        dialog.type = DialogType::kConfirm;
    } else if (type == "prompt") {
        dialog.type = DialogType::kPrompt;
    } else if (type == "beforeunload") {
        dialog.type = DialogType::kBeforeUnload;
    }
    dialog.default_prompt = Text(params, "defaultPrompt");
    return dialog;
}

JavascriptDialogClosed JavascriptDialogClosed::Read(const Json& params) {
    return {Flag(params, "result"), Text(params, "userInput")};
}

ScreencastFrame ScreencastFrame::Take(Json& params) {
    ScreencastFrame frame;
    frame.session = Number(params, "sessionId");
    if (params.is_object()) {
        if (auto it = params.find("data"); it != params.end() && it->is_string()) {
            frame.data = std::move(it->get_ref<std::string&>());
        }
    }
    return frame;
}

}  // namespace cef_detail::events
