// Browsers against the real engine under Wine: pixels, input, navigation callbacks, pop-ups,
// input method text, load errors, documents replaced in frames, context menus, closing and
// reference counts.
#include <winsock2.h>

#include <imm.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "browser/browser_impl.h"
#include "browser_support.h"
#include "cef/cef_closure_task.h"
#include "cef/cef_task.h"

namespace browser_test {
namespace {

constexpr const char* kColourPage =
    "<html><body style='margin:0;background:rgb(0,200,0)'></body></html>";
constexpr const char* kFormPage =
    "<html><body style='margin:0'><form action='/submitted' method='get'>"
    "<input id='q' name='q' style='position:absolute;left:0;top:0;width:300px;height:40px'>"
    "</form></body></html>";
constexpr const char* kFramesPage =
    "<html><body><p id='main'>main document</p>"
    "<iframe name='f' id='f' src='/sub' width='300' height='100'></iframe></body></html>";
constexpr const char* kPopupPage =
    "<html><body style='margin:0'>"
    "<a id='l' href='/pop-link' target='_blank' style='position:absolute;left:0;top:0;"
    "width:200px;height:50px;display:block;background:#00f'>link</a>"
    "<button onclick=\"window.open('/pop-script')\" style='position:absolute;left:0;top:100px;"
    "width:200px;height:50px'>open</button></body></html>";

// The engine's pages (its own about:blank included).
int PageTargets() {
    int count = 0;
    cef_detail::Json targets = cef_detail::GetConnection()->Call("Target.getTargets", {});
    for (const auto& t : targets["targetInfos"]) count += t.value("type", "") == "page";
    return count;
}

class BrowserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(EngineStarted()) << "no engine";
        server_.Add("/colour", kColourPage);
        server_.Add("/form", kFormPage);
        server_.Add("/submitted", "<html><body>thanks</body></html>");
        server_.Add("/frames", kFramesPage);
        server_.Add("/sub", "<html><body><p>sub document</p></body></html>");
        server_.Add("/target", "<html><body>target</body></html>");
        server_.Add("/blocked", "<html><body>blocked</body></html>");
        server_.Add("/popups", kPopupPage);
        server_.Add("/pop-link", "<html><body>popup</body></html>");
        server_.Add("/pop-script", "<html><body>popup</body></html>");
        client_ = new RecordingClient;
    }
    void TearDown() override {
        if (client_) {
            EXPECT_TRUE(CloseAllAndWait(client_.get()));
        }
    }

