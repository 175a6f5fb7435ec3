// The browser host and the browser handler in a test program of their own, against the real
// engine and pages from tests/browser/pages: where the login browser lies, what the handler
// does with pop-ups, context menus, failed loads and closing.
#include <winsock2.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cwchar>
#include <mutex>
#include <string>
#include <vector>

#include "app/browser_app.h"
#include "base/utf.h"
#include "browser/browser_dlg.h"
#include "browser/browser_handler.h"
#include "browser_support.h"
#include "cef/cef_closure_task.h"
#include "config/ConfigLoader.h"
#include "linux_processes.h"
#include "page_server_process.h"
#include "resources/resource.h"
#include "shell_recorder.h"

namespace {

using namespace browser_test;
using namespace korvex_test;
using namespace std::chrono_literals;

// Korvex's handler, with what it was told written down first.
class RecordingHandler : public CBrowserHandler {
  public:
    struct LoadError {
        int code;
        std::string text;
        std::string url;
        bool main;
    };

    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override {
        Record([&] {
            live_.push_back(browser);
            created_.push_back(browser->GetIdentifier());
        });
        CBrowserHandler::OnAfterCreated(browser);
    }
    bool DoClose(CefRefPtr<CefBrowser> browser) override {
        Record([&] { do_close_.push_back(browser->GetIdentifier()); });
        return CBrowserHandler::DoClose(browser);
    }
    void OnBeforeClose(CefRefPtr<CefBrowser> browser) override {
        Record([&] {
            closed_.push_back(browser->GetIdentifier());
            std::erase_if(live_, [&](const auto& b) { return b->IsSame(browser); });
        });
        CBrowserHandler::OnBeforeClose(browser);
    }
    void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, ErrorCode code,
                     const CefString& text, const CefString& url) override {
        Record([&] {
            errors_.push_back({int(code), text.ToString(), url.ToString(), frame->IsMain()});
        });
        CBrowserHandler::OnLoadError(browser, frame, code, text, url);
    }
    void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                             CefRefPtr<CefContextMenuParams> params,
                             CefRefPtr<CefMenuModel> model) override {
        const int offered = model->GetCount();
        CBrowserHandler::OnBeforeContextMenu(browser, frame, params, model);
        Record([&] { menus_.push_back({offered, model->GetCount()}); });
    }

    std::vector<CefRefPtr<CefBrowser>> Live() { return Snapshot(live_); }
    std::vector<int> Created() { return Snapshot(created_); }
    std::vector<int> DoCloseOrder() { return Snapshot(do_close_); }
    std::vector<int> Closed() { return Snapshot(closed_); }
    std::vector<LoadError> Errors() { return Snapshot(errors_); }
    // Items offered and left, per menu.
    std::vector<std::pair<int, int>> Menus() { return Snapshot(menus_); }

  private:
    template <class Fn>
    void Record(Fn fn) {
        std::lock_guard lock(mutex_);
        fn();
    }
    template <class T>
    T Snapshot(const T& member) {
        std::lock_guard lock(mutex_);
        return member;
    }

    std::mutex mutex_;
    std::vector<CefRefPtr<CefBrowser>> live_;
    std::vector<int> created_, do_close_, closed_;
    std::vector<LoadError> errors_;
    std::vector<std::pair<int, int>> menus_;
};

