#include "browser/browser_impl.h"

#include "base/clipboard_text.h"
#include "base/utf.h"
#include "browser/browser_registry.h"
#include "browser/frame_painter.h"
#include "browser/page_origin.h"
#include "browser/request_impl.h"
#include "browser/termination_status.h"
#include "core/library_log.h"

namespace cef_detail {
namespace {

std::atomic<int> g_next_browser_id{1};

// Steps of a browser's life, for developers (standard error while KORVEX_CEF_LOG is set).
BrowserCore::Trace TraceFor(int id) {
    return [id](const std::string& text) {
        if (LibraryLog().to_stderr()) {
            LibraryLog().Write("browser " + std::to_string(id) + ": " + text);
        }
    };
}

// Runs work now when on TID_UI, otherwise posts it there.
void OnUi(std::function<void()> work) {
    if (IsOnThread(TID_UI)) return work();
    PostToThread(TID_UI, std::move(work));
}

}  // namespace

BrowserImpl::BrowserImpl(Connection& connection, BrowserDirectory& directory,
                         const CefWindowInfo& info, const CefBrowserSettings& settings,
                         CefRefPtr<CefClient> client, std::string url, std::string target_id,
                         bool is_popup)
    : connection_(connection),
      info_(info),
      fixed_scale_(settings.device_scale_factor),
      client_(client),
      is_popup_(is_popup),
      id_(g_next_browser_id++),
      core_(id_, connection, directory, *this, TraceFor(id_), std::move(url),
            std::move(target_id)) {}

BrowserImpl::~BrowserImpl() {
    for (auto& [id, frame] : frames_) frame->Invalidate();
}

void BrowserImpl::Start() {
    CefRefPtr<BrowserImpl> self = this;
    window_ = std::make_unique<BrowserWindow>(info_, connection_,
                                              static_cast<BrowserWindow::Delegate*>(this));
    hwnd_ = window_->hwnd();
    TraceFor(id_)("window " + std::to_string(reinterpret_cast<std::uintptr_t>(hwnd_.load())));
    if (!hwnd_) {  // nothing to show it in: no browser
        hwnd_ = nullptr;
        window_.reset();
        core_.Abandon();
        return;
    }
    {
        std::lock_guard lock(painter_mutex_);
        // The painter lives no longer than this browser (ReleaseView ends it first).
        painter_ = std::make_unique<FramePainter>(
            hwnd_, [this](std::uint64_t token) { CaptureLosslessPicture(token); });
    }
    core_.Start();
}

// ---- sending (any thread) ----

void BrowserImpl::SendToFrame(std::string frame_id, Command command, Connection::Reply reply) {
    if (!IsOnThread(TID_UI)) {
        CefRefPtr<BrowserImpl> self = this;
        PostToThread(TID_UI, [self, frame_id = std::move(frame_id), command = std::move(command),
                              reply = std::move(reply)]() mutable {
            self->SendToFrame(std::move(frame_id), std::move(command), std::move(reply));
        });
        return;
    }
    core_.SendToFrame(frame_id, std::move(command), std::move(reply));
}

void BrowserImpl::SendToPage(Command command, Connection::Reply reply) {
    SendToFrame({}, std::move(command), std::move(reply));
}

// ---- the frame path (reader thread and any thread) ----

void BrowserImpl::OnScreencastFrame(events::ScreencastFrame frame) {
    ++received_frames_;
    // Acknowledge first so the engine can start on the next frame while this one is decoded.
    SendOnSession(&connection_, core_.session_id(), commands::AckScreencastFrame(frame.session));
    std::lock_guard lock(painter_mutex_);
    if (painter_ && !frame.data.empty()) painter_->Submit(std::move(frame.data));
}

// Decoder thread: the page's picture has been still for a moment; the engine's lossless
// picture of it is asked for and handed to the painter, which shows it unless a frame came
// meanwhile.
void BrowserImpl::CaptureLosslessPicture(std::uint64_t token) {
    // The reply holds no reference to the browser (a page closed meanwhile may never answer):
    // it finds the browser by its window, which a closed browser no longer has.
    const HWND window = hwnd_;
    SendToPage(commands::CaptureLosslessPicture(),
               [window, token](const Json& result, const ProtocolError* error) {
                   CefRefPtr<BrowserImpl> self = BrowserRegistry::Get().ByWindow(window);
                   if (!self) return;
                   std::string picture = error ? std::string() : commands::CapturedPicture(result);
                   std::lock_guard lock(self->painter_mutex_);
                   if (!self->painter_) return;
                   if (picture.empty()) {
                       self->painter_->CaptureFailed(token);
                   } else {
                       self->painter_->ShowCapture(std::move(picture), token);
                   }
               });
}

void BrowserImpl::OnWindowShownChanged(bool shown) {
    {
        // The stream stops or starts afresh: no lossless picture of what was shown before.
        std::lock_guard lock(painter_mutex_);
        if (painter_) painter_->ResetStream();
    }
    core_.SetShown(shown);
}

std::uint64_t BrowserImpl::lossless_pictures_shown() {
    std::lock_guard lock(painter_mutex_);
    return painter_ ? painter_->captures_shown() : 0;
}

std::uint64_t BrowserImpl::painted_frames() {
    std::lock_guard lock(painter_mutex_);
    return painter_ ? painter_->painted_frames() : 0;
}

SIZE BrowserImpl::PictureSize() {
    std::lock_guard lock(painter_mutex_);
    return painter_ ? painter_->PictureSize() : SIZE{0, 0};
}

long long BrowserImpl::PixelAt(int x, int y) {
    std::lock_guard lock(painter_mutex_);
    return painter_ ? painter_->PixelAt(x, y) : -1;
}

// ---- frames ----

CefRefPtr<FrameImpl> BrowserImpl::FrameById(const std::string& frame_id) {
    std::lock_guard lock(frames_mutex_);
    auto it = frames_.find(frame_id);
    if (it != frames_.end()) return it->second;
    CefRefPtr<FrameImpl> frame = new FrameImpl(this, frame_id, next_frame_identifier_++);
    frames_[frame_id] = frame;
    return frame;
}

void BrowserImpl::UpdateFrame(const std::string& frame_id, const std::string& url,
                              const std::string& name,
                              const std::optional<std::string>& parent_id) {
    CefRefPtr<FrameImpl> frame = FrameById(frame_id);
    parent_id ? frame->Update(url, name, *parent_id) : frame->Update(url, name);
}

void BrowserImpl::SetFrameParent(const std::string& frame_id, const std::string& parent_id) {
    FrameById(frame_id)->SetParent(parent_id);
}

void BrowserImpl::RemoveFrame(const std::string& frame_id) {
    CefRefPtr<FrameImpl> gone;
    {
        std::lock_guard lock(frames_mutex_);
        auto it = frames_.find(frame_id);
        if (it == frames_.end()) return;
        gone = it->second;
        frames_.erase(it);
    }
    gone->Invalidate();
}

void BrowserImpl::InvalidateFrames() {
    std::map<std::string, CefRefPtr<FrameImpl>> frames;
    {
        std::lock_guard lock(frames_mutex_);
        frames.swap(frames_);
    }
    for (auto& [id, frame] : frames) frame->Invalidate();
}

CefRefPtr<CefFrame> BrowserImpl::GetMainFrame() {
    if (core_.target_id().empty() || core_.closed()) return nullptr;
    return FrameById(core_.target_id()).get();
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

// ---- the page's events, as the application's handlers hear them (TID_UI) ----

CefRefPtr<CefLifeSpanHandler> BrowserImpl::LifeSpanHandler() {
    return client_ ? client_->GetLifeSpanHandler() : nullptr;
}

CefRefPtr<CefLoadHandler> BrowserImpl::LoadHandler() {
    return client_ ? client_->GetLoadHandler() : nullptr;
}

std::shared_ptr<void> BrowserImpl::KeepAlive() {
    CefRefPtr<BrowserImpl> self = this;
    return std::shared_ptr<void>(static_cast<void*>(this), [self](void*) {});
}

std::pair<int, int> BrowserImpl::ClientSize() {
    RECT client{};
    if (HWND hwnd = hwnd_) GetClientRect(hwnd, &client);
    return {client.right, client.bottom};
}

DisplayScale BrowserImpl::ViewScale() {
    if (fixed_scale_ > 0) return DisplayScale::Fixed(fixed_scale_);
    return DisplayScale::ForDpi(window_ ? window_->Dpi() : kDefaultDpi);
}

void BrowserImpl::OnWindowScaleChanged() {
    const auto [width, height] = ClientSize();
    core_.ApplyViewport(width, height);
    if (HWND hwnd = hwnd_) InvalidateRect(hwnd, nullptr, FALSE);
}

void BrowserImpl::OnAfterCreated() {
    if (CefRefPtr<CefLifeSpanHandler> life = LifeSpanHandler()) life->OnAfterCreated(this);
}

bool BrowserImpl::OnBeforeBrowse(const std::string& frame_id, const std::string& url,
                                 const std::string& method, bool redirect) {
    CefRefPtr<FrameImpl> frame = FrameById(frame_id);
    CefRefPtr<CefRequestHandler> handler = client_ ? client_->GetRequestHandler() : nullptr;
    if (!handler) return false;
    CefRefPtr<CefRequest> request = new RequestImpl(url, method, redirect);
    return handler->OnBeforeBrowse(this, frame.get(), request, redirect);
}

void BrowserImpl::OnLoadError(const std::string& frame_id, int code, const std::string& name,
                              const std::string& url) {
    CefRefPtr<FrameImpl> frame = FrameById(frame_id);
    if (CefRefPtr<CefLoadHandler> load = LoadHandler()) {
        load->OnLoadError(this, frame.get(), static_cast<ErrorCode>(code), CefString(name),
                          CefString(url));
    }
}

void BrowserImpl::OnFrameLoading(const std::string& frame_id, bool started, bool main) {
    CefRefPtr<FrameImpl> frame = FrameById(frame_id);
    CefRefPtr<CefLoadHandler> load = LoadHandler();
    if (!load) return;
    if (main) load->OnLoadingStateChange(this, started, CanGoBack(), CanGoForward());
    if (started) {
        load->OnLoadStart(this, frame.get());
    } else {
        load->OnLoadEnd(this, frame.get(), 200);
    }
}

void BrowserImpl::OnAddressChange(const std::string& frame_id, const std::string& url) {
    CefRefPtr<FrameImpl> frame = FrameById(frame_id);
    if (CefRefPtr<CefDisplayHandler> display = client_ ? client_->GetDisplayHandler() : nullptr) {
        display->OnAddressChange(this, frame.get(), CefString(url));
    }
}

void BrowserImpl::OnRendererEnded(const std::string& engine_status) {
    core_.OnRendererEnded(engine_status, CrashReloadPolicy::Clock::now());
}

void BrowserImpl::OnRenderProcessTerminated(const std::string& engine_status) {
    if (CefRefPtr<CefRequestHandler> handler = client_ ? client_->GetRequestHandler() : nullptr) {
        handler->OnRenderProcessTerminated(this, TerminationStatusFromEngine(engine_status));
    }
}

// ---- the page's dialogs (TID_UI) ----

void BrowserImpl::OpenDialog(const PageDialog& dialog) {
    CefRefPtr<BrowserImpl> self = this;
    const int serial = ++dialog_serial_;
    dialog_window_ = std::make_unique<PageDialogWindow>(
        hwnd_, dialog, [self, serial](bool ok, const std::string& typed) {
            // An answer to a dialog that has gone meanwhile (closed with the browser) is
            // nobody's.
            if (serial != self->dialog_serial_) return;
            // The page has its answer before the window goes (see PageDialogWindow::Finish).
            std::unique_ptr<PageDialogWindow> answered = std::move(self->dialog_window_);
            self->core_.AnswerDialog(ok, typed);
        });
}

void BrowserImpl::ShowDialog(bool shown) {
    if (dialog_window_) dialog_window_->Show(shown);
}

void BrowserImpl::CloseDialog() {
    ++dialog_serial_;
    dialog_window_.reset();
}

// ---- closing ----

void BrowserImpl::CloseBrowser(bool force_close) {
    (void)force_close;  // the page is not asked whether it may be left, either way
    // Always later, on TID_UI: callers may be walking their list of browsers.
    CefRefPtr<BrowserImpl> self = this;
    PostToThread(TID_UI, [self] { self->CloseOnUi(); });
}

void BrowserImpl::CloseOnUi() {
    CefRefPtr<BrowserImpl> self = this;
    core_.Close();
}

bool BrowserImpl::DoClose() {
    CefRefPtr<CefLifeSpanHandler> life = LifeSpanHandler();
    return life && life->DoClose(this);
}

bool BrowserImpl::DestroyWindow() {
    if (!window_ || !window_->hwnd()) return false;
    window_->Destroy();  // WM_DESTROY finishes the close
    return true;
}

void BrowserImpl::OnWindowDestroyed() {
    CefRefPtr<BrowserImpl> self = this;  // the registry may hold the last reference
    core_.Finish();
}

void BrowserImpl::ReleaseView() {
    hwnd_ = nullptr;
    std::unique_ptr<FramePainter> painter;
    {
        std::lock_guard lock(painter_mutex_);
        painter = std::move(painter_);
    }
    painter.reset();
}

void BrowserImpl::OnBeforeClose() {
    if (CefRefPtr<CefLifeSpanHandler> life = LifeSpanHandler()) life->OnBeforeClose(this);
}

// ---- the rest of CefBrowser and CefBrowserHost ----

bool BrowserImpl::IsSame(CefRefPtr<CefBrowser> that) {
    return that && that->GetIdentifier() == id_;
}

void BrowserImpl::GoBack() {
    CefRefPtr<BrowserImpl> self = this;
    OnUi([self] { self->core_.GoInHistory(-1); });
}

void BrowserImpl::Reload() {
    CefRefPtr<BrowserImpl> self = this;
    OnUi([self] { self->core_.Reload(); });
}

void BrowserImpl::GoForward() {
    CefRefPtr<BrowserImpl> self = this;
    OnUi([self] { self->core_.GoInHistory(1); });
}

void BrowserImpl::SetFocus(bool focus) {
    if (HWND hwnd = hwnd_; hwnd && focus) {
        PostToThread(TID_UI, [hwnd] { ::SetFocus(hwnd); });
    }
}

void BrowserImpl::WasResized() {
    CefRefPtr<BrowserImpl> self = this;
    PostToThread(TID_UI, [self] {
        const auto [width, height] = self->ClientSize();
        self->core_.ApplyViewport(width, height);
    });
}

void BrowserImpl::ClearCache(CefRefPtr<CefCompletionCallback> callback) {
    CefRefPtr<BrowserImpl> self = this;
    PostToThread(TID_UI, [self, callback] {
        auto origin = [self] {
            CefRefPtr<CefFrame> main = self->GetMainFrame();
            return main ? PageOrigin(main->GetURL().ToString()) : std::string();
        };
        self->core_.ClearCache(origin, [callback] {
            if (callback) callback->OnComplete();
        });
    });
}

void BrowserImpl::Invalidate() {
    if (HWND hwnd = hwnd_) PostMessageW(hwnd, kFrameReadyMessage, 0, 0);  // any thread
}

void BrowserImpl::OnContextMenuRequested(int x, int y) {
    CefRefPtr<BrowserImpl> self = this;
    // The page finds its element in CSS pixels; the menu opens at the window's pixel.
    const DisplayScale scale = ViewScale();
    SendToPage(
        commands::EvaluateForValue(PageHit::Script(int(scale.ToCss(x)), int(scale.ToCss(y)))),
        [self, x, y](const Json& result, const ProtocolError* error) {
            HWND hwnd = self->hwnd_;
            if (self->closed() || !hwnd) return;
            const PageHit hit =
                PageHit::Read(error ? Json::object() : commands::EvaluatedValue(result));
            RunContextMenu(self, *self, hwnd, x, y, hit);
        });
}

void BrowserImpl::OnInputMethodStarted() {
    CefRefPtr<BrowserImpl> self = this;
    SendToPage(commands::EvaluateForValue(CaretPlace::Script()),
               [self](const Json& result, const ProtocolError* error) {
                   if (error || self->closed() || !self->window_) return;
                   if (auto caret = CaretPlace::Read(commands::EvaluatedValue(result))) {
                       self->window_->PlaceInputMethod(caret->InWindow(self->ViewScale()));
                   }
               });
}

// The system clipboard is read and written here, on TID_UI, only for a key of the player's; the
// page's side runs as a script (clipboard_script.h).
void BrowserImpl::OnClipboardCommand(ClipboardAction action) {
    CefRefPtr<BrowserImpl> self = this;
    if (action == ClipboardAction::kPaste) {
        const std::optional<std::u16string> system_text = korvex::ReadClipboardText(hwnd_);
        if (!system_text || system_text->empty()) return;
        const std::u16string text = ToPageLineEnds(*system_text);
        SendToPage(commands::EvaluateForValue(PasteScript(text)),
                   [self, utf8 = korvex::Utf16ToUtf8(text)](const Json& result,
                                                            const ProtocolError* error) {
                       if (error || self->closed()) return;
                       // The focus lies in a frame of another site: the engine types the text
                       // there itself (that frame gets no paste event).
                       if (commands::EvaluatedBool(result) == false) {
                           self->SendToPage(InsertText(utf8));
                       }
                   });
        return;
    }
    SendToPage(commands::EvaluateForValue(CopyScript(action == ClipboardAction::kCut)),
               [self](const Json& result, const ProtocolError* error) {
                   HWND hwnd = self->hwnd_;
                   if (error || !hwnd) return;
                   const std::optional<std::string> text = commands::EvaluatedText(result);
                   if (!text || text->empty()) {
                       TraceFor(self->id_)("nothing to copy");
                       return;
                   }
                   const bool written = korvex::WriteClipboardText(
                       hwnd, ToSystemLineEnds(korvex::Utf8ToUtf16(*text)));
                   TraceFor(self->id_)(written ? "copied to the system clipboard"
                                               : "the system clipboard could not be written");
               });
}

}  // namespace cef_detail
