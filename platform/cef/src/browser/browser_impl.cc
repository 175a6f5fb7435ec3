#include "browser/browser_impl.h"

#include "browser/browser_registry.h"
#include "browser/context_menu.h"
#include "browser/frame_painter.h"
#include "browser/net_errors.h"
#include "browser/page_origin.h"
#include "browser/request_impl.h"
#include "core/library_log.h"
#include "devtools/commands.h"

namespace cef_detail {
namespace {

std::atomic<int> g_next_browser_id{1};

// Steps of a browser's life, for developers (standard error while KORVEX_CEF_LOG is set).
void Trace(int id, const std::string& text) {
    if (LibraryLog().to_stderr()) LibraryLog().Write("browser " + std::to_string(id) + ": " + text);
}

}  // namespace

BrowserImpl::BrowserImpl(Connection& connection, const CefWindowInfo& info,
                         CefRefPtr<CefClient> client, std::string url, std::string target_id,
                         bool is_popup)
    : connection_(connection),
      id_(g_next_browser_id++),
      info_(info),
      client_(client),
      url_(std::move(url)),
      is_popup_(is_popup),
      target_id_(std::move(target_id)) {}

BrowserImpl::~BrowserImpl() {
    for (auto& [id, frame] : frames_) frame->Invalidate();
}

void BrowserImpl::Start() {
    CefRefPtr<BrowserImpl> self = this;
    BrowserRegistry::Get().Add(self);
    window_ = std::make_unique<BrowserWindow>(info_, connection_, this);
    hwnd_ = window_->hwnd();
    Trace(id_, "window " + std::to_string(reinterpret_cast<std::uintptr_t>(hwnd_.load())));
    if (!hwnd_) {  // nothing to show it in: no browser
        closed_ = true;
        hwnd_ = nullptr;
        window_.reset();
        BrowserRegistry::Get().Remove(this);
        return;
    }
    {
        std::lock_guard lock(painter_mutex_);
        painter_ = std::make_unique<FramePainter>(hwnd_);
    }
    if (!target_id_.empty()) {
        Attach(target_id_);
        return;
    }
    SendToEngine(connection_, commands::CreateBlankTarget(),
                 [self](const Json& result, const ProtocolError* error) {
                     if (error) {
                         self->CloseOnUi(true);
                         return;
                     }
                     self->Attach(commands::CreatedTargetId(result));
                 });
}

void BrowserImpl::Attach(std::string target_id) {
    target_id_ = std::move(target_id);
    Trace(id_, "target " + target_id_);
    if (closed_) {  // closed while the target was being made
        BrowserRegistry::Get().CloseTarget(target_id_);
        return;
    }
    BrowserRegistry::Get().BindTarget(this, target_id_);
    CefRefPtr<BrowserImpl> self = this;
    SendToEngine(connection_, commands::AttachToTarget(target_id_),
                 [self](const Json& result, const ProtocolError* error) {
                     if (error) {
                         self->CloseOnUi(true);
                         return;
                     }
                     self->OnAttached(commands::AttachedSessionId(result));
                 });
}

void BrowserImpl::OnAttached(std::string session_id) {
    Trace(id_, "session " + session_id);
    // Closed while attaching: the close has already asked the engine to drop the target, and
    // the registry must not learn a session of a browser it no longer holds.
    if (closed_) return;
    session_id_ = std::move(session_id);
    BrowserRegistry::Get().BindSession(this, session_id_);
    EnableSession(session_id_);
    SendToPage(commands::EmulateFocus());
    RECT client{};
    if (HWND hwnd = hwnd_) GetClientRect(hwnd, &client);
    ApplyViewport(client.right, client.bottom);
    if (window_ && window_->shown()) StartScreencast();
    SendToPage(commands::RunIfWaitingForDebugger());
    CefRefPtr<BrowserImpl> self = this;
    SendToPage(commands::GetFrameTree(), [self](const Json& result, const ProtocolError* error) {
        if (self->closed_) return;
        if (!error) self->OnFrameNavigated(commands::FrameTreeRoot(result));
        self->created_reported_ = true;
        CefRefPtr<CefLifeSpanHandler> life =
            self->client_ ? self->client_->GetLifeSpanHandler() : nullptr;
        if (life) life->OnAfterCreated(self.get());
        if (!self->url_.empty() && !self->closed_) {
            self->SendToPage(commands::Navigate(self->url_));
        }
    });
}

void BrowserImpl::EnableSession(const std::string& session) {
    SendOn(session, commands::EnablePage());
    SendOn(session, commands::EnableNetwork());
    // Every document request of every frame (redirect hops included) stops here until the
    // request handler has seen it.
    SendOn(session, commands::PauseDocumentRequests());
    // Cross-site sub-frames get sessions of their own; they wait until they have been set up
    // like this one, so none of their navigations goes unseen.
    SendOn(session, commands::AutoAttachSubTargets());
}

void BrowserImpl::SendToFrame(std::string frame_id, Command command, Connection::Reply reply) {
    if (!IsOnThread(TID_UI)) {
        CefRefPtr<BrowserImpl> self = this;
        PostToThread(TID_UI, [self, frame_id = std::move(frame_id), command = std::move(command),
                              reply = std::move(reply)]() mutable {
            self->SendToFrame(std::move(frame_id), std::move(command), std::move(reply));
        });
        return;
    }
    auto it = frame_sessions_.find(frame_id);
    SendOn(it == frame_sessions_.end() ? session_id_ : it->second, std::move(command),
           std::move(reply));
}

void BrowserImpl::SendToPage(Command command, Connection::Reply reply) {
    SendToFrame({}, std::move(command), std::move(reply));
}

void BrowserImpl::SendOn(const std::string& session, Command command, Connection::Reply reply) {
    if (session.empty()) return;
    if (!reply) {
        reply = [id = id_, method = command.method](const Json&, const ProtocolError* error) {
            Trace(id, method + (error ? " failed: " + error->message : " done"));
        };
    }
    Trace(id_, "send " + command.method);
    SendOnSession(&connection_, session, std::move(command), std::move(reply));
}

void BrowserImpl::StartScreencast() {
    if (screencasting_ || session_id_.empty()) return;
    screencasting_ = true;
    // The engine sends the page's current picture first, so a window shown again gets a fresh
    // frame at once.
    SendToPage(commands::StartScreencast());
}

void BrowserImpl::StopScreencast() {
    if (!screencasting_) return;
    screencasting_ = false;
    SendToPage(commands::StopScreencast());
}

// A hidden page keeps running; only its pictures stop: nothing is encoded, decoded or painted
// while nobody can see them.
void BrowserImpl::OnWindowShownChanged(bool shown) {
    if (closed_) return;
    Trace(id_, shown ? "shown" : "hidden");
    shown ? StartScreencast() : StopScreencast();
}

void BrowserImpl::ApplyViewport(int width, int height) {
    if (width <= 0 || height <= 0) return;
    SendToPage(commands::SetViewport(width, height));
}

// ---- engine events (TID_UI) ----

void BrowserImpl::OnPageEvent(const std::string& method, const Json& params,
                              const std::string& session) {
    if (closed_) return;
    if (method == events::kRequestPaused) {
        OnRequestPaused(params, session);
    } else if (method == events::kAttachedToTarget) {
        OnTargetAttached(params, session);
    } else if (method == events::kDetachedFromTarget) {
        OnTargetDetached(params);
    } else if (method == events::kLoadingFailed) {
        OnLoadingFailed(params);
    } else if (method == events::kLoadingFinished) {
        navigations_.erase(params.value("requestId", ""));
    } else if (method == events::kFrameAttached) {
        FrameById(params.value("frameId", ""))->SetParent(params.value("parentFrameId", ""));
    } else if (method == events::kFrameNavigated) {
        OnFrameNavigated(params.value("frame", Json::object()));
    } else if (method == events::kFrameDetached) {
        if (params.value("reason", "remove") == "remove") {
            CefRefPtr<FrameImpl> gone;
            {
                std::lock_guard lock(frames_mutex_);
                auto it = frames_.find(params.value("frameId", ""));
                if (it == frames_.end()) return;
                gone = it->second;
                frames_.erase(it);
            }
            gone->Invalidate();
        }
    } else if (method == events::kFrameStartedLoading || method == events::kFrameStoppedLoading) {
        const bool started = method == events::kFrameStartedLoading;
        CefRefPtr<FrameImpl> frame = FrameById(params.value("frameId", ""));
        CefRefPtr<CefLoadHandler> load = client_ ? client_->GetLoadHandler() : nullptr;
        if (frame->frame_id() == target_id_) {
            loading_ = started;
            if (!started) RefreshHistory();
            if (load) load->OnLoadingStateChange(this, started, can_go_back_, can_go_forward_);
        }
        if (load && started) load->OnLoadStart(this, frame.get());
        if (load && !started) load->OnLoadEnd(this, frame.get(), 200);
    } else if (method == events::kWindowOpen) {
        pending_popup_urls_.push_back(params.value("url", ""));
    } else if (method == events::kJavascriptDialogOpening) {
        // Nobody could answer a dialog of a page without a window: it is accepted at once.
        SendOn(session, commands::AcceptJavaScriptDialog());
    }
}

void BrowserImpl::OnTargetAttached(const Json& params, const std::string& parent_session) {
    const std::string child = params.value("sessionId", "");
    const Json info = params.value("targetInfo", Json::object());
    if (child.empty()) return;
    if (info.value("type", "") != "iframe") {
        // Workers and the like: not this library's concern, but they wait for a go-ahead.
        SendOn(child, commands::RunIfWaitingForDebugger());
        SendOn(parent_session, commands::DetachFromTarget(child));
        return;
    }
    // A cross-site sub-frame: its target id is the frame's id.
    frame_sessions_[info.value("targetId", "")] = child;
    BrowserRegistry::Get().BindSession(this, child);
    EnableSession(child);
    SendOn(child, commands::RunIfWaitingForDebugger());
}

void BrowserImpl::OnTargetDetached(const Json& params) {
    const std::string child = params.value("sessionId", "");
    if (child.empty() || child == session_id_) return;
    std::erase_if(frame_sessions_, [&child](const auto& entry) { return entry.second == child; });
    BrowserRegistry::Get().UnbindSession(this, child);
}

void BrowserImpl::OnRequestPaused(const Json& params, const std::string& session) {
    const std::string request_id = params.value("requestId", "");
    if (params.value("resourceType", "") != "Document") {
        SendOn(session, commands::ContinueRequest(request_id));
        return;
    }
    const Json request = params.value("request", Json::object());
    const std::string url = request.value("url", "");
    const bool redirect = params.contains("redirectedRequestId");
    CefRefPtr<FrameImpl> frame = FrameById(params.value("frameId", ""));
    navigations_[params.value("networkId", request_id)] = {frame->frame_id(), url};

    bool cancel = false;
    if (CefRefPtr<CefRequestHandler> handler = client_ ? client_->GetRequestHandler() : nullptr) {
        CefRefPtr<CefRequest> info = new RequestImpl(url, request.value("method", "GET"), redirect);
        cancel = handler->OnBeforeBrowse(this, frame.get(), info, redirect);
    }
    if (closed_) return;
    // A vetoed navigation is reported aborted (ERR_ABORTED) through loadingFailed.
    SendOn(session,
           cancel ? commands::AbortRequest(request_id) : commands::ContinueRequest(request_id));
}

void BrowserImpl::OnLoadingFailed(const Json& params) {
    if (params.value("type", "") != "Document") return;
    auto it = navigations_.find(params.value("requestId", ""));
    if (it == navigations_.end()) return;
    const Navigation navigation = it->second;
    navigations_.erase(it);
    const std::string text = params.value("errorText", "");
    CefRefPtr<FrameImpl> frame = FrameById(navigation.frame_id);
    if (CefRefPtr<CefLoadHandler> load = client_ ? client_->GetLoadHandler() : nullptr) {
        load->OnLoadError(this, frame.get(), static_cast<ErrorCode>(NetErrorCode(text)),
                          CefString(NetErrorName(text)), CefString(navigation.url));
    }
}

void BrowserImpl::OnFrameNavigated(const Json& frame_info) {
    const std::string frame_id = frame_info.value("id", "");
    if (frame_id.empty()) return;
    // An error page keeps the address that failed.
    const std::string url = frame_info.contains("unreachableUrl")
                                ? frame_info.value("unreachableUrl", "")
                                : frame_info.value("url", "");
    CefRefPtr<FrameImpl> frame = FrameById(frame_id);
    if (frame_info.contains("parentId") || frame_id == target_id_) {
        frame->Update(url, frame_info.value("name", ""), frame_info.value("parentId", ""));
    } else {
        // The top frame of a sub-frame session: its parent is known from the page's session.
        frame->Update(url, frame_info.value("name", ""));
    }
    if (frame_id != target_id_) return;
    has_document_ = true;
    RefreshHistory();
    if (CefRefPtr<CefDisplayHandler> display = client_ ? client_->GetDisplayHandler() : nullptr) {
        display->OnAddressChange(this, frame.get(), CefString(url));
    }
}

void BrowserImpl::RefreshHistory() {
    CefRefPtr<BrowserImpl> self = this;
    SendToPage(
        commands::GetNavigationHistory(), [self](const Json& result, const ProtocolError* error) {
            if (error) return;
            const commands::NavigationHistory history = commands::ReadNavigationHistory(result);
            self->can_go_back_ = history.CanGoBack();
            self->can_go_forward_ = history.CanGoForward();
        });
}

void BrowserImpl::OnScreencastFrame(Json& params) {
    ++received_frames_;
    // Acknowledge first so the engine can start on the next frame while this one is decoded.
    SendOnSession(&connection_, session_id_,
                  commands::AckScreencastFrame(params.value("sessionId", 0)));
    std::lock_guard lock(painter_mutex_);
    if (painter_ && params["data"].is_string()) {
        painter_->Submit(std::move(params["data"].get_ref<std::string&>()));
    }
}

std::string BrowserImpl::TakePendingPopupUrl() {
    if (pending_popup_urls_.empty()) return {};
    std::string url = std::move(pending_popup_urls_.front());
    pending_popup_urls_.pop_front();
    return url;
}

std::uint64_t BrowserImpl::painted_frames() {
    std::lock_guard lock(painter_mutex_);
    return painter_ ? painter_->painted_frames() : 0;
}

long long BrowserImpl::PixelAt(int x, int y) {
    std::lock_guard lock(painter_mutex_);
    return painter_ ? painter_->PixelAt(x, y) : -1;
}

CefRefPtr<FrameImpl> BrowserImpl::FrameById(const std::string& frame_id) {
    std::lock_guard lock(frames_mutex_);
    auto it = frames_.find(frame_id);
    if (it != frames_.end()) return it->second;
    CefRefPtr<FrameImpl> frame = new FrameImpl(this, frame_id, next_frame_identifier_++);
    frames_[frame_id] = frame;
    return frame;
}

// ---- CefBrowser ----

bool BrowserImpl::IsSame(CefRefPtr<CefBrowser> that) {
    return that && that->GetIdentifier() == id_;
}

void BrowserImpl::GoBack() { GoInHistory(-1); }

void BrowserImpl::GoForward() { GoInHistory(1); }

void BrowserImpl::GoInHistory(int offset) {
    CefRefPtr<BrowserImpl> self = this;
    SendToPage(commands::GetNavigationHistory(), [self, offset](const Json& result,
                                                                const ProtocolError* error) {
        if (error) return;
        const long long entry = commands::ReadNavigationHistory(result).EntryIdAt(offset);
        if (entry >= 0) self->SendToPage(commands::NavigateToHistoryEntry(entry));
    });
}

void BrowserImpl::Reload() { SendToPage(commands::Reload()); }
void BrowserImpl::StopLoad() { SendToPage(commands::StopLoading()); }

CefRefPtr<CefFrame> BrowserImpl::GetMainFrame() {
    if (target_id_.empty() || closed_) return nullptr;
    return FrameById(target_id_).get();
}

CefRefPtr<CefFrame> BrowserImpl::GetFrame(const CefString& name) {
    std::vector<CefRefPtr<FrameImpl>> frames;
    {
        std::lock_guard lock(frames_mutex_);
        for (auto& [id, frame] : frames_) frames.push_back(frame);
    }
    for (auto& frame : frames) {
        if (frame->GetName() == name) return frame.get();
    }
    return nullptr;
}

std::size_t BrowserImpl::GetFrameCount() {
    std::lock_guard lock(frames_mutex_);
    return frames_.size();
}

void BrowserImpl::GetFrameNames(std::vector<CefString>& names) {
    std::vector<CefRefPtr<FrameImpl>> frames;
    {
        std::lock_guard lock(frames_mutex_);
        for (auto& [id, frame] : frames_) frames.push_back(frame);
    }
    names.clear();
    for (auto& frame : frames) names.push_back(frame->GetName());
}

// ---- CefBrowserHost ----

void BrowserImpl::CloseBrowser(bool force_close) {
    // Always later, on TID_UI: callers may be walking their list of browsers.
    CefRefPtr<BrowserImpl> self = this;
    PostToThread(TID_UI, [self, force_close] { self->CloseOnUi(force_close); });
}

void BrowserImpl::CloseOnUi(bool force_close) {
    (void)force_close;  // unload dialogs are accepted at once either way
    if (closing_ || closed_) return;
    closing_ = true;
    CefRefPtr<BrowserImpl> self = this;
    CefRefPtr<CefLifeSpanHandler> life = client_ ? client_->GetLifeSpanHandler() : nullptr;
    if (life && life->DoClose(this)) return;  // the owner destroys the window itself
    if (window_ && window_->hwnd()) {
        window_->Destroy();  // WM_DESTROY finishes the close
    } else {
        FinishClose();
    }
}

void BrowserImpl::OnWindowDestroyed() { FinishClose(); }

void BrowserImpl::FinishClose() {
    if (closed_) return;
    closed_ = true;
    Trace(id_, "closed");
    CefRefPtr<BrowserImpl> self = this;  // the registry may hold the last reference
    hwnd_ = nullptr;
    std::unique_ptr<FramePainter> painter;
    {
        std::lock_guard lock(painter_mutex_);
        painter = std::move(painter_);
    }
    painter.reset();
    BrowserRegistry::Get().CloseTarget(target_id_);
    BrowserRegistry::Get().Remove(this);
    if (created_reported_) {
        if (CefRefPtr<CefLifeSpanHandler> life =
                client_ ? client_->GetLifeSpanHandler() : nullptr) {
            life->OnBeforeClose(this);
        }
    }
    std::map<std::string, CefRefPtr<FrameImpl>> frames;
    {
        std::lock_guard lock(frames_mutex_);
        frames.swap(frames_);
    }
    for (auto& [id, frame] : frames) frame->Invalidate();
}

void BrowserImpl::SetFocus(bool focus) {
    if (HWND hwnd = hwnd_; hwnd && focus) {
        PostToThread(TID_UI, [hwnd] { ::SetFocus(hwnd); });
    }
}

void BrowserImpl::WasResized() {
    CefRefPtr<BrowserImpl> self = this;
    PostToThread(TID_UI, [self] {
        RECT client{};
        if (HWND hwnd = self->hwnd_) GetClientRect(hwnd, &client);
        self->ApplyViewport(client.right, client.bottom);
    });
}

void BrowserImpl::ClearCache(CefRefPtr<CefCompletionCallback> callback) {
    CefRefPtr<BrowserImpl> self = this;
    PostToThread(TID_UI, [self, callback] {
        auto done = [callback] {
            if (callback) callback->OnComplete();
        };
        if (self->closed_ || self->session_id_.empty()) return done();
        CefRefPtr<CefFrame> main = self->GetMainFrame();
        const std::string origin = main ? PageOrigin(main->GetURL().ToString()) : std::string();
        self->SendToPage(commands::ClearBrowserCache(),
                         [self, origin, done](const Json&, const ProtocolError*) {
                             if (origin.empty()) return done();
                             SendToEngine(self->connection_, commands::ClearOriginData(origin),
                                          [done](const Json&, const ProtocolError*) { done(); });
                         });
    });
}

void BrowserImpl::Invalidate() {
    if (HWND hwnd = hwnd_) PostMessageW(hwnd, kFrameReadyMessage, 0, 0);  // any thread
}

void BrowserImpl::OnWindowResized(int width, int height) { ApplyViewport(width, height); }

void BrowserImpl::OnContextMenuRequested(int x, int y) {
    CefRefPtr<BrowserImpl> self = this;
    SendToPage(commands::EvaluateForValue(HitTestScript(x, y)),
               [self, x, y](const Json& result, const ProtocolError* error) {
                   HWND hwnd = self->hwnd_;
                   if (self->closed_ || !hwnd) return;
                   const Json hit = error ? Json::object() : commands::EvaluatedValue(result);
                   RunContextMenu(*self, hwnd, x, y, hit);
               });
}

}  // namespace cef_detail