    void Click(HWND hwnd, int x, int y, bool right = false) {
        PostMessageW(hwnd, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON,
                     MAKELPARAM(x, y));
        PostMessageW(hwnd, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }

    // The form page, its field clicked and focused; null when any step failed.
    CefRefPtr<CefBrowser> OpenFormWithFieldFocused() {
        CefRefPtr<CefBrowser> browser =
            OpenBrowser(client_.get(), host_.hwnd(), server_.Url("/form"));
        if (!browser || !WaitForPage(browser, "document.getElementById('q')")) return nullptr;
        Click(browser->GetHost()->GetWindowHandle(), 50, 20);
        if (!WaitForPage(browser, "document.activeElement.id === 'q'")) return nullptr;
        return browser;
    }

    PageServer server_;
    HostWindow host_;
    CefRefPtr<RecordingClient> client_;
};

TEST_F(BrowserTest, WindowIsAChildOfClassCefBrowserWindowWithTheGivenPlace) {
    CefWindowInfo info;
    info.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP;
    info.parent_window = host_.hwnd();
    info.x = 10;
    info.y = 20;
    info.width = 300;
    info.height = 200;
    ASSERT_TRUE(CefBrowserHost::CreateBrowser(info, client_.get(), server_.Url("/colour"),
                                              CefBrowserSettings(), nullptr));
    ASSERT_TRUE(PumpUntil([&] { return !client_->Browsers().empty(); }));
    HWND hwnd = FindWindowExW(host_.hwnd(), nullptr, L"CefBrowserWindow", nullptr);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(hwnd, client_->Browsers()[0]->GetHost()->GetWindowHandle());
    EXPECT_EQ(DWORD(GetWindowLongW(hwnd, GWL_STYLE)) & 0xFFFF0000u, info.style);
    RECT rc;
    GetWindowRect(hwnd, &rc);
    MapWindowPoints(HWND_DESKTOP, host_.hwnd(), reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.top, 20);
    EXPECT_EQ(rc.right - rc.left, 300);
    EXPECT_EQ(rc.bottom - rc.top, 200);
}

TEST_F(BrowserTest, PagePixelsAppearInTheWindowAndFollowItsSize) {
    CefRefPtr<CefBrowser> browser =
        OpenBrowser(client_.get(), host_.hwnd(), server_.Url("/colour"));
    ASSERT_TRUE(browser);
    HWND hwnd = browser->GetHost()->GetWindowHandle();
    auto close_to = [](COLORREF c, int r, int g, int b) {
        return std::abs(int(GetRValue(c)) - r) < 12 && std::abs(int(GetGValue(c)) - g) < 12 &&
               std::abs(int(GetBValue(c)) - b) < 12;
    };
    auto pixel = [&](int x, int y) {
        HDC dc = GetDC(hwnd);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(hwnd, dc);
        return c;
    };
    EXPECT_TRUE(PumpUntil([&] { return close_to(pixel(400, 300), 0, 200, 0); }))
        << std::hex << pixel(400, 300);
    // The page's viewport follows the window's size.
    MoveWindow(hwnd, 0, 0, 640, 360, TRUE);
    EXPECT_TRUE(WaitForPage(browser, "innerWidth === 640 && innerHeight === 360"));
    EXPECT_TRUE(PumpUntil([&] { return close_to(pixel(600, 340), 0, 200, 0); }));
}

TEST_F(BrowserTest, ClickAndTypedTextReachAFormAndSubmitIt) {
    CefRefPtr<CefBrowser> browser = OpenFormWithFieldFocused();
    ASSERT_TRUE(browser);
    HWND hwnd = browser->GetHost()->GetWindowHandle();
    // Key presses as the keyboard gives them; the window's message loop makes the characters.
    for (wchar_t ch : std::wstring(L"hello")) {
        PostMessageW(hwnd, WM_KEYDOWN, WPARAM(towupper(ch)), 1);
        PostMessageW(hwnd, WM_KEYUP, WPARAM(towupper(ch)), 1 | (3u << 30));
    }
    ASSERT_TRUE(WaitForPage(browser, "document.getElementById('q').value === 'hello'"));
    PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(hwnd, WM_KEYUP, VK_RETURN, 1 | (3u << 30));
    EXPECT_TRUE(PumpUntil([&] {
        auto requests = server_.Requests();
        return std::find(requests.begin(), requests.end(), "/submitted?q=hello") != requests.end();
    }));
}

// Text finished in the input method (Chinese, say) arrives in the focused field as one piece.
TEST_F(BrowserTest, InputMethodResultReachesTheFocusedField) {
    CefRefPtr<CefBrowser> browser = OpenFormWithFieldFocused();
    ASSERT_TRUE(browser);
    HWND hwnd = browser->GetHost()->GetWindowHandle();
    // The window's input context belongs to its thread: compose and complete there.
    std::atomic<int> result{0};
    CefPostTask(TID_UI, new CefClosureTask([hwnd, &result] {
                    HIMC context = ImmGetContext(hwnd);
                    if (!context) {
                        result = -1;
                        return;
                    }
                    wchar_t text[] = L"\u4F60\u597D";  // ni hao
                    const BOOL set = ImmSetCompositionStringW(
                        context, SCS_SETSTR, text, sizeof(text) - sizeof(wchar_t), nullptr, 0);
                    const BOOL done = ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
                    ImmReleaseContext(hwnd, context);
                    result = set && done ? 1 : -2;
                }));
    ASSERT_TRUE(PumpUntil([&] { return result.load() != 0; }));
    ASSERT_EQ(result.load(), 1) << "the input context refused the composition";
    EXPECT_TRUE(WaitForPage(browser, "document.getElementById('q').value === '\\u4F60\\u597D'"));
}

TEST_F(BrowserTest, BeforeBrowseSeesMainSubAndRedirectNavigationsAndAVetoStopsOne) {
    CefRefPtr<CefBrowser> browser =
        OpenBrowser(client_.get(), host_.hwnd(), server_.Url("/frames"));
    ASSERT_TRUE(browser);
    auto seen = [&](const std::string& path, bool main, bool redirect) {
        for (const auto& n : client_->Navigations()) {
            if (n.url == server_.Url(path) && n.main == main && n.redirect == redirect) {
                return n.on_ui;
            }
        }
        return false;
    };
    EXPECT_TRUE(PumpUntil([&] { return seen("/frames", true, false); }));
    EXPECT_TRUE(PumpUntil([&] { return seen("/sub", false, false); }));

    browser->GetMainFrame()->LoadURL(server_.Url("/redirect"));
    EXPECT_TRUE(PumpUntil([&] { return seen("/redirect", true, false); }));
    EXPECT_TRUE(PumpUntil([&] { return seen("/target", true, true); }));
    ASSERT_TRUE(WaitForPage(browser, "location.pathname === '/target'"));

    client_->veto_substring = "/blocked";
    browser->GetMainFrame()->LoadURL(server_.Url("/blocked"));
    ASSERT_TRUE(PumpUntil([&] {
        for (const auto& e : client_->LoadErrors()) {
            if (e.url == server_.Url("/blocked")) return true;
        }
        return false;
    }));
    const auto errors = client_->LoadErrors();
    EXPECT_EQ(errors.back().code, -3);
    EXPECT_EQ(errors.back().text, "ERR_ABORTED");
    EXPECT_TRUE(errors.back().main);
    EXPECT_EQ(Evaluate(browser, "location.pathname"), "/target");
    auto requests = server_.Requests();
    EXPECT_EQ(std::find(requests.begin(), requests.end(), "/blocked"), requests.end());
}

TEST_F(BrowserTest, PopupsAreReportedOffTheUiThreadAndSuppressed) {
    CefRefPtr<CefBrowser> browser =
        OpenBrowser(client_.get(), host_.hwnd(), server_.Url("/popups"));
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForPage(browser, "document.getElementById('l')"));
    HWND hwnd = browser->GetHost()->GetWindowHandle();
    Click(hwnd, 50, 20);   // the target=_blank link
    Click(hwnd, 50, 120);  // the window.open button
    ASSERT_TRUE(PumpUntil([&] { return client_->Popups().size() >= 2; }));
    std::vector<std::string> urls;
    for (const auto& popup : client_->Popups()) {
        EXPECT_FALSE(popup.on_ui);
        urls.push_back(popup.url);
    }
    std::sort(urls.begin(), urls.end());
    EXPECT_EQ(urls,
              (std::vector<std::string>{server_.Url("/pop-link"), server_.Url("/pop-script")}));
    // The engine keeps no page of the pop-ups, and no second browser was made.
    EXPECT_TRUE(PumpUntil([&] {
        cef_detail::Json targets = cef_detail::GetConnection()->Call("Target.getTargets", {});
        for (const auto& t : targets["targetInfos"]) {
            if (t.value("url", "").find("/pop-") != std::string::npos) return false;
        }
        return true;
    }));
    EXPECT_EQ(client_->Browsers().size(), 1u);
}

