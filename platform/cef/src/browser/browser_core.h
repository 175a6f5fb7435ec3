// What a browser does with its page target, free of Win32: the life cycle from making the
// target to closing it, the page's sessions, navigation checks, load errors, frames and
// history. It speaks to the engine over a Connection and reports upward through its Delegate
// (the browser object the application holds) and a BrowserDirectory (the registry).
//
// Everything here runs on TID_UI, except the getters marked "any thread".
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "browser/browser_directory.h"
#include "browser/crash_reload_policy.h"
#include "browser/display_scale.h"
#include "browser/page_dialog.h"
#include "devtools/commands.h"

namespace cef_detail {

class BrowserCore {
  public:
    // The life cycle, in order. A close may come at any stage; from then on the stage is
    // kClosing or kClosed whatever else happens (a page that was being set up is still reported
    // created when its frame tree arrives during kClosing).
    enum class Stage {
        kMakingTarget,      // waiting for the engine to make a blank page target
        kAttaching,         // the target is known; waiting for its flat session
        kReadingFrameTree,  // attached and set up; waiting for the page's frames
        kReported,          // OnAfterCreated has been reported; no address to load
        kNavigating,        // reported, and the first address has been sent to the page
        kClosing,           // asked to close; waiting for the owner or the window to go
        kClosed,            // gone: the target is being closed, the directory has forgotten it
    };

    class Delegate {
      public:
        // Keeps the browser alive while a reply is outstanding (held by the reply).
        virtual std::shared_ptr<void> KeepAlive() = 0;
        // The window's client size in pixels, its display scale and whether it can be seen now
        // (asking may first report a change through SetShown).
        virtual std::pair<int, int> ClientSize() = 0;
        virtual DisplayScale ViewScale() = 0;
        virtual bool WindowShown() = 0;

        virtual void OnAfterCreated() = 0;
        // True: the owner destroys the window itself (and the close finishes then).
        virtual bool DoClose() = 0;
        // Destroys the window, which finishes the close; false when there is no window.
        virtual bool DestroyWindow() = 0;
        // The close has begun to finish: the window and the frame path go.
        virtual void ReleaseView() = 0;
        virtual void OnBeforeClose() = 0;
        // Every frame object stops working (the last step of a close).
        virtual void InvalidateFrames() = 0;

        // Frames, known by the engine's frame ids; an unknown id makes a frame.
        virtual void UpdateFrame(const std::string& frame_id, const std::string& url,
                                 const std::string& name,
                                 const std::optional<std::string>& parent_id) = 0;
        virtual void SetFrameParent(const std::string& frame_id, const std::string& parent_id) = 0;
        virtual void RemoveFrame(const std::string& frame_id) = 0;

        // True cancels the navigation.
        virtual bool OnBeforeBrowse(const std::string& frame_id, const std::string& url,
                                    const std::string& method, bool redirect) = 0;
        virtual void OnLoadError(const std::string& frame_id, int code, const std::string& name,
                                 const std::string& url) = 0;
        // A frame started or stopped loading; main: it is the page's top frame (whose loading
        // state, IsLoading and history, has been brought up to date before).
        virtual void OnFrameLoading(const std::string& frame_id, bool started, bool main) = 0;
        virtual void OnAddressChange(const std::string& frame_id, const std::string& url) = 0;
        // The page's renderer process ended; engine_status is the engine's word for how.
        virtual void OnRenderProcessTerminated(const std::string& engine_status) = 0;

        // A page's dialog for the player, who answers through AnswerDialog. One at a time, and
        // only while the window can be seen.
        virtual void OpenDialog(const PageDialog& dialog) = 0;
        // The open dialog goes out of sight with the window and comes back with it, as it was.
        virtual void ShowDialog(bool shown) = 0;
        // The open dialog goes without the player's answer (the browser closes, or the engine
        // ended the dialog itself).
        virtual void CloseDialog() = 0;

      protected:
        ~Delegate() = default;
    };

    // Steps of the browser's life for developers; it may be called after the browser has gone.
    using Trace = std::function<void(const std::string& text)>;

    // target_id empty: a new page target is made; otherwise the browser adopts that target. url
    // empty: nothing is loaded after creation. connection, directory and delegate outlive it.
    BrowserCore(int id, Connection& connection, BrowserDirectory& directory, Delegate& delegate,
                Trace trace, std::string url, std::string target_id);
    BrowserCore(const BrowserCore&) = delete;
    BrowserCore& operator=(const BrowserCore&) = delete;

    // Makes or adopts the target, attaches, sets the page up and reports OnAfterCreated.
    void Start();
    // There is nothing to show the browser in: it is closed without ever reaching the engine.
    void Abandon();
    // CloseBrowser, on TID_UI. The page's dialogs are closed and refused; the page is not asked
    // whether it may be left.
    void Close();
    // The window is gone (or there never was one): the browser is closed for good.
    void Finish();
    // The engine was started again: the browser makes a new page target in the new engine, as
    // at its start but without reporting OnAfterCreated again, and loads its last address; with
    // an error_text, it shows its error page (OnLoadError with that text) instead. Nothing for
    // a browser that is closing.
    void Recreate(const std::string& error_text = {});
    // The page's renderer ended (engine_status as the engine tells it; the engine reports each
    // end once): reported, then the page is loaded again on its current address, or, ended
    // again within a minute, its error page is shown.
    void OnRendererEnded(const std::string& engine_status,
                         CrashReloadPolicy::Clock::time_point now);