// A visible, borderless top-level window at a given place, the owner of a browser host.
HWND MakeOwner(int x, int y, int width = 900, int height = 600) {
    return CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, x, y, width, height,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HWND BrowserWindowOf(HWND parent) {
    return FindWindowExW(parent, nullptr, L"CefBrowserWindow", nullptr);
}

// A loopback port that nothing listens on: bound, noted, closed.
int ClosedPort() {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int length = sizeof(address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(s);
    return ntohs(address.sin_port);
}

std::string JsString(const std::string& text) { return cef_detail::Json(text).dump(); }

class KorvexBrowserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(EngineStarted()) << "no engine";
        ASSERT_TRUE(server_.running()) << "no page server (is the host preset built?)";
        handler_ = new RecordingHandler;
    }
    void TearDown() override {
        handler_->CloseAllBrowsers(true);
        EXPECT_TRUE(PumpUntil([&] { return handler_->Live().empty(); }));
    }

    CefRefPtr<CefBrowser> Open(const std::string& path) {
        const std::size_t before = handler_->Created().size();
        RECT rect;
        GetClientRect(host_.hwnd(), &rect);
        CefWindowInfo info;
        info.SetAsChild(host_.hwnd(), rect);
        if (!CefBrowserHost::CreateBrowser(info, handler_.get(), server_.Url(path),
                                           CefBrowserSettings(), nullptr))
            return nullptr;
        if (!PumpUntil([&] { return handler_->Created().size() > before; })) return nullptr;
        return handler_->Live().back();
    }

    void RightClick(HWND window, int x, int y) {
        PostMessageW(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
        PostMessageW(window, WM_RBUTTONUP, 0, MAKELPARAM(x, y));
    }
    void Click(HWND window, int x, int y) {
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }

    // Waits for a load error of the address; the engine's own form of it.
    std::optional<RecordingHandler::LoadError> ErrorFor(const std::string& url_start) {
        std::optional<RecordingHandler::LoadError> found;
        PumpUntil([&] {
            for (const auto& e : handler_->Errors()) {
                if (e.url.rfind(url_start, 0) == 0) found = e;
            }
            return found.has_value();
        });
        return found;
    }

    PageServerProcess server_{SourcePath("tests/browser/pages")};
    HostWindow host_{800, 600};
    CefRefPtr<RecordingHandler> handler_;
};

// ---- the application object's command line ----

TEST(BrowserApp, AppendsTheFourEntriesInOrderTheIgnoreOnesAsPlainArguments) {
    for (const char* process_type : {"", "renderer"}) {
        SCOPED_TRACE(process_type);
        CefRefPtr<CBrowserApp> app = new CBrowserApp;
        CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
        app->OnBeforeCommandLineProcessing(CefString(process_type), line);
        std::vector<std::string> argv;
        line->GetArgv(argv);
        EXPECT_EQ(argv, (std::vector<std::string>{
                            "", "--ignore-certificate-errors", "--ignore-ssl-errors",
                            "--ppapi-flash-path=pepperflash/pepflashplayer.dll",
                            "--ppapi-flash-version=23.0.0.162"}));
        CefCommandLine::ArgumentList plain;
        line->GetArguments(plain);
        EXPECT_EQ(plain, (CefCommandLine::ArgumentList{CefString("--ignore-certificate-errors"),
                                                       CefString("--ignore-ssl-errors")}));
        EXPECT_FALSE(line->HasSwitch("ignore-certificate-errors"));
        EXPECT_EQ(line->GetSwitchValue("ppapi-flash-path").ToString(),
                  "pepperflash/pepflashplayer.dll");
        EXPECT_EQ(line->GetSwitchValue("ppapi-flash-version").ToString(), "23.0.0.162");
        // Its own browser-process handler, the same object each time; nothing happens on start.
        EXPECT_EQ(app->GetBrowserProcessHandler().get(), app->GetBrowserProcessHandler().get());
        EXPECT_EQ(static_cast<CefBrowserProcessHandler*>(app.get()),
                  app->GetBrowserProcessHandler().get());
        app->GetBrowserProcessHandler()->OnContextInitialized();
    }
}

// ---- the browser host ----

TEST_F(KorvexBrowserTest, HostBrowserReachesTheDialogsScreenEdgesAndKeepsItsSize) {
    struct Place {
        int x, y;
    };
    for (const Place place : {Place{300, 200}, Place{0, 0}}) {
        SCOPED_TRACE(std::to_string(place.x) + "," + std::to_string(place.y));
        const std::wstring login = korvex::Utf8ToWide(server_.Url("/ticks.html"));
        std::wcsncpy(g_config.szLoginUrl, login.c_str(), korvex::kConfigTextMaxChars);
        HWND owner = MakeOwner(place.x, place.y);
        CBrowserDlg host;
        ASSERT_TRUE(host.Create(IDD_BROWSER_HOST, CWnd::FromHandle(owner)));
        RECT dialog{};
        host.GetWindowRect(&dialog);
        EXPECT_EQ(dialog.left, place.x);
        EXPECT_EQ(dialog.top, place.y);
        EXPECT_FALSE(host.IsWindowVisible());  // the owner shows it
        EXPECT_EQ(g_browserHandler.get(), CBrowserHandler::GetInstance());

        HWND browser = nullptr;
        ASSERT_TRUE(PumpUntil([&] { return (browser = BrowserWindowOf(host.m_hWnd)) != nullptr; }));
        RECT inside{};
        GetWindowRect(browser, &inside);
        MapWindowPoints(HWND_DESKTOP, host.m_hWnd, reinterpret_cast<POINT*>(&inside), 2);
        EXPECT_EQ(inside.left, 0);
        EXPECT_EQ(inside.top, 0);
        // As wide and high as the dialog's right and bottom screen edges, not its size.
        EXPECT_EQ(inside.right - inside.left, dialog.right);
        EXPECT_EQ(inside.bottom - inside.top, dialog.bottom);

        // Moving and resizing the host leaves the browser window as it was made.
        host.MoveWindow(place.x + 40, place.y + 30, 200, 120, TRUE);
        PumpFor(300ms);
        RECT after{};
        GetWindowRect(browser, &after);
        EXPECT_EQ(after.right - after.left, dialog.right);
        EXPECT_EQ(after.bottom - after.top, dialog.bottom);

        // Shown with the host, hidden with it; the page keeps running meanwhile.
        host.ShowWindow(SW_SHOW);
        EXPECT_TRUE(IsWindowVisible(browser));
        ASSERT_TRUE(server_.WaitFor([](const std::vector<std::string>& r) {
            return std::count_if(r.begin(), r.end(),
                                 [](const auto& x) { return x.rfind("GET /tick?", 0) == 0; }) >= 2;
        }));
        host.ShowWindow(SW_HIDE);
        EXPECT_FALSE(IsWindowVisible(browser));
        auto ticks = [&] {
            const auto r = server_.Requests();
            return std::count_if(r.begin(), r.end(),
                                 [](const auto& x) { return x.rfind("GET /tick?", 0) == 0; });
        };
        const auto hidden_at = ticks();
        EXPECT_TRUE(PumpUntil([&] { return ticks() >= hidden_at + 5; }));

        g_browserHandler->CloseAllBrowsers(true);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(browser); }));
        host.DestroyWindow();
        DestroyWindow(owner);
    }
}

