// The DevTools events the library reads: one struct per event, holding its method (kMethod) and
// the fields the library uses, and a reader of its parameters (Read). The only place that knows
// the names of event fields. Free of Win32.
//
// Readers never throw: a field that is missing or of another type reads as its default (empty,
// 0, false), so a malformed event is ignored by the code that reads it rather than ending the
// reader. To read a new event: add its struct here with kMethod and Read, and take it with
// As<Event>(method, params) where the events are dispatched.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "devtools/connection.h"

namespace cef_detail::events {

// The event read as Event when method is Event's; nullopt otherwise.
template <class Event>
std::optional<Event> As(std::string_view method, const Json& params) {
    if (method != Event::kMethod) return std::nullopt;
    return Event::Read(params);
}

// ---- shared parts ----

struct TargetInfo {
    std::string target_id;
    std::string type;  // "page", "iframe", "worker", ...
    std::string url;
    std::string opener_id;  // the target that opened it; empty when none did
    static TargetInfo Read(const Json& info);
};

struct Frame {
    std::string id;
    std::optional<std::string> parent_id;  // absent for a session's top frame
    std::string name;
    std::string url;
    std::optional<std::string> unreachable_url;  // set when an error page stands in
    // The address the frame shows: an error page keeps the address that failed.
    const std::string& ShownUrl() const { return unreachable_url ? *unreachable_url : url; }
    static Frame Read(const Json& frame);
};

// ---- targets (on the engine's own session, or a page's for its sub-targets) ----

struct TargetCreated {
    static constexpr std::string_view kMethod = "Target.targetCreated";
    TargetInfo target;
    static TargetCreated Read(const Json& params);
};

struct TargetInfoChanged {
    static constexpr std::string_view kMethod = "Target.targetInfoChanged";
    TargetInfo target;
    static TargetInfoChanged Read(const Json& params);
};

struct TargetDestroyed {
    static constexpr std::string_view kMethod = "Target.targetDestroyed";
    std::string target_id;
    static TargetDestroyed Read(const Json& params);
};

// With target discovery on: the renderer process under a target ended.
struct TargetCrashed {
    static constexpr std::string_view kMethod = "Target.targetCrashed";
    std::string target_id;
    // The engine's words for the end ("killed", "crashed", "oom", "abnormal", ...).
    std::string status;
    int error_code = 0;  // the process's exit code or signal
    static TargetCrashed Read(const Json& params);
};

struct AttachedToTarget {
    static constexpr std::string_view kMethod = "Target.attachedToTarget";
    std::string session_id;
    TargetInfo target;
    static AttachedToTarget Read(const Json& params);
};

struct DetachedFromTarget {
    static constexpr std::string_view kMethod = "Target.detachedFromTarget";
    std::string session_id;
    std::string target_id;  // the engine names it directly or inside targetInfo
    static DetachedFromTarget Read(const Json& params);
};

// ---- requests ----

struct RequestPaused {
    static constexpr std::string_view kMethod = "Fetch.requestPaused";
    std::string request_id;  // answers the pause
    std::string network_id;  // the Network domain's id of the request; request_id when absent
    std::string resource_type;
    std::string frame_id;
    std::string url;
    std::string method;  // "GET" when absent
    bool redirect = false;
    static RequestPaused Read(const Json& params);
};

struct LoadingFailed {
    static constexpr std::string_view kMethod = "Network.loadingFailed";
    std::string request_id;
    std::string type;        // resource type
    std::string error_text;  // "net::ERR_..."
    static LoadingFailed Read(const Json& params);
};

struct LoadingFinished {
    static constexpr std::string_view kMethod = "Network.loadingFinished";
    std::string request_id;
    static LoadingFinished Read(const Json& params);
};

// ---- frames and the page ----

struct FrameAttached {
    static constexpr std::string_view kMethod = "Page.frameAttached";
    std::string frame_id;
    std::string parent_frame_id;
    static FrameAttached Read(const Json& params);
};

struct FrameNavigated {
    static constexpr std::string_view kMethod = "Page.frameNavigated";
    Frame frame;
    static FrameNavigated Read(const Json& params);
};

struct FrameDetached {
    static constexpr std::string_view kMethod = "Page.frameDetached";
    std::string frame_id;
    // False when the frame only moves to a process of its own (reason "swap") and lives on.
    bool removed = true;
    static FrameDetached Read(const Json& params);
};

struct FrameStartedLoading {
    static constexpr std::string_view kMethod = "Page.frameStartedLoading";
    std::string frame_id;
    static FrameStartedLoading Read(const Json& params);
};

struct FrameStoppedLoading {
    static constexpr std::string_view kMethod = "Page.frameStoppedLoading";
    std::string frame_id;
    static FrameStoppedLoading Read(const Json& params);
};

struct WindowOpen {
    static constexpr std::string_view kMethod = "Page.windowOpen";
    std::string url;
    static WindowOpen Read(const Json& params);
};

enum class DialogType { kAlert, kConfirm, kPrompt, kBeforeUnload };

// The page is blocked until the dialog is answered (commands::HandleJavaScriptDialog).
struct JavascriptDialogOpening {
    static constexpr std::string_view kMethod = "Page.javascriptDialogOpening";
    std::string url;  // of the frame that opened it
    std::string message;
    DialogType type = DialogType::kAlert;  // an unknown type reads as an alert
    std::string default_prompt;
    static JavascriptDialogOpening Read(const Json& params);
};

// The dialog is over, whoever answered it.
struct JavascriptDialogClosed {
    static constexpr std::string_view kMethod = "Page.javascriptDialogClosed";
    bool result = false;
    std::string user_input;
    static JavascriptDialogClosed Read(const Json& params);
};

// Read on the reader thread; Take moves the picture out of the parameters.
struct ScreencastFrame {
    static constexpr std::string_view kMethod = "Page.screencastFrame";
    std::string data;  // base64 JPEG
    int session = 0;   // to acknowledge (commands::AckScreencastFrame)
    static ScreencastFrame Take(Json& params);
};

}  // namespace cef_detail::events
