// A browser: one page target of the engine, shown in one window of class "CefBrowserWindow".
// Its state lives on TID_UI; the public operations may be called on any thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "browser/browser_window.h"
#include "browser/frame_impl.h"
#include "cef/cef_browser.h"
#include "devtools/commands.h"

namespace cef_detail {

class FramePainter;

class BrowserImpl : public CefBrowser, public CefBrowserHost, public BrowserWindow::Delegate {
  public:
    // target_id empty: a new page target is made; otherwise the browser adopts that target (a
    // pop-up the engine has opened already).
    // Every command goes out on connection, which outlives the browser.
    BrowserImpl(Connection& connection, const CefWindowInfo& info, CefRefPtr<CefClient> client,
                std::string url, std::string target_id, bool is_popup);
    ~BrowserImpl() override;

    // TID_UI: makes the window, then the target, then reports OnAfterCreated and loads.
    void Start();

    // CefBrowser
    CefRefPtr<CefBrowserHost> GetHost() override { return this; }
    int GetIdentifier() override { return id_; }
    bool IsSame(CefRefPtr<CefBrowser> that) override;
    bool IsPopup() override { return is_popup_; }
    bool CanGoBack() override { return can_go_back_; }
    void GoBack() override;
    bool CanGoForward() override { return can_go_forward_; }
    void GoForward() override;
    bool IsLoading() override { return loading_; }
    void Reload() override;
    void StopLoad() override;
    bool HasDocument() override { return has_document_; }
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

    // For the registry and frames.
    const std::string& session_id() const { return session_id_; }
    const std::string& target_id() const { return target_id_; }
    // Sends a command to this browser's page (no-op until the page is attached).
    void SendToPage(Command command, Connection::Reply reply = {});
    // Sends a command about one frame to the session that hosts it: the page's own, or that of
    // the frame when it runs in a process of its own (a cross-site sub-frame). An empty frame id
    // names the page. Any thread.
    void SendToFrame(std::string frame_id, Command command, Connection::Reply reply = {});
    // TID_UI: one event of this browser's page session or of one of its sub-frame sessions.
    void OnPageEvent(const std::string& method, const Json& params, const std::string& session);
    // Reader thread: a screencast frame of this browser's page.
    void OnScreencastFrame(Json& params);
    // Reported by the registry (TID_UI): the page opened a pop-up target.
    std::string TakePendingPopupUrl();
    // Painted frames so far (for measurements).
    std::uint64_t painted_frames();
    // Screencast frames the engine has delivered so far (for measurements).
    std::uint64_t received_frames() const { return received_frames_; }
    // Colour (0x00RRGGBB) of a pixel of the newest frame; -1 when there is none.
    long long PixelAt(int x, int y);
    CefRefPtr<FrameImpl> FrameById(const std::string& frame_id);
    bool closed() const { return closed_; }

  private:
    struct Navigation {
        std::string frame_id;
        std::string url;
    };

    // BrowserWindow::Delegate (TID_UI)
    void OnWindowResized(int width, int height) override;
    void OnWindowShownChanged(bool shown) override;
    void OnWindowDestroyed() override;
    void OnContextMenuRequested(int x, int y) override;
    const std::string& WindowSession() override { return session_id_; }
    FramePainter* Painter() override { return painter_.get(); }

    void Attach(std::string target_id);
    void OnAttached(std::string session_id);
    void CloseOnUi(bool force_close);
    void FinishClose();
    void ApplyViewport(int width, int height);
    // The page's frames stream while its window can be seen, and only then.
    void StartScreencast();
    void StopScreencast();
    void RefreshHistory();
    // Goes offset entries back (negative) or forward in the page's history, when it can.
    void GoInHistory(int offset);
    // TID_UI: sends on a session of this browser.
    void SendOn(const std::string& session, Command command, Connection::Reply reply = {});
    // Commands that make a page or sub-frame session report navigations and frames.
    void EnableSession(const std::string& session);
    void OnTargetAttached(const Json& params, const std::string& parent_session);
    void OnTargetDetached(const Json& params);
    void OnRequestPaused(const Json& params, const std::string& session);
    void OnLoadingFailed(const Json& params);
    void OnFrameNavigated(const Json& frame);

    Connection& connection_;
    const int id_;
    CefWindowInfo info_;
    CefRefPtr<CefClient> client_;
    const std::string url_;
    const bool is_popup_;
    std::string target_id_;
    std::string session_id_;

    std::atomic<HWND> hwnd_{nullptr};
    std::atomic<std::uint64_t> received_frames_{0};
    std::unique_ptr<BrowserWindow> window_;
    std::mutex painter_mutex_;  // the reader thread hands frames to painter_
    std::unique_ptr<FramePainter> painter_;
    std::atomic<bool> can_go_back_{false}, can_go_forward_{false}, loading_{false},
        has_document_{false};
    bool closing_ = false;
    std::atomic<bool> closed_{false};
    bool created_reported_ = false;
    bool screencasting_ = false;  // TID_UI

    std::mutex frames_mutex_;  // frames_ is read by GetFrame* on any thread
    std::map<std::string, CefRefPtr<FrameImpl>> frames_;
    std::int64_t next_frame_identifier_ = 1;
    std::map<std::string, Navigation> navigations_;  // engine request id -> navigation
    // Cross-site sub-frames running in a process of their own: frame id -> their session.
    std::map<std::string, std::string> frame_sessions_;
    std::deque<std::string> pending_popup_urls_;
    IMPLEMENT_REFCOUNTING(BrowserImpl);
};

}  // namespace cef_detail