// ---- failed loads ----

TEST_F(KorvexBrowserTest, FailedLoadsShowTheErrorPageWithTheAddressAsItIs) {
    const std::string closed =
        "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/login?a=1&copy=2";
    const std::string unknown = "http://no-such-host.invalid/login";
    struct Case {
        std::string url;
        int code;
        const char* text;
    };
    for (const Case& c : {Case{closed, -102, "ERR_CONNECTION_REFUSED"},
                          Case{unknown, -105, "ERR_NAME_NOT_RESOLVED"}}) {
        SCOPED_TRACE(c.url);
        CefRefPtr<CefBrowser> browser = Open("/colour.html");
        ASSERT_TRUE(browser);
        ASSERT_TRUE(WaitForPage(browser, "document.getElementById('main')"));
        browser->GetMainFrame()->LoadURL(c.url);
        const auto error = ErrorFor(c.url.substr(0, c.url.find('?')));
        ASSERT_TRUE(error);
        EXPECT_EQ(error->code, c.code);
        EXPECT_EQ(error->text, c.text);
        EXPECT_TRUE(error->main);
        // "&copy=2" reads as typed: the address is escaped, not taken as markup.
        const std::string shown = "Failed to load URL " + error->url + " with error " + c.text +
                                  " (" + std::to_string(c.code) + ").";
        EXPECT_TRUE(WaitForPage(
            browser, "document.body && document.body.innerText.trim() === " + JsString(shown)))
            << Evaluate(browser, "document.body && document.body.innerText").dump();
        EXPECT_EQ(Evaluate(browser, "document.body.getAttribute('bgcolor')"), "white");
        EXPECT_EQ(Evaluate(browser, "document.querySelectorAll('h2').length"), 1);
    }
}

