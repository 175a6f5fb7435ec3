#include "devtools/commands.h"

#include <utility>

#include "base/utf.h"
#include "browser/key_names.h"

namespace cef_detail {

bool SendOnSession(Connection* connection, const std::string& session, Command command,
                   Connection::Reply reply) {
    if (!connection || session.empty()) return false;
    connection->Send(std::move(command.method), std::move(command.params), std::move(reply),
                     session);
    return true;
}

void SendToEngine(Connection& connection, Command command, Connection::Reply reply) {
    connection.Send(std::move(command.method), std::move(command.params), std::move(reply));
}

namespace commands {

Command GetVersion() { return {"Browser.getVersion", Json::object()}; }

Command CreateBlankTarget() { return {"Target.createTarget", {{"url", "about:blank"}}}; }

Command AttachToTarget(const std::string& target_id) {
    return {"Target.attachToTarget", {{"targetId", target_id}, {"flatten", true}}};
}

Command CloseTarget(const std::string& target_id) {
    return {"Target.closeTarget", {{"targetId", target_id}}};
}

Command DiscoverTargets() { return {"Target.setDiscoverTargets", {{"discover", true}}}; }

Command DetachFromTarget(const std::string& child_session) {
    return {"Target.detachFromTarget", {{"sessionId", child_session}}};
}

Command RunIfWaitingForDebugger() { return {"Runtime.runIfWaitingForDebugger", Json::object()}; }

std::string CreatedTargetId(const Json& reply) { return reply.value("targetId", ""); }

std::string AttachedSessionId(const Json& reply) { return reply.value("sessionId", ""); }

Command EnablePage() { return {"Page.enable", Json::object()}; }

Command EnableNetwork() { return {"Network.enable", Json::object()}; }

Command PauseDocumentRequests() {
    return {"Fetch.enable",
            {{"patterns", Json::array({{{"urlPattern", "*"},
                                        {"resourceType", "Document"},
                                        {"requestStage", "Request"}}})}}};
}

Command AutoAttachSubTargets() {
    return {"Target.setAutoAttach",
            {{"autoAttach", true}, {"waitForDebuggerOnStart", true}, {"flatten", true}}};
}

Command ContinueRequest(const std::string& request_id) {
    return {"Fetch.continueRequest", {{"requestId", request_id}}};
}

Command AbortRequest(const std::string& request_id) {
    return {"Fetch.failRequest", {{"requestId", request_id}, {"errorReason", "Aborted"}}};
}

Command HandleJavaScriptDialog(bool accept, const std::optional<std::string>& prompt_text) {
    Json params = {{"accept", accept}};
    if (accept && prompt_text) params["promptText"] = *prompt_text;
    return {"Page.handleJavaScriptDialog", std::move(params)};
}

Command EmulateFocus() { return {"Emulation.setFocusEmulationEnabled", {{"enabled", true}}}; }

Command SetViewport(int width, int height, double device_scale) {
    Command command{"Emulation.setDeviceMetricsOverride",
                    {{"width", width},
                     {"height", height},
                     {"deviceScaleFactor", device_scale},
                     {"mobile", false}}};
    // The screencast sends frames at the view's size in the engine's own pixels: only a view
    // enlarged by the ratio gives frames as many pixels as the window has.
    if (device_scale != 1) {
        command.params["scale"] = device_scale;
        command.params["dontSetVisibleSize"] = true;
    }
    return command;
}

Command SetVisibleSize(int width, int height) {
    return {"Emulation.setVisibleSize", {{"width", width}, {"height", height}}};
}

Command StartScreencast() {
    return {"Page.startScreencast",
            {{"format", "jpeg"},
             {"quality", kScreencastQuality},
             {"maxWidth", 8192},
             {"maxHeight", 8192},
             {"everyNthFrame", 1}}};
}

Command StopScreencast() { return {"Page.stopScreencast", Json::object()}; }

Command AckScreencastFrame(int frame_session) {
    return {"Page.screencastFrameAck", {{"sessionId", frame_session}}};
}

Command CaptureLosslessPicture() {
    return {"Page.captureScreenshot", {{"format", "png"}, {"optimizeForSpeed", true}}};
}

std::string CapturedPicture(const Json& reply) {
    const auto data = reply.find("data");
    if (data == reply.end() || !data->is_string()) return {};
    return data->get<std::string>();
}

Command GetFrameTree() { return {"Page.getFrameTree", Json::object()}; }

events::Frame FrameTreeRoot(const Json& reply) {
    const Json& tree = reply.is_object() ? reply.value("frameTree", Json::object()) : Json();
    return events::Frame::Read(tree.is_object() ? tree.value("frame", Json::object()) : Json());
}

Command Navigate(const std::string& url) { return {"Page.navigate", {{"url", url}}}; }

Command NavigateFrame(const std::string& frame_id, const std::string& url) {
    return {"Page.navigate", {{"url", url}, {"frameId", frame_id}}};
}

Command Reload(bool ignore_cache) {
    if (!ignore_cache) return {"Page.reload", Json::object()};
    return {"Page.reload", {{"ignoreCache", true}}};
}

Command StopLoading() { return {"Page.stopLoading", Json::object()}; }

Command GetNavigationHistory() { return {"Page.getNavigationHistory", Json::object()}; }

bool NavigationHistory::CanGoBack() const { return current_index > 0; }

bool NavigationHistory::CanGoForward() const { return current_index + 1 < int(entries.size()); }

long long NavigationHistory::EntryIdAt(int offset) const {
    const int count = int(entries.size());
    const int target = current_index + offset;
    if (target < 0 || target >= count || current_index >= count) return -1;
    return entries[std::size_t(target)].value("id", 0LL);
}

NavigationHistory ReadNavigationHistory(const Json& reply) {
    NavigationHistory history;
    history.current_index = reply.value("currentIndex", 0);
    history.entries = reply.value("entries", Json::array());
    return history;
}

Command NavigateToHistoryEntry(long long entry_id) {
    return {"Page.navigateToHistoryEntry", {{"entryId", entry_id}}};
}

Command ClearBrowserCache() { return {"Network.clearBrowserCache", Json::object()}; }

Command ClearOriginData(const std::string& origin) {
    return {"Storage.clearDataForOrigin",
            {{"origin", origin}, {"storageTypes", "cache_storage,service_workers"}}};
}

Command SetDocumentContent(const std::string& frame_id, const std::string& html) {
    return {"Page.setDocumentContent", {{"frameId", frame_id}, {"html", html}}};
}

Command CreateFrameScriptWorld(const std::string& frame_id) {
    return {"Page.createIsolatedWorld",
            {{"frameId", frame_id},
             {"worldName", std::string(kFrameScriptWorld)},
             {"grantUniveralAccess", false}}};
}

int ExecutionContextId(const Json& reply) { return reply.value("executionContextId", 0); }

Command EvaluateInContext(const std::string& expression, int context_id) {
    return {"Runtime.evaluate", {{"expression", expression}, {"contextId", context_id}}};
}

Command EvaluateAsUser(const std::string& expression) {
    return {"Runtime.evaluate", {{"expression", expression}, {"userGesture", true}}};
}

Command EvaluateForValue(const std::string& expression) {
    return {"Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}}};
}

Json EvaluatedValue(const Json& reply) {
    return reply.value("result", Json::object()).value("value", Json::object());
}

std::optional<std::string> EvaluatedText(const Json& reply) {
    const Json value = EvaluatedValue(reply);
    if (!value.is_string()) return std::nullopt;
    return value.get<std::string>();
}

std::optional<bool> EvaluatedBool(const Json& reply) {
    const Json value = EvaluatedValue(reply);
    if (!value.is_boolean()) return std::nullopt;
    return value.get<bool>();
}

}  // namespace commands

// ---- input ----

namespace {

const char* ButtonName(MouseButton button) {
    switch (button) {
        case MouseButton::kLeft:
            return "left";
        case MouseButton::kRight:
            return "right";
        case MouseButton::kMiddle:
            return "middle";
        case MouseButton::kNone:
            break;
    }
    return "none";
}

const char* MouseEventType(MouseAction action) {
    switch (action) {
        case MouseAction::kPressed:
            return "mousePressed";
        case MouseAction::kReleased:
            return "mouseReleased";
        case MouseAction::kMoved:
            break;
    }
    return "mouseMoved";
}

constexpr std::string_view kDispatchMouseEvent = "Input.dispatchMouseEvent";
constexpr std::string_view kDispatchKeyEvent = "Input.dispatchKeyEvent";

}  // namespace

int ModifierBits(const ModifierKeys& keys) {
    return (keys.alt ? kModifierAlt : 0) | (keys.ctrl ? kModifierCtrl : 0) |
           (keys.meta ? kModifierMeta : 0) | (keys.shift ? kModifierShift : 0);
}

int ButtonBits(const PressedButtons& pressed) {
    return (pressed.left ? 1 : 0) | (pressed.right ? 2 : 0) | (pressed.middle ? 4 : 0);
}

MouseButton FirstPressed(const PressedButtons& pressed) {
    if (pressed.left) return MouseButton::kLeft;
    if (pressed.right) return MouseButton::kRight;
    if (pressed.middle) return MouseButton::kMiddle;
    return MouseButton::kNone;
}

Command MouseEvent(const MouseInput& input) {
    return {std::string(kDispatchMouseEvent),
            {{"type", MouseEventType(input.action)},
             {"x", input.x},
             {"y", input.y},
             {"button", ButtonName(input.button)},
             {"buttons", ButtonBits(input.pressed)},
             {"clickCount", input.click_count},
             {"modifiers", input.modifiers}}};
}

Command MouseLeft(int modifiers) {
    MouseInput input;
    input.x = -1;
    input.y = -1;
    input.modifiers = modifiers;
    return MouseEvent(input);
}

Command MouseWheel(double x, double y, WheelAxis axis, int wheel_delta, int modifiers) {
    // The page scrolls down for a positive deltaY: the opposite of the system's vertical wheel.
    const bool vertical = axis == WheelAxis::kVertical;
    return {std::string(kDispatchMouseEvent),
            {{"type", "mouseWheel"},
             {"x", x},
             {"y", y},
             {"deltaX", vertical ? 0 : wheel_delta},
             {"deltaY", vertical ? -wheel_delta : 0},
             {"modifiers", modifiers}}};
}

Command KeyEvent(const KeyInput& input) {
    const bool down = input.action == KeyAction::kDown;
    const KeyNames names = KeyNamesFor(input.virtual_key, (input.modifiers & kModifierShift) != 0);
    Command command{std::string(kDispatchKeyEvent),
                    {{"type", down ? "rawKeyDown" : "keyUp"},
                     {"windowsVirtualKeyCode", input.virtual_key},
                     {"nativeVirtualKeyCode", input.virtual_key},
                     {"modifiers", input.modifiers},
                     {"autoRepeat", down && input.was_down},
                     {"isSystemKey", input.alt_held}}};
    if (!names.key.empty()) command.params["key"] = names.key;
    if (!names.code.empty()) command.params["code"] = names.code;
    return command;
}

Command CharEvent(std::u16string_view text, int modifiers) {
    const std::string utf8 = korvex::Utf16ToUtf8(text);
    return {std::string(kDispatchKeyEvent),
            {{"type", "char"},
             {"text", utf8},
             {"unmodifiedText", utf8},
             {"key", utf8},
             {"modifiers", modifiers}}};
}

Command InsertText(const std::string& utf8) { return {"Input.insertText", {{"text", utf8}}}; }

Command SetComposition(const std::string& utf8) {
    // The caret after the composed text. The engine counts text positions in UTF-16 units (a
    // Chinese character is one, where UTF-8 has three bytes).
    const int end = int(korvex::Utf8ToUtf16(utf8).size());
    return {"Input.imeSetComposition",
            {{"text", utf8}, {"selectionStart", end}, {"selectionEnd", end}}};
}

std::u16string CharacterJoiner::Take(char16_t unit) {
    if (unit >= 0xD800 && unit <= 0xDBFF) {  // first half of a pair: wait for the second
        high_surrogate_ = unit;
        return {};
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
        if (!high_surrogate_) return {};
        return {std::exchange(high_surrogate_, char16_t(0)), unit};
    }
    high_surrogate_ = 0;
    return std::u16string(1, unit);
}

}  // namespace cef_detail
