// A browser: one page target of the engine, shown in one window of class "CefBrowserWindow".
// The Win32 and handler side of it: what happens with the page lives in its BrowserCore, which
// it owns with its window, its frames and its frame path. Its state lives on TID_UI; the public
// operations may be called on any thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "browser/browser_core.h"
#include "browser/browser_window.h"
#include "browser/context_menu.h"
#include "browser/frame_impl.h"
#include "browser/page_dialog_window.h"
#include "cef/cef_browser.h"

namespace cef_detail {

class FramePainter;

class BrowserImpl : public CefBrowser,
                    public CefBrowserHost,
                    public FrameImpl::Host,
                    public ContextMenuHost,
                    private BrowserWindow::Delegate,
                    private BrowserCore::Delegate {
  public:
    // target_id empty: a new page target is made; otherwise the browser adopts that target (a
    // pop-up the engine has opened already). Every command goes out on connection; directory
    // learns the browser's engine ids. Both outlive the browser.
    BrowserImpl(Connection& connection, BrowserDirectory& directory, const CefWindowInfo& info,
                const CefBrowserSettings& settings, CefRefPtr<CefClient> client, std::string url,
                std::string target_id, bool is_popup);
    ~BrowserImpl() override;

    // TID_UI, once the directory holds the browser: makes the window, then the target, then
    // reports OnAfterCreated and loads.
    void Start();

    // CefBrowser
    CefRefPtr<CefBrowserHost> GetHost() override { return this; }
    int GetIdentifier() override { return id_; }
    bool IsSame(CefRefPtr<CefBrowser> that) override;
    bool IsPopup() override { return is_popup_; }
    bool CanGoBack() override { return core_.can_go_back(); }
    void GoBack() override;
    bool CanGoForward() override { return core_.can_go_forward(); }
    void GoForward() override;
    bool IsLoading() override { return core_.loading(); }
    void Reload() override;
    void StopLoad() override { SendToPage(commands::StopLoading()); }
    bool HasDocument() override { return core_.has_document(); }
    CefRefPtr<CefFrame> GetMainFrame() override;
    CefRefPtr<CefFrame> GetFocusedFrame() override { return GetMainFrame(); }
    CefRefPtr<CefFrame> GetFrame(const CefString& name) override;
    std::size_t GetFrameCount() override;
    void GetFrameNames(std::vector<CefString>& names) override;

    // CefBrowserHost
    CefRefPtr<CefBrowser> GetBrowser() override { return this; }
    void CloseBrowser(bool force_close) override;
    HWND GetWindowHandle() override { return hwnd_; }
    HWND GetOpenerWindowHandle() override { return nullptr; }
    CefRefPtr<CefClient> GetClient() override { return client_; }
    void SetFocus(bool focus) override;
    void WasResized() override;
    void WasHidden(bool hidden) override { (void)hidden; }
    void ClearCache(CefRefPtr<CefCompletionCallback> callback) override;
    void Invalidate() override;

    // FrameImpl::Host and ContextMenuHost. Any thread.
    void SendToFrame(std::string frame_id, Command command, Connection::Reply reply = {}) override;
    void SendToPage(Command command, Connection::Reply reply = {}) override;
    CefRefPtr<FrameImpl> FrameById(const std::string& frame_id) override;
    CefRefPtr<CefBrowser> Browser() override { return this; }

    // For the registry.
    const std::string& session_id() const { return core_.session_id(); }
    const std::string& target_id() const { return core_.target_id(); }
    bool closed() const { return core_.closed(); }
    // TID_UI: one event of this browser's page session or of one of its sub-frame sessions.
    void OnPageEvent(const std::string& method, const Json& params, const std::string& session) {
        core_.OnPageEvent(method, params, session);
    }
    // TID_UI: the page's renderer process ended (engine_status: the engine's word for how).
    void OnRendererEnded(const std::string& engine_status);
    // TID_UI: made again in a new engine, in the same window (BrowserCore::Recreate).
    void Recreate(const std::string& error_text) { core_.Recreate(error_text); }
    // TID_UI: the address of the oldest pop-up the page opened and nobody has taken yet.
    std::string TakePendingPopupUrl() { return core_.TakePendingPopupUrl(); }
    // Reader thread: a screencast frame of this browser's page.
    void OnScreencastFrame(events::ScreencastFrame frame);
    // Painted frames so far (for measurements).
    std::uint64_t painted_frames();
    // Lossless pictures of a still page shown so far (for measurements).
    std::uint64_t lossless_pictures_shown();
    // Screencast frames the engine has delivered so far (for measurements).
    std::uint64_t received_frames() const { return received_frames_; }
    // The page's dialogs not yet answered (any thread).
    int waiting_dialogs() const { return int(core_.waiting_dialogs()); }
    // The newest frame's size in its own pixels (0 x 0 before the first; for measurements).
    SIZE PictureSize();
    // Colour (0x00RRGGBB) of a pixel of the newest frame; -1 when there is none.
    long long PixelAt(int x, int y);

  private:
    void CloseOnUi();
    void CaptureLosslessPicture(std::uint64_t token);

    // BrowserWindow::Delegate (TID_UI)
    void OnWindowResized(int width, int height) override { core_.ApplyViewport(width, height); }
    void OnWindowScaleChanged() override;
    void OnWindowShownChanged(bool shown) override;
    void OnWindowDestroyed() override;
    void OnContextMenuRequested(int x, int y) override;
    void OnInputMethodStarted() override;
    void OnClipboardCommand(ClipboardAction action) override;
    const std::string& WindowSession() override { return core_.session_id(); }
    FramePainter* Painter() override { return painter_.get(); }

    // BrowserCore::Delegate (TID_UI)
    std::shared_ptr<void> KeepAlive() override;
    std::pair<int, int> ClientSize() override;
    DisplayScale ViewScale() override;
    bool WindowShown() override { return window_ && window_->RefreshShown(); }
    void OnAfterCreated() override;
    bool DoClose() override;
    bool DestroyWindow() override;
    void ReleaseView() override;
    void OnBeforeClose() override;
    void InvalidateFrames() override;
    void UpdateFrame(const std::string& frame_id, const std::string& url, const std::string& name,
                     const std::optional<std::string>& parent_id) override;
    void SetFrameParent(const std::string& frame_id, const std::string& parent_id) override;
    void RemoveFrame(const std::string& frame_id) override;
    bool OnBeforeBrowse(const std::string& frame_id, const std::string& url,
                        const std::string& method, bool redirect) override;
    void OnLoadError(const std::string& frame_id, int code, const std::string& name,
                     const std::string& url) override;
    void OnFrameLoading(const std::string& frame_id, bool started, bool main) override;
    void OnAddressChange(const std::string& frame_id, const std::string& url) override;
    void OnRenderProcessTerminated(const std::string& engine_status) override;
    void OpenDialog(const PageDialog& dialog) override;
    void ShowDialog(bool shown) override;
    void CloseDialog() override;

    CefRefPtr<CefLifeSpanHandler> LifeSpanHandler();
    CefRefPtr<CefLoadHandler> LoadHandler();

    Connection& connection_;
    CefWindowInfo info_;
    const double fixed_scale_;  // CefBrowserSettings::device_scale_factor
    CefRefPtr<CefClient> client_;
    const bool is_popup_;
    const int id_;
    BrowserCore core_;

    std::atomic<HWND> hwnd_{nullptr};
    std::atomic<std::uint64_t> received_frames_{0};
    std::unique_ptr<BrowserWindow> window_;
    std::unique_ptr<PageDialogWindow> dialog_window_;  // the page's open dialog
    int dialog_serial_ = 0;     // which dialog an answer is for (answers arrive later)
    std::mutex painter_mutex_;  // the reader thread hands frames to painter_
    std::unique_ptr<FramePainter> painter_;

    std::mutex frames_mutex_;  // frames_ is read by GetFrame* on any thread
    std::map<std::string, CefRefPtr<FrameImpl>> frames_;
    std::int64_t next_frame_identifier_ = 1;
    IMPLEMENT_REFCOUNTING(BrowserImpl);
};

}  // namespace cef_detail