TEST_F(KorvexBrowserTest, AFailedSubFrameAloneShowsTheErrorPage) {
    const std::string closed = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/frame";
    CefRefPtr<CefBrowser> browser = Open("/frames.html#" + closed);
    ASSERT_TRUE(browser);
    const auto error = ErrorFor(closed);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code, -102);
    EXPECT_FALSE(error->main);
    EXPECT_EQ(Evaluate(browser, "document.getElementById('main').innerText"), "main document");
    // The sub-frame (of another origin) tells the page what it shows.
    CefRefPtr<CefFrame> sub;
    ASSERT_TRUE(PumpUntil([&] { return (sub = browser->GetFrame("sub")) != nullptr; }));
    const std::string shown =
        "Failed to load URL " + error->url + " with error ERR_CONNECTION_REFUSED (-102).";
    EXPECT_TRUE(PumpUntil([&] {
        sub->ExecuteJavaScript(
            "parent.postMessage(document.body ? document.body.innerText : '', '*')", "", 0);
        return Evaluate(browser, "window.subText && window.subText.trim()") == shown;
    })) << Evaluate(browser, "window.subText").dump();
}

TEST_F(KorvexBrowserTest, AnAbortedLoadLeavesTheFrameAsItWas) {
    CefRefPtr<CefBrowser> browser = Open("/colour.html");
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForPage(browser, "document.getElementById('main')"));
    // A navigation to a slow page, stopped before its answer comes: the engine aborts it.
    Evaluate(browser,
             "location.href = '/frames.html?delay=3000'; setTimeout(() => window.stop(), 500); 1");
    const auto error = ErrorFor(server_.Url("/frames.html"));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code, -3);
    PumpFor(1000ms);
    EXPECT_EQ(Evaluate(browser, "document.getElementById('main').innerText"), "colour");
    EXPECT_EQ(Evaluate(browser, "document.querySelectorAll('h2').length"), 0);
}

// ---- context menu ----

TEST_F(KorvexBrowserTest, RightClickOnLinkSelectionAndFieldShowsNoMenu) {
    CefRefPtr<CefBrowser> browser = Open("/menu.html");
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForPage(browser, "getSelection().toString().includes('words')"));
    HWND window = browser->GetHost()->GetWindowHandle();
    auto menu_visible = [] {
        HWND menu = FindWindowW(L"#32768", nullptr);
        return menu && IsWindowVisible(menu);
    };
    struct Spot {
        const char* what;
        int x, y;
    };
    int expected = 0;
    for (const Spot s : {Spot{"link", 50, 20}, Spot{"selection", 50, 75}, Spot{"field", 50, 135}}) {
        SCOPED_TRACE(s.what);
        RightClick(window, s.x, s.y);
        ++expected;
        ASSERT_TRUE(PumpUntil([&] { return int(handler_->Menus().size()) == expected; }));
        const auto [offered, left] = handler_->Menus().back();
        EXPECT_GT(offered, 0);  // the library offered its usual items
        EXPECT_EQ(left, 0);
        // A round trip through the browsers' thread: a menu would be up by now.
        std::atomic<bool> passed{false};
        CefPostTask(TID_UI, CefCreateClosureTask([&passed] { passed = true; }));
        ASSERT_TRUE(PumpUntil([&] { return passed.load(); }));
        EXPECT_FALSE(menu_visible());
    }
}

// ---- pop-ups ----