TEST_F(BrowserTest, LoadErrorsCarryTheEngineCodes) {
    // A port nobody listens on: bind one, note it, close it.
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    int length = sizeof(address);
    getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    closesocket(probe);
    const std::string closed = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";
    const std::string unknown = "http://no-such-host.invalid/";

    struct Case {
        std::string url;
        int code;
        const char* text;
    };
    for (const Case& c : {Case{closed, -102, "ERR_CONNECTION_REFUSED"},
                          Case{unknown, -105, "ERR_NAME_NOT_RESOLVED"}}) {
        SCOPED_TRACE(c.url);
        CefRefPtr<CefBrowser> browser = OpenBrowser(client_.get(), host_.hwnd(), c.url);
        ASSERT_TRUE(browser);
        ASSERT_TRUE(PumpUntil([&] {
            for (const auto& e : client_->LoadErrors()) {
                if (e.url == c.url) return true;
            }
            return false;
        }));
        for (const auto& e : client_->LoadErrors()) {
            if (e.url != c.url) continue;
            EXPECT_EQ(e.code, c.code);
            EXPECT_EQ(e.text, c.text);
            EXPECT_TRUE(e.main);
        }
    }
}

TEST_F(BrowserTest, LoadStringInASubFrameLeavesTheMainFrame) {
    CefRefPtr<CefBrowser> browser =
        OpenBrowser(client_.get(), host_.hwnd(), server_.Url("/frames"));
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForPage(browser,
                            "document.getElementById('f').contentDocument &&"
                            " document.getElementById('f').contentDocument.body &&"
                            " document.getElementById('f').contentDocument.body.innerText"
                            ".includes('sub document')"));
    CefRefPtr<CefFrame> sub;
    ASSERT_TRUE(PumpUntil([&] { return (sub = browser->GetFrame("f")) != nullptr; }));
    EXPECT_FALSE(sub->IsMain());
    sub->LoadString("<html><body><p>replaced</p></body></html>", server_.Url("/sub"));
    EXPECT_TRUE(WaitForPage(
        browser, "document.getElementById('f').contentDocument.body.innerText === 'replaced'"));
    EXPECT_EQ(Evaluate(browser, "document.getElementById('main').innerText"), "main document");
}

