#include "browser/browser_core.h"

#include <algorithm>
#include <utility>

#include "browser/net_errors.h"
#include "browser/termination_status.h"

namespace cef_detail {
namespace {

constexpr std::string_view kBlankAddress = "about:blank";

}  // namespace

BrowserCore::BrowserCore(int id, Connection& connection, BrowserDirectory& directory,
                         Delegate& delegate, Trace trace, std::string url, std::string target_id)
    : id_(id),
      connection_(connection),
      directory_(directory),
      delegate_(delegate),
      trace_(std::move(trace)),
      url_(std::move(url)),
      address_(url_),
      load_on_attach_(url_),
      target_id_(std::move(target_id)) {}

void BrowserCore::Advance(Stage next) {
    if (stage_ < Stage::kClosing) stage_ = next;
}

// ---- life cycle ----

void BrowserCore::Start() {
    if (!target_id_.empty()) {
        Attach(target_id_);
        return;
    }
    SendToEngine(connection_, commands::CreateBlankTarget(),
                 ThisEngine([this](const Json& result, const ProtocolError* error) {
                     if (error) return OnCommandFailed(*error);
                     Attach(commands::CreatedTargetId(result));
                 }));
}

void BrowserCore::Abandon() {
    stage_ = Stage::kClosed;
    directory_.Remove(id_);
}

void BrowserCore::Attach(std::string target_id) {
    target_id_ = std::move(target_id);
    trace_("target " + target_id_);
    if (closed()) {  // closed while the target was being made
        directory_.CloseTarget(target_id_);
        return;
    }
    directory_.BindTarget(id_, target_id_);
    Advance(Stage::kAttaching);
    SendToEngine(connection_, commands::AttachToTarget(target_id_),
                 ThisEngine([this](const Json& result, const ProtocolError* error) {
                     if (error) return OnCommandFailed(*error);
                     OnAttached(commands::AttachedSessionId(result));
                 }));
}

void BrowserCore::OnAttached(std::string session_id) {
    trace_("session " + session_id);
    // Closed while attaching: the close has already asked the engine to drop the target, and
    // the directory must not learn a session of a browser it no longer holds.
    if (closed()) return;
    session_id_ = std::move(session_id);
    directory_.BindSession(id_, session_id_);
    EnableSession(session_id_);
    SendToPage(commands::EmulateFocus());
    const auto [width, height] = delegate_.ClientSize();
    ApplyViewport(width, height);
    if (delegate_.WindowShown()) StartScreencast();
    SendToPage(commands::RunIfWaitingForDebugger());
    Advance(Stage::kReadingFrameTree);
    SendToPage(commands::GetFrameTree(),
               ThisEngine([this](const Json& result, const ProtocolError* error) {
                   OnFrameTree(result, error);
               }));
}

void BrowserCore::OnFrameTree(const Json& result, const ProtocolError* error) {
    if (closed()) return;
    if (!error) OnFrameNavigated(commands::FrameTreeRoot(result));
    const bool first = !reported_;
    reported_ = true;
    Advance(Stage::kReported);
    if (first) delegate_.OnAfterCreated();
    if (closed()) return;
    if (pending_error_) {  // a new page: blank already
        showing_error_ = true;
        return ReportPendingError();
    }
    if (!load_on_attach_.empty()) {
        SendToPage(commands::Navigate(load_on_attach_));
        Advance(Stage::kNavigating);
    }
}

void BrowserCore::OnCommandFailed(const ProtocolError& error) {
    // The engine died under the command: the browser waits to be made again in the next one.
    if (error.code == kConnectionClosedCode) return;
    Close();
}

Connection::Reply BrowserCore::ThisEngine(
    std::function<void(const Json&, const ProtocolError*)> handler) {
    return [this, keep = delegate_.KeepAlive(), generation = engine_generation_,
            handler = std::move(handler)](const Json& result, const ProtocolError* error) {
        if (generation == engine_generation_) handler(result, error);
    };
}

void BrowserCore::Recreate(const std::string& error_text) {
    if (stage_ >= Stage::kClosing) return;
    ++engine_generation_;
    trace_(error_text.empty() ? "made again in a new engine"
                              : "made again in a new engine, on its error page");
    target_id_.clear();
    session_id_.clear();
    frame_sessions_.clear();
    navigations_.clear();
    pending_popup_urls_.clear();
    screencasting_ = false;
    renderer_ended_ = false;
    loading_ = false;
    delegate_.InvalidateFrames();  // the old page's frames went with the old engine
    pending_error_.reset();
    if (!error_text.empty()) pending_error_ = error_text;
    load_on_attach_ = pending_error_ ? std::string() : address_;
    stage_ = Stage::kMakingTarget;
    Start();
}

void BrowserCore::OnRendererEnded(const std::string& engine_status,
                                  CrashReloadPolicy::Clock::time_point now) {
    if (!reported_ || stage_ >= Stage::kClosing) return;
    renderer_ended_ = true;
    screencasting_ = false;  // started again once the page has a renderer
    navigations_.clear();
    trace_("renderer ended: " + engine_status);
    delegate_.OnRenderProcessTerminated(engine_status);
    if (stage_ >= Stage::kClosing) return;
    // The engine answers a navigation once it has committed. Its frame events may be lost
    // while the page's new renderer is being set up, so the answer is what tells the page has
    // a renderer again.
    auto committed = ThisEngine([this](const Json&, const ProtocolError* error) {
        if (error || closed()) return;
        if (pending_error_) ReportPendingError();
        OnRendererBack();
    });
    if (crash_policy_.OnCrash(now) == CrashReloadPolicy::Action::kReload) {
        SendToPage(commands::Navigate(address_), std::move(committed));
        return;
    }
    // The error page is a document of the page: it needs a renderer, which a blank page gets.
    pending_error_ = TerminationErrorText(TerminationStatusFromEngine(engine_status));
    SendToPage(commands::Navigate(std::string(kBlankAddress)), std::move(committed));
}

void BrowserCore::OnRendererBack() {
    if (!renderer_ended_) return;
    renderer_ended_ = false;
    if (delegate_.WindowShown()) StartScreencast();
}

void BrowserCore::Reload() {
    // An error page of the library's own is a blank page: loading again means its address.
    SendToPage(showing_error_ ? commands::Navigate(address_) : commands::Reload());
}

void BrowserCore::ReportPendingError() {
    const std::string text = std::move(*pending_error_);
    pending_error_.reset();
    showing_error_ = true;
    delegate_.OnLoadError(target_id_, NetErrorCode("ERR_FAILED"), text, address_);
}

void BrowserCore::Close() {
    if (stage_ >= Stage::kClosing) return;
    stage_ = Stage::kClosing;
    DismissDialogs();
    if (delegate_.DoClose()) return;  // the owner destroys the window itself
    if (!delegate_.DestroyWindow()) Finish();
}

void BrowserCore::Finish() {
    if (closed()) return;
    stage_ = Stage::kClosed;
    trace_("closed");
    DismissDialogs();
    delegate_.ReleaseView();
    directory_.CloseTarget(target_id_);
    directory_.Remove(id_);
    if (reported_) delegate_.OnBeforeClose();
    delegate_.InvalidateFrames();
}

// ---- sending ----

void BrowserCore::SendToFrame(const std::string& frame_id, Command command,
                              Connection::Reply reply) {
    auto it = frame_sessions_.find(frame_id);
    SendOn(it == frame_sessions_.end() ? session_id_ : it->second, std::move(command),
           std::move(reply));
}

void BrowserCore::SendToPage(Command command, Connection::Reply reply) {
    SendToFrame({}, std::move(command), std::move(reply));
}

void BrowserCore::SendOn(const std::string& session, Command command, Connection::Reply reply) {
    if (session.empty()) return;
    if (!reply) {
        reply = [trace = trace_, method = command.method](const Json&, const ProtocolError* error) {
            trace(method + (error ? " failed: " + error->message : " done"));
        };
    }
    trace_("send " + command.method);
    SendOnSession(&connection_, session, std::move(command), std::move(reply));
}

void BrowserCore::EnableSession(const std::string& session) {
    SendOn(session, commands::EnablePage());
    SendOn(session, commands::EnableNetwork());
    // Every document request of every frame (redirect hops included) stops here until the
    // request handler has seen it.
    SendOn(session, commands::PauseDocumentRequests());
    // Cross-site sub-frames get sessions of their own; they wait until they have been set up
    // like this one, so none of their navigations goes unseen.
    SendOn(session, commands::AutoAttachSubTargets());
}

// ---- the window's view of the page ----

void BrowserCore::ApplyViewport(int width, int height) {
    if (width <= 0 || height <= 0) return;
    const DisplayScale scale = delegate_.ViewScale();
    SendToPage(
        commands::SetViewport(scale.CssLength(width), scale.CssLength(height), scale.ratio()));
    if (scale.ratio() != 1) SendToPage(commands::SetVisibleSize(width, height));
}

// A hidden page keeps running; only its pictures stop: nothing is encoded, decoded or painted
// while nobody can see them.
void BrowserCore::SetShown(bool shown) {
    if (closed()) return;
    trace_(shown ? "shown" : "hidden");
    shown ? StartScreencast() : StopScreencast();
    // A dialog never stands on the desktop for a window nobody can see.
    if (dialog_open_) {
        delegate_.ShowDialog(shown);
    } else if (shown) {
        OpenNextDialog();
    }
}

void BrowserCore::StartScreencast() {
    if (screencasting_ || session_id_.empty()) return;
    screencasting_ = true;
    // The engine sends the page's current picture first, so a window shown again gets a fresh
    // frame at once.
    SendToPage(commands::StartScreencast());
}

void BrowserCore::StopScreencast() {
    if (!screencasting_) return;
    screencasting_ = false;
    SendToPage(commands::StopScreencast());
}

// ---- history and cache ----

void BrowserCore::RefreshHistory() {
    SendToPage(
        commands::GetNavigationHistory(),
        [this, keep = delegate_.KeepAlive()](const Json& result, const ProtocolError* error) {
            if (error) return;
            const commands::NavigationHistory history = commands::ReadNavigationHistory(result);
            can_go_back_ = history.CanGoBack();
            can_go_forward_ = history.CanGoForward();
        });
}

void BrowserCore::GoInHistory(int offset) {
    SendToPage(
        commands::GetNavigationHistory(), [this, keep = delegate_.KeepAlive(), offset](
                                              const Json& result, const ProtocolError* error) {
            if (error) return;
            const long long entry = commands::ReadNavigationHistory(result).EntryIdAt(offset);
            if (entry >= 0) SendToPage(commands::NavigateToHistoryEntry(entry));
        });
}

void BrowserCore::ClearCache(const std::function<std::string()>& page_origin,
                             std::function<void()> done) {
    if (closed() || session_id_.empty()) return done();
    const std::string origin = page_origin();
    SendToPage(commands::ClearBrowserCache(),
               [&connection = connection_, origin, done](const Json&, const ProtocolError*) {
                   if (origin.empty()) return done();
                   SendToEngine(connection, commands::ClearOriginData(origin),
                                [done](const Json&, const ProtocolError*) { done(); });
               });
}

std::string BrowserCore::TakePendingPopupUrl() {
    if (pending_popup_urls_.empty()) return {};
    std::string url = std::move(pending_popup_urls_.front());
    pending_popup_urls_.pop_front();
    return url;
}

// ---- the page's dialogs ----

// The page is blocked until its dialog is answered; a second page dialog (a cross-site
// sub-frame runs on its own) waits for the first.
void BrowserCore::OnDialogOpening(const events::JavascriptDialogOpening& opening,
                                  const std::string& session) {
    const PageDialog dialog = PageDialog::For(opening);
    trace_("dialog");
    if (stage_ >= Stage::kClosing) {  // nobody is left to answer it
        SendOn(session, dialog.Dismissed());
        return;
    }
    dialogs_.push_back({session, dialog});
    waiting_dialogs_ = dialogs_.size();
    OpenNextDialog();
}

void BrowserCore::OpenNextDialog() {
    if (dialog_open_ || dialogs_.empty()) return;
    // Asking may first bring news of the window (SetShown), which may open the dialog itself.
    const bool shown = delegate_.WindowShown();
    if (!shown || dialog_open_ || dialogs_.empty()) return;
    dialog_open_ = true;
    delegate_.OpenDialog(dialogs_.front().dialog);
}

void BrowserCore::AnswerDialog(bool ok, const std::string& typed) {
    if (!dialog_open_ || dialogs_.empty()) return;
    const WaitingDialog answered = std::move(dialogs_.front());
    dialogs_.pop_front();
    waiting_dialogs_ = dialogs_.size();
    dialog_open_ = false;
    SendOn(answered.session, answered.dialog.Answer(ok, typed));
    if (!closed()) OpenNextDialog();
}

// The engine ended a dialog the player had not answered (its page went away, say).
void BrowserCore::OnDialogClosed(const std::string& session) {
    auto it = std::find_if(dialogs_.begin(), dialogs_.end(),
                           [&session](const WaitingDialog& d) { return d.session == session; });
    if (it == dialogs_.end()) return;
    if (it == dialogs_.begin() && dialog_open_) {
        dialog_open_ = false;
        delegate_.CloseDialog();
    }
    dialogs_.erase(it);
    waiting_dialogs_ = dialogs_.size();
    OpenNextDialog();
}

void BrowserCore::DismissDialogs() {
    if (dialog_open_) {
        dialog_open_ = false;
        delegate_.CloseDialog();
    }
    for (const WaitingDialog& waiting : dialogs_)
        SendOn(waiting.session, waiting.dialog.Dismissed());
    dialogs_.clear();
    waiting_dialogs_ = 0;
}

// ---- engine events ----

void BrowserCore::OnPageEvent(const std::string& method, const Json& params,
                              const std::string& session) {
    if (closed()) return;
    using namespace events;
    if (auto paused = As<RequestPaused>(method, params)) {
        OnRequestPaused(*paused, session);
    } else if (auto attached = As<AttachedToTarget>(method, params)) {
        OnTargetAttached(*attached, session);
    } else if (auto detached = As<DetachedFromTarget>(method, params)) {
        OnTargetDetached(*detached);
    } else if (auto failed = As<LoadingFailed>(method, params)) {
        OnLoadingFailed(*failed);
    } else if (auto finished = As<LoadingFinished>(method, params)) {
        navigations_.erase(finished->request_id);
    } else if (auto frame = As<FrameAttached>(method, params)) {
        delegate_.SetFrameParent(frame->frame_id, frame->parent_frame_id);
    } else if (auto navigated = As<FrameNavigated>(method, params)) {
        OnFrameNavigated(navigated->frame);
    } else if (auto gone = As<FrameDetached>(method, params)) {
        if (gone->removed) delegate_.RemoveFrame(gone->frame_id);
    } else if (auto started = As<FrameStartedLoading>(method, params)) {
        OnFrameLoading(started->frame_id, true);
    } else if (auto stopped = As<FrameStoppedLoading>(method, params)) {
        OnFrameLoading(stopped->frame_id, false);
    } else if (auto opened = As<WindowOpen>(method, params)) {
        pending_popup_urls_.push_back(opened->url);
    } else if (auto dialog = As<JavascriptDialogOpening>(method, params)) {
        OnDialogOpening(*dialog, session);
    } else if (As<JavascriptDialogClosed>(method, params)) {
        OnDialogClosed(session);
    }
}

void BrowserCore::OnTargetAttached(const events::AttachedToTarget& attached,
                                   const std::string& parent_session) {
    const std::string& child = attached.session_id;
    if (child.empty()) return;
    if (attached.target.type != "iframe") {
        // Workers and the like: not this library's concern, but they wait for a go-ahead.
        SendOn(child, commands::RunIfWaitingForDebugger());
        SendOn(parent_session, commands::DetachFromTarget(child));
        return;
    }
    // A cross-site sub-frame: its target id is the frame's id.
    frame_sessions_[attached.target.target_id] = child;
    directory_.BindSession(id_, child);
    EnableSession(child);
    SendOn(child, commands::RunIfWaitingForDebugger());
}

void BrowserCore::OnTargetDetached(const events::DetachedFromTarget& detached) {
    const std::string& child = detached.session_id;
    if (child.empty() || child == session_id_) return;
    std::erase_if(frame_sessions_, [&child](const auto& entry) { return entry.second == child; });
    directory_.UnbindSession(id_, child);
}

void BrowserCore::OnRequestPaused(const events::RequestPaused& paused, const std::string& session) {
    if (paused.resource_type != "Document") {
        SendOn(session, commands::ContinueRequest(paused.request_id));
        return;
    }
    navigations_[paused.network_id] = {paused.frame_id, paused.url};
    const bool cancel =
        delegate_.OnBeforeBrowse(paused.frame_id, paused.url, paused.method, paused.redirect);
    if (closed()) return;
    // A vetoed navigation is reported aborted (ERR_ABORTED) through loadingFailed.
    SendOn(session, cancel ? commands::AbortRequest(paused.request_id)
                           : commands::ContinueRequest(paused.request_id));
}

void BrowserCore::OnLoadingFailed(const events::LoadingFailed& failed) {
    if (failed.type != "Document") return;
    auto it = navigations_.find(failed.request_id);
    if (it == navigations_.end()) return;
    const Navigation navigation = it->second;
    navigations_.erase(it);
    delegate_.OnLoadError(navigation.frame_id, NetErrorCode(failed.error_text),
                          NetErrorName(failed.error_text), navigation.url);
}

void BrowserCore::OnFrameNavigated(const events::Frame& frame) {
    if (frame.id.empty()) return;
    const std::string& url = frame.ShownUrl();
    const bool main = frame.id == target_id_;
    // The blank page that holds (or is to hold) an error page stands for the address that failed.
    const bool error_page =
        main && url == kBlankAddress && (pending_error_.has_value() || showing_error_);
    const std::string shown = error_page ? address_ : url;
    // The top frame of a sub-frame session has no parent there: it keeps the one the page's
    // session told.
    std::optional<std::string> parent = frame.parent_id;
    if (main && !parent) parent = "";
    delegate_.UpdateFrame(frame.id, shown, frame.name, parent);
    if (!main) return;
    has_document_ = true;
    showing_error_ = error_page;
    if (url != kBlankAddress) address_ = url;
    OnRendererBack();
    RefreshHistory();
    delegate_.OnAddressChange(frame.id, shown);
    if (error_page && pending_error_) ReportPendingError();
}

void BrowserCore::OnFrameLoading(const std::string& frame_id, bool started) {
    const bool main = frame_id == target_id_;
    if (main) {
        loading_ = started;
        if (!started) RefreshHistory();
    }
    delegate_.OnFrameLoading(frame_id, started, main);
}

}  // namespace cef_detail