TEST_F(KorvexBrowserTest, PopupsOpenInTheSystemBrowserOnlyForWebAndMailAddresses) {
    ShellRecorder recorder;
    CefRefPtr<CefBrowser> browser = Open("/popups.html");
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForPage(browser, "document.getElementById('web')"));
    Click(browser->GetHost()->GetWindowHandle(), 50, 20);
    ASSERT_TRUE(recorder.WaitForCount(1));
    EXPECT_EQ(recorder.Opened(), std::vector<std::string>{server_.Url("/colour.html?from=popup")});
    EXPECT_EQ(handler_->Created().size(), 1u);  // no pop-up browser was made

    // Targets a page may name, handed to the handler as the library would.
    const std::string marker_dir = UnixPath(RunDir());
    RunShell("printf 'echo ran > marker.txt\\r\\n' > '" + marker_dir + "/marker.bat'");
    const std::wstring marker = RunDir() + L"\\marker.txt";
    const std::string marker_bat = "file:///" + korvex::WideToUtf8(RunDir()) + "\\marker.bat";
    const std::vector<std::string> suppressed = {"",
                                                 marker_bat,
                                                 "\\\\127.0.0.1\\share\\setup.exe",
                                                 "C:\\windows\\system32\\notepad.exe",
                                                 "javascript:alert(1)",
                                                 "data:text/html,<b>x</b>",
                                                 "ms-settings:",
                                                 "http://x/\" --flag"};
    const std::vector<std::string> opened = {"https://torvane.example/pay",
                                             "mailto:service@torvane.example"};
    auto ask = [&](const std::string& target) {
        CefWindowInfo info;
        CefRefPtr<CefClient> client = handler_.get();
        CefBrowserSettings settings;
        bool no_js = false;
        return handler_->OnBeforePopup(browser, browser->GetMainFrame(), CefString(target),
                                       CefString(), WOD_NEW_FOREGROUND_TAB, true,
                                       CefPopupFeatures(), info, client, settings, &no_js);
    };
    for (const auto& target : suppressed) EXPECT_TRUE(ask(target)) << target;
    for (const auto& target : opened) EXPECT_TRUE(ask(target)) << target;
    ASSERT_TRUE(recorder.WaitForCount(3));
    PumpFor(2000ms);  // time for anything that should not happen
    auto all = recorder.Opened();
    EXPECT_EQ(all.size(), 3u);
    std::sort(all.begin() + 1, all.end());
    EXPECT_EQ(all, (std::vector<std::string>{server_.Url("/colour.html?from=popup"),
                                             "https://torvane.example/pay",
                                             "mailto:service@torvane.example"}));
    EXPECT_EQ(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES)
        << "a file address was run";
}

// ---- closing ----

TEST_F(KorvexBrowserTest, CloseAllFromTheMainThreadReturnsAtOnceAndClosesInCreationOrder) {
    CefRefPtr<CefBrowser> first = Open("/colour.html");
    CefRefPtr<CefBrowser> second = Open("/colour.html");
    ASSERT_TRUE(first && second);
    // A browser of another client: its close notice must not disturb this handler's list.
    CefRefPtr<RecordingClient> other = new RecordingClient;
    CefRefPtr<CefBrowser> stranger =
        OpenBrowser(other.get(), host_.hwnd(), server_.Url("/colour.html"));
    ASSERT_TRUE(stranger);
    std::atomic<bool> told{false};
    CefRefPtr<RecordingHandler> handler = handler_;
    CefPostTask(TID_UI, CefCreateClosureTask([handler, stranger, &told] {
                    handler->CBrowserHandler::OnBeforeClose(stranger);
                    told = true;
                }));
    ASSERT_TRUE(PumpUntil([&] { return told.load(); }));

    // The browsers' thread is held while the call returns, so nothing can have closed.
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> held{false};
    CefPostTask(TID_UI, CefCreateClosureTask([release, &held] {
                    held = true;
                    WaitForSingleObject(release, 20000);
                }));
    ASSERT_TRUE(PumpUntil([&] { return held.load(); }));
    handler_->CloseAllBrowsers(true);
    EXPECT_TRUE(handler_->DoCloseOrder().empty());
    EXPECT_TRUE(handler_->Closed().empty());
    SetEvent(release);
    CloseHandle(release);

    ASSERT_TRUE(PumpUntil([&] { return handler_->Closed().size() == 2; }));
    const std::vector<int> order = {first->GetIdentifier(), second->GetIdentifier()};
    EXPECT_EQ(handler_->DoCloseOrder(), order);
    EXPECT_EQ(handler_->Closed(), order);
    EXPECT_EQ(other->Browsers().size(), 1u);  // the stranger stays open
    EXPECT_TRUE(CloseAllAndWait(other.get()));
}

}  // namespace