// A frame of another site runs in an engine process of its own: its navigations after the
// first, its vetoes, its document and its scripts must still go through the browser.
TEST_F(BrowserTest, CrossSiteSubFramesAreSeenVetoedAndReachedLikeOthers) {
    // 127.0.0.1 and localhost are different sites to the engine.
    auto other_site = [&](const std::string& path) {
        std::string url = server_.Url(path);
        return url.replace(url.find("127.0.0.1"), 9, "localhost");
    };
    server_.Add("/cross",
                "<html><body><p id='main'>main document</p>"
                "<iframe name='x' src='" +
                    other_site("/x1") +
                    "'></iframe><script>window.received=[];"
                    "addEventListener('message',e=>received.push(e.data))</script>"
                    "</body></html>");
    server_.Add("/x1",
                "<html><body>x1<script>setTimeout(()=>location='/x2',200)</script></body>"
                "</html>");
    server_.Add("/x2",
                "<html><body>x2<script>setTimeout(()=>location='/xblocked',200)</script>"
                "</body></html>");
    server_.Add("/xblocked", "<html><body>blocked</body></html>");
    client_->veto_substring = "/xblocked";
    CefRefPtr<CefBrowser> browser = OpenBrowser(client_.get(), host_.hwnd(), server_.Url("/cross"));
    ASSERT_TRUE(browser);
    auto seen = [&](const std::string& url) {
        for (const auto& n : client_->Navigations()) {
            if (n.url == url && !n.main && n.on_ui) return true;
        }
        return false;
    };
    EXPECT_TRUE(PumpUntil([&] { return seen(other_site("/x1")); }));
    EXPECT_TRUE(PumpUntil([&] { return seen(other_site("/x2")); }));
    EXPECT_TRUE(PumpUntil([&] { return seen(other_site("/xblocked")); }));
    ASSERT_TRUE(PumpUntil([&] {
        for (const auto& e : client_->LoadErrors()) {
            if (e.url == other_site("/xblocked")) return e.code == -3 && !e.main;
        }
        return false;
    }));
    auto requests = server_.Requests();
    EXPECT_EQ(std::find(requests.begin(), requests.end(), "/xblocked"), requests.end());

    // The frame's document is replaced and scripts run in it, the main frame stays.
    CefRefPtr<CefFrame> sub;
    ASSERT_TRUE(PumpUntil([&] {
        sub = browser->GetFrame("x");
        return sub && sub->GetURL().ToString() == other_site("/x2");
    }));
    EXPECT_FALSE(sub->IsMain());
    sub->LoadString("<html><body>replaced</body></html>", other_site("/x2"));
    PumpUntil([] { return false; }, 300ms);
    sub->ExecuteJavaScript("parent.postMessage(document.body.innerText, '*')", CefString(), 0);
    EXPECT_TRUE(WaitForPage(browser, "received.includes('replaced')"));
    EXPECT_EQ(Evaluate(browser, "document.getElementById('main').innerText"), "main document");
}

