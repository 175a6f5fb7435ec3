// Korvex's two browsers on a 144-DPI display (150 %), in a test program of its own against the
// real engine (its run's prefix set to 144 DPI first): the login page keeps ratio 1, matching the
// launcher's fixed-pixel picture, while the game page follows the display at 1.5 with a viewport
// of its view's pixels / 1.5, and a click on the game lands on the element under the pointer.
#include <winsock2.h>

#include <windows.h>

#include <objidl.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "base/utf.h"
#include "browser/browser_dlg.h"
#include "browser/browser_handler.h"
#include "browser_support.h"
#include "config/ConfigLoader.h"
#include "game/game_dialog.h"
#include "high_dpi.h"
#include "page_server_process.h"
#include "resources/resource.h"

namespace {

using namespace korvex_test;
using namespace std::chrono_literals;

constexpr int kDpi = 144;

HWND BrowserWindowOf(HWND parent) {
    return FindWindowExW(parent, nullptr, L"CefBrowserWindow", nullptr);
}

// The viewport a page in window has at ratio: its client pixels / ratio, rounded up.
std::string ExpectedViewport(HWND window, double ratio) {
    RECT client{};
    GetClientRect(window, &client);
    const auto css = [ratio](LONG pixels) {
        return std::to_string(int(pixels / ratio + 1 - 1e-6));
    };
    return css(client.right) + "x" + css(client.bottom);
}

class KorvexDisplayScaleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(browser_test::EngineStarted()) << "no engine";
        ASSERT_TRUE(server_.running()) << "no page server (is the host preset built?)";
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&gdiplus_, &input, nullptr);
        g_gameShown = true;
    }
    void TearDown() override {
        if (game_) {
            game_->DestroyWindow();
            delete game_;
        }
        if (CBrowserHandler* handler = CBrowserHandler::GetInstance()) {
            handler->CloseAllBrowsers(true);
        }
        PumpFor(300ms);
        if (owner_) DestroyWindow(owner_);
        Gdiplus::GdiplusShutdown(gdiplus_);
    }

    // The report a page sent, as "ratio=..&viewport=.." (empty when none came).
    std::string Report(const std::string& who) {
        std::string found;
        server_.WaitFor([&](const std::vector<std::string>& requests) {
            const std::string prefix = "GET /report?who=" + who + "&ratio=";
            for (const std::string& r : requests)
                if (r.starts_with(prefix)) found = r.substr(prefix.size() - 6);
            return !found.empty();
        });
        return found;
    }

    PageServerProcess server_{SourcePath("tests/browser/pages")};
    ULONG_PTR gdiplus_ = 0;
    HWND owner_ = nullptr;
    CGameDialog* game_ = nullptr;
};

TEST_F(KorvexDisplayScaleTest, TheLoginPageKeepsRatio1AndTheGamePageFollowsTheDisplay) {
    // The launcher's login browser, as the launcher makes it.
    const std::wstring login = korvex::Utf8ToWide(server_.Url("/scale-report.html?who=login"));
    std::wcsncpy(g_config.szLoginUrl, login.c_str(), korvex::kConfigTextMaxChars);
    owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 100, 100, 900, 600,
                             nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    CBrowserDlg host;
    ASSERT_TRUE(host.Create(IDD_BROWSER_HOST, CWnd::FromHandle(owner_)));
    host.ShowWindow(SW_SHOW);
    HWND login_view = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (login_view = BrowserWindowOf(host.m_hWnd)) != nullptr; }));
    EXPECT_EQ(Report("login"), "ratio=1&viewport=" + ExpectedViewport(login_view, 1));

    // The game window, as the hand-over makes it.
    game_ = new CGameDialog;
    std::wcscpy(game_->m_server, L"12");
    game_->m_gameUrl = korvex::Utf8ToWide(server_.Url("/scale-report.html?who=game"));
    ASSERT_TRUE(game_->Create(IDD_GAME, nullptr));
    game_->ShowWindow(SW_SHOW);
    HWND game_view = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (game_view = BrowserWindowOf(game_->m_hWnd)) != nullptr; }));
    // The report may come before the window has its final size: wait for the one that matches.
    std::string game;
    EXPECT_TRUE(PumpUntil([&] {
        game = Report("game");
        return game == "ratio=1.5&viewport=" + ExpectedViewport(game_view, 1.5);
    })) << game
        << " for a view of " << ExpectedViewport(game_view, 1);

    // The button lies at CSS 200..320 x 100..160: window pixels 300..480 x 150..240.
    PostMessageW(game_view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(450, 225));
    PostMessageW(game_view, WM_LBUTTONUP, 0, MAKELPARAM(450, 225));
    EXPECT_TRUE(server_.WaitFor([](const std::vector<std::string>& requests) {
        return std::find(requests.begin(), requests.end(), "GET /report?who=game&clicked=button") !=
               requests.end();
    }));
    host.DestroyWindow();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (const int code = korvex_test::RunAtDpi(kDpi, argc, argv); code >= 0) return code;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
