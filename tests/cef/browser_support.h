// What the browser tests share: one engine per test program, a local HTTP server, a host
// window, a recording client, and waiting while the test thread's windows keep working.
#pragma once

#include <winsock2.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cef/cef_app.h"
#include "cef/cef_browser.h"
#include "cef/cef_client.h"
#include "devtools/connection.h"
#include "message_pump.h"

namespace browser_test {

using namespace std::chrono_literals;

using korvex_test::PumpUntil;

// Starts the engine once for the whole program (profile under KORVEX_RUN_DIR).
bool EngineStarted();

// Pages served on 127.0.0.1 at a port the system chooses; records the paths asked for.
// A minimal HTTP/1.0 responder for GET (Debian's HTTP library ships its code only as a Linux
// shared library, which the Windows build cannot link).
class PageServer {
  public:
    PageServer();
    ~PageServer();
    std::string Url(const std::string& path) const;
    void Add(const std::string& path, std::string html);
    // Every request's path with its query string, in arrival order.
    std::vector<std::string> Requests();

  private:
    void Serve();
    void Answer(SOCKET client);

    SOCKET listener_ = INVALID_SOCKET;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::vector<std::thread> workers_;  // used by the serving thread only
    int port_ = 0;
    std::mutex mutex_;
    std::map<std::string, std::string> pages_;
    std::vector<std::string> requests_;
};

// A visible top-level window made by the test thread, the parent of the browsers.
class HostWindow {
  public:
    HostWindow(int width = 800, int height = 600);
    ~HostWindow();
    HWND hwnd() const { return hwnd_; }

  private:
    HWND hwnd_ = nullptr;
};

// The recording client: every callback is written down; behaviour is set per test.
class RecordingClient : public CefClient,
                        public CefLifeSpanHandler,
                        public CefLoadHandler,
                        public CefRequestHandler,
                        public CefContextMenuHandler {
  public:
    struct Navigation {
        std::string url;
        bool main;
        bool redirect;
        bool on_ui;
    };
    struct LoadError {
        int code;
        std::string text;
        std::string url;
        bool main;
    };
    struct Popup {
        std::string url;
        bool on_ui;
    };

    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
    CefRefPtr<CefRequestHandler> GetRequestHandler() override { return this; }
    CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() override { return this; }

    bool OnBeforePopup(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const CefString& target_url,
                       const CefString&, WindowOpenDisposition, bool, const CefPopupFeatures&,
                       CefWindowInfo&, CefRefPtr<CefClient>&, CefBrowserSettings&, bool*) override;
    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override;
    bool DoClose(CefRefPtr<CefBrowser> browser) override;
    void OnBeforeClose(CefRefPtr<CefBrowser> browser) override;
    void OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int) override;
    void OnLoadError(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, ErrorCode code,
                     const CefString& text, const CefString& url) override;
    bool OnBeforeBrowse(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame,
                        CefRefPtr<CefRequest> request, bool is_redirect) override;
    void OnBeforeContextMenu(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>,
                             CefRefPtr<CefContextMenuParams> params,
                             CefRefPtr<CefMenuModel> model) override;

    // Closes every browser in the list, in list order, from TID_UI (as an application does).
    void CloseAll();

    // Settings (set before the events they affect).
    std::atomic<bool> clear_menu{false};
    std::string veto_substring;  // navigations whose address holds it are cancelled
    // Navigations whose address holds it go ahead, and their browser is closed right after the
    // check (while the engine starts the navigation).
    std::string close_substring;

    // Snapshots.
    std::vector<CefRefPtr<CefBrowser>> Browsers();
    std::vector<Navigation> Navigations();
    std::vector<LoadError> LoadErrors();
    std::vector<Popup> Popups();
    std::vector<int> CreatedOrder();
    std::vector<int> DoCloseOrder();
    std::vector<int> ClosedOrder();
    int MainLoads();
    int MenusOffered();
    int LastMenuItemCount();
    int LastMenuFlags();

  private:
    std::mutex mutex_;
    std::vector<CefRefPtr<CefBrowser>> list_;
    std::vector<Navigation> navigations_;
    std::vector<LoadError> load_errors_;
    std::vector<Popup> popups_;
    std::vector<int> created_, do_close_, closed_;
    int main_loads_ = 0;
    int menus_ = 0;
    int last_menu_items_ = -1;
    int last_menu_flags_ = 0;
    IMPLEMENT_REFCOUNTING(RecordingClient);
};

// Creates a browser child of parent filling its client area and waits for OnAfterCreated.
CefRefPtr<CefBrowser> OpenBrowser(RecordingClient* client, HWND parent, const std::string& url,
                                  const CefBrowserSettings& settings = CefBrowserSettings());
// Closes every browser of client and waits until its list is empty.
bool CloseAllAndWait(RecordingClient* client);
// Runs expression in the browser's page and returns its value (blocks; not on TID_UI).
cef_detail::Json Evaluate(CefRefPtr<CefBrowser> browser, const std::string& expression);
// Waits until the page's expression is true.
bool WaitForPage(CefRefPtr<CefBrowser> browser, const std::string& expression);

}  // namespace browser_test