// Sub-targets of a page other than frames (its workers) are let go at once, never left
// waiting for a debugger.
TEST_F(BrowserTest, WorkersOfAPageRun) {
    server_.Add("/workers",
                "<html><body><script>window.got='';const code=new Blob([\"postMessage('from "
                "worker')\"],{type:'text/javascript'});"
                "new Worker(URL.createObjectURL(code)).onmessage=e=>got=e.data</script></body>"
                "</html>");
    CefRefPtr<CefBrowser> browser =
        OpenBrowser(client_.get(), host_.hwnd(), server_.Url("/workers"));
    ASSERT_TRUE(browser);
    EXPECT_TRUE(WaitForPage(browser, "got === 'from worker'"));
}

TEST_F(BrowserTest, ContextMenuIsOfferedAndNotShownWhenEmptied) {
    CefRefPtr<CefBrowser> browser =
        OpenBrowser(client_.get(), host_.hwnd(), server_.Url("/popups"));
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForPage(browser, "document.getElementById('l')"));
    HWND hwnd = browser->GetHost()->GetWindowHandle();
    auto menu_visible = [] {
        HWND menu = FindWindowW(L"#32768", nullptr);
        return menu && IsWindowVisible(menu);
    };

    // Kept: the usual items for a link, shown as a real menu.
    Click(hwnd, 50, 20, true);
    ASSERT_TRUE(PumpUntil([&] { return client_->MenusOffered() == 1; }));
    EXPECT_GT(client_->LastMenuItemCount(), 0);
    EXPECT_TRUE(client_->LastMenuFlags() & CM_TYPEFLAG_LINK);
    EXPECT_TRUE(PumpUntil(menu_visible));
    struct EndMenuTask : CefTask {
        void Execute() override { EndMenu(); }
        IMPLEMENT_REFCOUNTING(EndMenuTask);
    };
    CefPostTask(TID_UI, new EndMenuTask);
    ASSERT_TRUE(PumpUntil([&] { return !menu_visible(); }));

    // Emptied by the handler: offered, never shown.
    client_->clear_menu = true;
    Click(hwnd, 400, 300, true);
    ASSERT_TRUE(PumpUntil([&] { return client_->MenusOffered() == 2; }));
    EXPECT_EQ(client_->LastMenuItemCount(), 0);
    std::atomic<bool> ui_passed{false};
    CefPostTask(TID_UI, new CefClosureTask([&ui_passed] { ui_passed = true; }));
    ASSERT_TRUE(PumpUntil([&] { return ui_passed.load(); }));
    EXPECT_FALSE(menu_visible());
}

// A browser closed just as its page's navigation goes ahead (the engine is committing it) takes
// its page out of the engine all the same.
TEST_F(BrowserTest, ClosedAsItsNavigationGoesAheadLeavesNoPage) {
    const int pages_before = PageTargets();
    client_->close_substring = "closing=1";
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        CefRefPtr<CefBrowser> browser =
            OpenBrowser(client_.get(), host_.hwnd(), server_.Url("/colour"));
        ASSERT_TRUE(browser);
        browser->GetMainFrame()->LoadURL(server_.Url("/colour?closing=1&round=") +
                                         std::to_string(round));
        ASSERT_TRUE(PumpUntil([&] { return client_->Browsers().empty(); }));
        EXPECT_TRUE(PumpUntil([&] { return PageTargets() == pages_before; }, 10s))
            << PageTargets() << " pages, " << pages_before << " before";
    }
    client_->close_substring.clear();
}