    // One event of the page's session or of one of its sub-frame sessions.
    void OnPageEvent(const std::string& method, const Json& params, const std::string& session);
    // Sends a command about one frame to the session that hosts it (an empty frame id names the
    // page); dropped until the page is attached.
    void SendToFrame(const std::string& frame_id, Command command, Connection::Reply reply = {});
    void SendToPage(Command command, Connection::Reply reply = {});

    // The page's viewport for a window of width x height pixels at the delegate's ViewScale.
    void ApplyViewport(int width, int height);
    // The page's frames stream while its window can be seen, and only then.
    void SetShown(bool shown);
    // offset entries back (negative) or forward, when the history has them.
    void GoInHistory(int offset);
    // Loads the page again; one showing the library's error page loads its address again.
    void Reload();
    // Empties the engine's cache and the cache storage of the page's origin (asked for once the
    // page is known to be attached; none when empty); done runs once that is over, or at once
    // when the page is not attached.
    void ClearCache(const std::function<std::string()>& origin, std::function<void()> done);
    // The address of the oldest pop-up the page opened and nobody has taken yet; empty if none.
    std::string TakePendingPopupUrl();
    // The player's answer to the open dialog (PageDialog::Answer); the next dialog waiting, if
    // any, opens. Nothing when no dialog is open.
    void AnswerDialog(bool ok, const std::string& typed);

    int id() const { return id_; }
    // The address the page shows, or last asked for before it showed any.
    const std::string& address() const { return address_; }
    Stage stage() const { return stage_; }                    // any thread
    bool closed() const { return stage_ == Stage::kClosed; }  // any thread
    const std::string& session_id() const { return session_id_; }
    const std::string& target_id() const { return target_id_; }
    // Any thread.
    bool can_go_back() const { return can_go_back_; }
    bool can_go_forward() const { return can_go_forward_; }
    bool loading() const { return loading_; }
    bool has_document() const { return has_document_; }
    // Dialogs of the page not yet answered, the open one included. Any thread.
    std::size_t waiting_dialogs() const { return waiting_dialogs_; }

  private:
    struct Navigation {
        std::string frame_id;
        std::string url;
    };
    struct WaitingDialog {
        std::string session;  // the one that opened it, which takes the answer
        PageDialog dialog;
    };

    void Advance(Stage next);
    void Attach(std::string target_id);
    void OnAttached(std::string session_id);
    void OnFrameTree(const Json& result, const ProtocolError* error);
    void SendOn(const std::string& session, Command command, Connection::Reply reply = {});
    void EnableSession(const std::string& session);
    void StartScreencast();
    void StopScreencast();
    void RefreshHistory();
    void OnTargetAttached(const events::AttachedToTarget& attached,
                          const std::string& parent_session);
    void OnTargetDetached(const events::DetachedFromTarget& detached);
    void OnRequestPaused(const events::RequestPaused& paused, const std::string& session);
    void OnLoadingFailed(const events::LoadingFailed& failed);
    void OnFrameNavigated(const events::Frame& frame);
    void OnFrameLoading(const std::string& frame_id, bool started);
    void OnDialogOpening(const events::JavascriptDialogOpening& opening,
                         const std::string& session);
    void OnDialogClosed(const std::string& session);
    // Puts the oldest waiting dialog before the player when none is and the window is seen.
    void OpenNextDialog();
    // Every waiting dialog is refused and the open one closed.
    void DismissDialogs();
    // The page's error page in place of address_: OnLoadError on the top frame.
    void ReportPendingError();
    // The page whose renderer ended has one again: its screen stream starts again if shown.
    void OnRendererBack();
    // A command of the life cycle failed: the browser closes, unless the engine has gone.
    void OnCommandFailed(const ProtocolError& error);
    // A reply handler that runs only while the browser is still in the engine it was asked of.
    Connection::Reply ThisEngine(std::function<void(const Json&, const ProtocolError*)> handler);

    const int id_;
    Connection& connection_;
    BrowserDirectory& directory_;
    Delegate& delegate_;
    const Trace trace_;
    const std::string url_;
    std::string address_;         // the top frame's address (never about:blank)
    std::string load_on_attach_;  // what the page loads once it is set up; empty: nothing
    std::optional<std::string> pending_error_;  // the error page's text, shown once blank
    int engine_generation_ = 0;                 // counts Recreate; older replies are ignored
    bool showing_error_ = false;                // the page shows an error page in place of address_
    bool renderer_ended_ = false;  // its screen stream is to start again on the next commit
    CrashReloadPolicy crash_policy_;
    std::string target_id_;
    std::string session_id_;
    std::atomic<Stage> stage_{Stage::kMakingTarget};
    bool reported_ = false;  // OnAfterCreated was called, so OnBeforeClose will be
    bool screencasting_ = false;
    std::atomic<bool> can_go_back_{false}, can_go_forward_{false}, loading_{false},
        has_document_{false};
    std::map<std::string, Navigation> navigations_;  // engine request id -> navigation
    // Cross-site sub-frames running in a process of their own: frame id -> their session.
    std::map<std::string, std::string> frame_sessions_;
    std::deque<std::string> pending_popup_urls_;
    // In the order they came; the front one is before the player while dialog_open_.
    std::deque<WaitingDialog> dialogs_;
    bool dialog_open_ = false;
    std::atomic<std::size_t> waiting_dialogs_{0};  // dialogs_.size(), for any thread
};

}  // namespace cef_detail
