#include "browser/browser_impl.h"

#include "browser/browser_registry.h"
#include "browser/context_menu.h"
#include "browser/frame_painter.h"
#include "browser/net_errors.h"
#include "browser/page_origin.h"
#include "browser/request_impl.h"
#include "core/library_log.h"

namespace cef_detail {
namespace {

std::atomic<int> g_next_browser_id{1};

// Steps of a browser's life, for developers (standard error while KORVEX_CEF_LOG is set).
void Trace(int id, const std::string& text) {
    if (LibraryLog().to_stderr()) LibraryLog().Write("browser " + std::to_string(id) + ": " + text);
}

}  // namespace

BrowserImpl::BrowserImpl(const CefWindowInfo& info, CefRefPtr<CefClient> client, std::string url,
                         std::string target_id, bool is_popup)
    : id_(g_next_browser_id++),
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
    window_ = std::make_unique<BrowserWindow>(info_, this);
    hwnd_ = window_->hwnd();
    Trace(id_, "window " + std::to_string(reinterpret_cast<std::uintptr_t>(hwnd_.load())));
    Connection* connection = GetConnection();
    if (!hwnd_ || !connection) {  // nothing to show it in, or no engine: no browser
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
    connection->Send("Target.createTarget", {{"url", "about:blank"}},
                     [self](const Json& result, const ProtocolError* error) {
                         if (error) {
                             self->CloseOnUi(true);
                             return;
                         }
                         self->Attach(result.value("targetId", ""));
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
    GetConnection()->Send("Target.attachToTarget", {{"targetId", target_id_}, {"flatten", true}},
                          [self](const Json& result, const ProtocolError* error) {
                              if (error) {
                                  self->CloseOnUi(true);
                                  return;
                              }
                              self->OnAttached(result.value("sessionId", ""));
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
    SendToPage("Emulation.setFocusEmulationEnabled", {{"enabled", true}});
    RECT client{};
    if (HWND hwnd = hwnd_) GetClientRect(hwnd, &client);
    ApplyViewport(client.right, client.bottom);
    if (window_ && window_->shown()) StartScreencast();
    SendToPage("Runtime.runIfWaitingForDebugger", Json::object());
    CefRefPtr<BrowserImpl> self = this;
    SendToPage(
        "Page.getFrameTree", Json::object(),
        [self](const Json& result, const ProtocolError* error) {
            if (self->closed_) return;
            if (!error) {
                self->OnFrameNavigated(
                    result.value("frameTree", Json::object()).value("frame", Json::object()));
            }
            self->created_reported_ = true;
            CefRefPtr<CefLifeSpanHandler> life =
                self->client_ ? self->client_->GetLifeSpanHandler() : nullptr;
            if (life) life->OnAfterCreated(self.get());
            if (!self->url_.empty() && !self->closed_) {
                self->SendToPage("Page.navigate", {{"url", self->url_}});
            }
        });
}

void BrowserImpl::EnableSession(const std::string& session) {
    SendOn(session, "Page.enable", Json::object());
    SendOn(session, "Network.enable", Json::object());
    // Every document request of every frame (redirect hops included) stops here until the
    // request handler has seen it.
    SendOn(session, "Fetch.enable",
           {{"patterns", Json::array({{{"urlPattern", "*"},
                                       {"resourceType", "Document"},
                                       {"requestStage", "Request"}}})}});
    // Cross-site sub-frames get sessions of their own; they wait until they have been set up
    // like this one, so none of their navigations goes unseen.
    SendOn(session, "Target.setAutoAttach",
           {{"autoAttach", true}, {"waitForDebuggerOnStart", true}, {"flatten", true}});
}

void BrowserImpl::SendToFrame(std::string frame_id, std::string method, Json params,
                              Connection::Reply reply) {
    if (!IsOnThread(TID_UI)) {
        CefRefPtr<BrowserImpl> self = this;
        PostToThread(TID_UI, [self, frame_id = std::move(frame_id), method = std::move(method),
                              params = std::move(params), reply = std::move(reply)]() mutable {
            self->SendToFrame(std::move(frame_id), std::move(method), std::move(params),
                              std::move(reply));
        });
        return;
    }
    auto it = frame_sessions_.find(frame_id);
    SendOn(it == frame_sessions_.end() ? session_id_ : it->second, std::move(method),
           std::move(params), std::move(reply));
}

void BrowserImpl::SendToPage(std::string method, Json params, Connection::Reply reply) {
    SendToFrame({}, std::move(method), std::move(params), std::move(reply));
}

void BrowserImpl::SendOn(const std::string& session, std::string method, Json params,
                         Connection::Reply reply) {
    Connection* connection = GetConnection();
    if (!connection || session.empty()) return;
    if (!reply) {
        reply = [id = id_, method](const Json&, const ProtocolError* error) {
            Trace(id, method + (error ? " failed: " + error->message : " done"));
        };
    }
    Trace(id_, "send " + method);
    connection->Send(std::move(method), std::move(params), std::move(reply), session);
}

void BrowserImpl::StartScreencast() {
    if (screencasting_ || session_id_.empty()) return;
    screencasting_ = true;
    // The engine sends the page's current picture first, so a window shown again gets a fresh
    // frame at once.
    SendToPage("Page.startScreencast", {{"format", "jpeg"},
                                        {"quality", 80},
                                        {"maxWidth", 8192},
                                        {"maxHeight", 8192},
                                        {"everyNthFrame", 1}});
}

void BrowserImpl::StopScreencast() {
    if (!screencasting_) return;
    screencasting_ = false;
    SendToPage("Page.stopScreencast", Json::object());
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
    SendToPage("Emulation.setDeviceMetricsOverride",
               {{"width", width}, {"height", height}, {"deviceScaleFactor", 1}, {"mobile", false}});
}

// ---- engine events (TID_UI) ----

void BrowserImpl::OnPageEvent(const std::string& method, const Json& params,
                              const std::string& session) {
    if (closed_) return;
    if (method == "Fetch.requestPaused") {
        OnRequestPaused(params, session);
    } else if (method == "Target.attachedToTarget") {
        OnTargetAttached(params, session);
    } else if (method == "Target.detachedFromTarget") {
        OnTargetDetached(params);
    } else if (method == "Network.loadingFailed") {
        OnLoadingFailed(params);
    } else if (method == "Network.loadingFinished") {
        navigations_.erase(params.value("requestId", ""));
    } else if (method == "Page.frameAttached") {
        FrameById(params.value("frameId", ""))->SetParent(params.value("parentFrameId", ""));
    } else if (method == "Page.frameNavigated") {
        OnFrameNavigated(params.value("frame", Json::object()));
    } else if (method == "Page.frameDetached") {
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
    } else if (method == "Page.frameStartedLoading" || method == "Page.frameStoppedLoading") {
        const bool started = method == "Page.frameStartedLoading";
        CefRefPtr<FrameImpl> frame = FrameById(params.value("frameId", ""));
        CefRefPtr<CefLoadHandler> load = client_ ? client_->GetLoadHandler() : nullptr;
        if (frame->frame_id() == target_id_) {
            loading_ = started;
            if (!started) RefreshHistory();
            if (load) load->OnLoadingStateChange(this, started, can_go_back_, can_go_forward_);
        }
        if (load && started) load->OnLoadStart(this, frame.get());
        if (load && !started) load->OnLoadEnd(this, frame.get(), 200);
    } else if (method == "Page.windowOpen") {
        pending_popup_urls_.push_back(params.value("url", ""));
    } else if (method == "Page.javascriptDialogOpening") {
        // Nobody could answer a dialog of a page without a window: it is accepted at once.
        SendOn(session, "Page.handleJavaScriptDialog", {{"accept", true}});
    }
}

void BrowserImpl::OnTargetAttached(const Json& params, const std::string& parent_session) {
    const std::string child = params.value("sessionId", "");
    const Json info = params.value("targetInfo", Json::object());
    if (child.empty()) return;
    if (info.value("type", "") != "iframe") {
        // Workers and the like: not this library's concern, but they wait for a go-ahead.
        SendOn(child, "Runtime.runIfWaitingForDebugger", Json::object());
        SendOn(parent_session, "Target.detachFromTarget", {{"sessionId", child}});
        return;
    }
    // A cross-site sub-frame: its target id is the frame's id.
    frame_sessions_[info.value("targetId", "")] = child;
    BrowserRegistry::Get().BindSession(this, child);
    EnableSession(child);
    SendOn(child, "Runtime.runIfWaitingForDebugger", Json::object());
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
        SendOn(session, "Fetch.continueRequest", {{"requestId", request_id}});
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
    if (cancel) {
        // The engine reports the aborted navigation (ERR_ABORTED) through loadingFailed.
        SendOn(session, "Fetch.failRequest",
               {{"requestId", request_id}, {"errorReason", "Aborted"}});
    } else {
        SendOn(session, "Fetch.continueRequest", {{"requestId", request_id}});
    }
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
    SendToPage("Page.getNavigationHistory", Json::object(),
               [self](const Json& result, const ProtocolError* error) {
                   if (error) return;
                   const int index = result.value("currentIndex", 0);
                   const int count = int(result.value("entries", Json::array()).size());
                   self->can_go_back_ = index > 0;
                   self->can_go_forward_ = index + 1 < count;
               });
}

void BrowserImpl::OnScreencastFrame(Json& params) {
    ++received_frames_;
    // Acknowledge first so the engine can start on the next frame while this one is decoded.
    if (Connection* connection = GetConnection()) {
        connection->Send("Page.screencastFrameAck", {{"sessionId", params.value("sessionId", 0)}},
                         {}, session_id_);
    }
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

void BrowserImpl::GoBack() {
    CefRefPtr<BrowserImpl> self = this;
    SendToPage("Page.getNavigationHistory", Json::object(),
               [self](const Json& result, const ProtocolError* error) {
                   const int index = result.value("currentIndex", 0);
                   const Json entries = result.value("entries", Json::array());
                   if (error || index <= 0 || index >= int(entries.size())) return;
                   self->SendToPage("Page.navigateToHistoryEntry",
                                    {{"entryId", entries[index - 1].value("id", 0)}});
               });
}

void BrowserImpl::GoForward() {
    CefRefPtr<BrowserImpl> self = this;
    SendToPage("Page.getNavigationHistory", Json::object(),
               [self](const Json& result, const ProtocolError* error) {
                   const int index = result.value("currentIndex", 0);
                   const Json entries = result.value("entries", Json::array());
                   if (error || index + 1 >= int(entries.size())) return;
                   self->SendToPage("Page.navigateToHistoryEntry",
                                    {{"entryId", entries[index + 1].value("id", 0)}});
               });
}

void BrowserImpl::Reload() { SendToPage("Page.reload", Json::object()); }
void BrowserImpl::StopLoad() { SendToPage("Page.stopLoading", Json::object()); }

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
        Connection* connection = GetConnection();
        if (self->closed_ || !connection || self->session_id_.empty()) return done();
        CefRefPtr<CefFrame> main = self->GetMainFrame();
        const std::string origin = main ? PageOrigin(main->GetURL().ToString()) : std::string();
        self->SendToPage(
            "Network.clearBrowserCache", Json::object(),
            [origin, done](const Json&, const ProtocolError*) {
                Connection* connection = GetConnection();
                if (origin.empty() || !connection) return done();
                connection->Send(
                    "Storage.clearDataForOrigin",
                    {{"origin", origin}, {"storageTypes", "cache_storage,service_workers"}},
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
    SendToPage("Runtime.evaluate", {{"expression", HitTestScript(x, y)}, {"returnByValue", true}},
               [self, x, y](const Json& result, const ProtocolError* error) {
                   HWND hwnd = self->hwnd_;
                   if (self->closed_ || !hwnd) return;
                   const Json hit =
                       error
                           ? Json::object()
                           : result.value("result", Json::object()).value("value", Json::object());
                   RunContextMenu(*self, hwnd, x, y, hit);
               });
}

}  // namespace cef_detail