// The player closes the window while the page is still being set up: whatever step the
// browser has reached, it ends cleanly, leaves no page in the engine, and the library goes on.
TEST_F(BrowserTest, ParentDestroyedWhileTheBrowserIsBeingMadeLeavesNothingBehind) {
    const int pages_before = PageTargets();
    for (const auto delay : {0ms, 20ms, 60ms, 150ms, 400ms}) {
        SCOPED_TRACE(testing::Message() << "parent destroyed " << delay.count() << " ms in");
        HWND parent = CreateWindowExW(0, L"BrowserTestHost", L"short-lived", WS_POPUP | WS_VISIBLE,
                                      0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(parent);
        CefWindowInfo info;
        info.SetAsChild(parent, RECT{0, 0, 400, 300});
        ASSERT_TRUE(CefBrowserHost::CreateBrowser(info, client_.get(), server_.Url("/colour"),
                                                  CefBrowserSettings(), nullptr));
        EXPECT_TRUE(PumpUntil(
            [&] { return FindWindowExW(parent, nullptr, L"CefBrowserWindow", nullptr); }));
        PumpUntil([] { return false; }, delay);
        DestroyWindow(parent);
        // Every browser that was reported made is reported closed, and the engine drops its page.
        EXPECT_TRUE(PumpUntil([&] {
            return client_->Browsers().empty() &&
                   client_->ClosedOrder().size() == client_->CreatedOrder().size() &&
                   PageTargets() == pages_before;
        })) << client_->Browsers().size()
            << " browsers open, " << client_->CreatedOrder().size() << " made, "
            << client_->ClosedOrder().size() << " closed, " << PageTargets() << " pages ("
            << pages_before << " before)";
    }
    CefRefPtr<CefBrowser> browser =
        OpenBrowser(client_.get(), host_.hwnd(), server_.Url("/colour"));
    ASSERT_TRUE(browser);
    auto* impl = dynamic_cast<cef_detail::BrowserImpl*>(browser.get());
    EXPECT_TRUE(PumpUntil([&] {
        const long long c = impl->PixelAt(10, 10);  // 0xRRGGBB of the page's green, give or take
        return c >= 0 && (c >> 16) < 12 && std::abs(int((c >> 8) & 0xFF) - 200) < 12 &&
               (c & 0xFF) < 12;
    }));
}

// Closing while the page streams frames: the window's thread and the frame decoder must never
// wait for each other.
TEST_F(BrowserTest, ClosingWhileFramesStreamNeverHangs) {
    server_.Add("/animated",
                "<html><body style='margin:0'><canvas id=c width=800 height=600></canvas><script>"
                "const c=document.getElementById('c').getContext('2d');let n=0;function f(){n++;"
                "c.fillStyle='hsl('+(n*7%360)+',80%,50%)';c.fillRect(0,0,800,600);"
                "requestAnimationFrame(f);}f();</script></body></html>");
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        CefRefPtr<CefBrowser> browser =
            OpenBrowser(client_.get(), host_.hwnd(), server_.Url("/animated"));
        ASSERT_TRUE(browser);
        auto* impl = dynamic_cast<cef_detail::BrowserImpl*>(browser.get());
        ASSERT_TRUE(PumpUntil([&] { return impl->painted_frames() >= 3u + round % 4; }));
        ASSERT_TRUE(CloseAllAndWait(client_.get()));
    }
}

TEST_F(BrowserTest, CloseAllClosesInCreationOrderAndReferencesBalance) {
    std::vector<CefRefPtr<CefBrowser>> browsers;
    for (int i = 0; i < 3; ++i) {
        browsers.push_back(OpenBrowser(client_.get(), host_.hwnd(), server_.Url("/colour")));
        ASSERT_TRUE(browsers.back());
    }
    const std::vector<int> created = client_->CreatedOrder();
    std::vector<HWND> windows;
    for (auto& b : browsers) windows.push_back(b->GetHost()->GetWindowHandle());

    ASSERT_TRUE(CloseAllAndWait(client_.get()));
    EXPECT_EQ(client_->DoCloseOrder(), created);
    EXPECT_EQ(client_->ClosedOrder(), created);
    // The handler hears of the close while the window is being destroyed on the library's
    // thread; its destruction ends there a moment later.
    EXPECT_TRUE(PumpUntil([&] {
        return std::none_of(windows.begin(), windows.end(),
                            [](HWND hwnd) { return IsWindow(hwnd) != FALSE; });
    }));
    for (auto& b : browsers) EXPECT_EQ(b->GetHost()->GetWindowHandle(), nullptr);

    // Once the library lets go, the test's references are the only ones left.
    EXPECT_TRUE(PumpUntil([&] {
        return std::all_of(browsers.begin(), browsers.end(),
                           [](const CefRefPtr<CefBrowser>& b) { return b->HasOneRef(); });
    }));
    browsers.clear();
    EXPECT_TRUE(PumpUntil([&] { return client_->HasOneRef(); }));
}

}  // namespace
}  // namespace browser_test
