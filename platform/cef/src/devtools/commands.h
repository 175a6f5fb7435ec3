// The DevTools commands the library sends and the readers of their replies: the one place that
// knows their method names and fields (the events it reads are in events.h). Free of Win32; the
// windows unpack their messages into the plain values taken here.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "devtools/connection.h"
#include "devtools/events.h"

namespace cef_detail {

// One command: its method and parameters, ready for Connection::Send.
struct Command {
    std::string method;
    Json params;
};

// Sends command on session. Does nothing (and returns false) without a connection or before
// the session exists: an empty session would address the engine itself.
bool SendOnSession(Connection* connection, const std::string& session, Command command,
                   Connection::Reply reply = {});
// Sends command to the engine itself (the browser-level target).
void SendToEngine(Connection& connection, Command command, Connection::Reply reply = {});

namespace commands {

// ---- the engine, targets and sessions (sent to the engine itself unless said otherwise) ----

// The engine's product and protocol versions: the first exchange, which tells it is there.
Command GetVersion();

// A new, blank page target; the reply names it (CreatedTargetId).
Command CreateBlankTarget();
// A flat session on a target; the reply names it (AttachedSessionId).
Command AttachToTarget(const std::string& target_id);
Command CloseTarget(const std::string& target_id);
// Target.targetCreated and friends for every target (pop-ups show up this way).
Command DiscoverTargets();
// On the parent's session: lets go of one of its sub-targets.
Command DetachFromTarget(const std::string& child_session);
// A target that waits for a go-ahead after attaching runs on.
Command RunIfWaitingForDebugger();

std::string CreatedTargetId(const Json& reply);
std::string AttachedSessionId(const Json& reply);

// ---- a page or sub-frame session ----

Command EnablePage();
Command EnableNetwork();
// Every document request of every frame (redirect hops included) stops until answered with
// ContinueRequest or FailRequest.
Command PauseDocumentRequests();
// Sub-targets (cross-site sub-frames, workers) attach as flat sessions of their own and wait
// for RunIfWaitingForDebugger.
Command AutoAttachSubTargets();
Command ContinueRequest(const std::string& request_id);
// The engine reports the navigation as aborted (ERR_ABORTED) through Network.loadingFailed.
Command AbortRequest(const std::string& request_id);
// Answers the page's open dialog: accept is OK (or leave, for the leave-page question);
// prompt_text is what a prompt returns when accepted (given for prompts only).
Command HandleJavaScriptDialog(bool accept,
                               const std::optional<std::string>& prompt_text = std::nullopt);

// The page behaves as if its window had the focus, whichever window has it.
Command EmulateFocus();
// The page's viewport: width and height in CSS pixels, device_scale its devicePixelRatio; not
// mobile. At a ratio other than 1 the engine draws the page enlarged by the ratio, at full pixel
// size, into a view whose size SetVisibleSize gives (the window's pixels); pointer positions
// then go to the engine in those pixels.
Command SetViewport(int width, int height, double device_scale = 1);
// The view's size in pixels, for a viewport set at a ratio other than 1.
Command SetVisibleSize(int width, int height);
// JPEG frames of quality kScreencastQuality, every frame, at the viewport's size.
inline constexpr int kScreencastQuality = 80;
Command StartScreencast();
Command StopScreencast();
// frame_session is the number Page.screencastFrame carried.
Command AckScreencastFrame(int frame_session);
// The page's picture as it is now, lossless (PNG) at the viewport's size, encoded for speed
// rather than size; its reply gives the picture (CapturedPicture).
Command CaptureLosslessPicture();
// The base64 PNG text of CaptureLosslessPicture's reply; empty when there is none.
std::string CapturedPicture(const Json& reply);

Command GetFrameTree();
// The top frame of the reply (empty when there is none).
events::Frame FrameTreeRoot(const Json& reply);
Command Navigate(const std::string& url);
Command NavigateFrame(const std::string& frame_id, const std::string& url);
Command Reload(bool ignore_cache = false);
Command StopLoading();

Command GetNavigationHistory();
struct NavigationHistory {
    int current_index = 0;
    Json entries = Json::array();
    bool CanGoBack() const;
    bool CanGoForward() const;
    // Id of the entry offset steps from the current one (-1 back, 1 forward); -1 when there is
    // none.
    long long EntryIdAt(int offset) const;
};
NavigationHistory ReadNavigationHistory(const Json& reply);
Command NavigateToHistoryEntry(long long entry_id);

Command ClearBrowserCache();
// Cache storage and service workers of origin.
Command ClearOriginData(const std::string& origin);

// Replaces the document of frame in place; the frame keeps its address.
Command SetDocumentContent(const std::string& frame_id, const std::string& html);
// A script world of the library's own inside frame (kFrameScriptWorld); the reply gives its
// context (ExecutionContextId).
inline constexpr std::string_view kFrameScriptWorld = "__frame_script";
Command CreateFrameScriptWorld(const std::string& frame_id);
int ExecutionContextId(const Json& reply);
// Runs expression in a script context (ExecutionContextId).
Command EvaluateInContext(const std::string& expression, int context_id);
// Runs expression as if the user had done it (edit commands, opening a window).
Command EvaluateAsUser(const std::string& expression);
// Runs expression and returns its value (EvaluatedValue; an empty object when there is none).
Command EvaluateForValue(const std::string& expression);
Json EvaluatedValue(const Json& reply);
// The value as a string, or a boolean; none when it is something else (null, an object) or the
// reply carries none.
std::optional<std::string> EvaluatedText(const Json& reply);
std::optional<bool> EvaluatedBool(const Json& reply);

}  // namespace commands

// ---- input, from plain values ----

// The protocol's modifier bits.
inline constexpr int kModifierAlt = 1;
inline constexpr int kModifierCtrl = 2;
inline constexpr int kModifierMeta = 4;
inline constexpr int kModifierShift = 8;

struct ModifierKeys {
    bool alt = false;
    bool ctrl = false;
    bool meta = false;  // either Windows key
    bool shift = false;
};
int ModifierBits(const ModifierKeys& keys);

enum class MouseButton { kNone, kLeft, kRight, kMiddle };

struct PressedButtons {
    bool left = false;
    bool right = false;
    bool middle = false;
};
// The protocol's pressed-button bits: left 1, right 2, middle 4.
int ButtonBits(const PressedButtons& pressed);
// The button a move reports: the first pressed of left, right, middle; kNone when none is.
MouseButton FirstPressed(const PressedButtons& pressed);

enum class MouseAction { kMoved, kPressed, kReleased };

struct MouseInput {
    MouseAction action = MouseAction::kMoved;
    double x = 0;  // CSS pixels from the viewport's top left
    double y = 0;
    MouseButton button = MouseButton::kNone;  // the button that changed (moves: FirstPressed)
    PressedButtons pressed;                   // buttons held, after the change
    int click_count = 0;                      // 1 a click, 2 a double click, 0 a move
    int modifiers = 0;                        // ModifierBits
};
Command MouseEvent(const MouseInput& input);
// The pointer left the window: a move to (-1, -1) with nothing pressed.
Command MouseLeft(int modifiers);

enum class WheelAxis { kVertical, kHorizontal };
// wheel_delta as the system reports it (multiples of 120; vertical: positive away from the
// user, horizontal: positive to the right); x and y in CSS pixels.
Command MouseWheel(double x, double y, WheelAxis axis, int wheel_delta, int modifiers);

enum class KeyAction { kDown, kUp };

struct KeyInput {
    KeyAction action = KeyAction::kDown;
    int virtual_key = 0;    // Windows virtual-key number
    int modifiers = 0;      // ModifierBits; Shift selects the shifted key name
    bool was_down = false;  // the key was down before this message (auto-repeat of a press)
    bool alt_held = false;  // Alt was held (a system key)
};
Command KeyEvent(const KeyInput& input);

// A typed character (one UTF-16 unit, or a surrogate pair) as text.
Command CharEvent(std::u16string_view text, int modifiers);
// Text the input method has finished composing.
Command InsertText(const std::string& utf8);
// Text the input method is still composing, the caret after it.
Command SetComposition(const std::string& utf8);

// Turns the UTF-16 units of successive character messages into characters: a high surrogate
// waits for the low one that follows it; a low surrogate without one is dropped.
class CharacterJoiner {
  public:
    // The character completed by unit, or empty while it is not complete (or unit is dropped).
    std::u16string Take(char16_t unit);

  private:
    char16_t high_surrogate_ = 0;
};

}  // namespace cef_detail
