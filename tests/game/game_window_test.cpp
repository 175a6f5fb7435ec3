// The game window in a test program of its own, against the real engine: maximising on any work
// area, the edge zones and their cursors, resize drags within the floors, moving by the strip,
// nothing laid out while minimised, no frames while nobody can see the game, and a still game
// screen shown exactly as the page draws it.
#include <winsock2.h>

#include <windows.h>

#include <objidl.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <thread>
#include <vector>

#include "base/utf.h"
#include "browser/browser_handler.h"
#include "browser_support.h"
#include "core/runtime_info.h"
#include "game/game_dialog.h"
#include "page_server_process.h"
#include "real_input.h"
#include "resources/resource.h"
#include "screen_pixels.h"

namespace {

using namespace korvex_test;
using namespace std::chrono_literals;

class GameWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(browser_test::EngineStarted());
        ASSERT_TRUE(server_.running());
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&gdiplus_, &input, nullptr);
        handler_ = new CBrowserHandler;
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work_area_, 0);
        g_gameShown = true;
    }
    void TearDown() override {
        if (game_) {
            game_->DestroyWindow();
            delete game_;
        }
        if (handler_) handler_->CloseAllBrowsers(true);  // none when SetUp stopped early
        PumpFor(300ms);
        handler_ = nullptr;
        Gdiplus::GdiplusShutdown(gdiplus_);
        SystemParametersInfoW(SPI_SETWORKAREA, 0, &work_area_, 0);
    }

    // The game window as the launcher makes it, on a page of tests/game/pages.
    HWND Open(const std::string& page) {
        game_ = new CGameDialog;
        std::wcscpy(game_->m_server, L"12");
        game_->m_gameUrl = korvex::Utf8ToWide(server_.Url(page));
        game_->Create(IDD_GAME, nullptr);
        game_->ShowWindow(SW_SHOW);
        PumpFor(300ms);
        return game_->m_hWnd;
    }
    HWND Browser() const {
        return FindWindowExW(game_->m_hWnd, nullptr, L"CefBrowserWindow", nullptr);
    }
    void Command(UINT id) { SendMessageW(game_->m_hWnd, WM_COMMAND, id, 0); }
    // Restored to a known place.
    void Restore(const RECT& to) {
        if (IsZoomed(game_->m_hWnd)) Command(3005);
        PumpFor(200ms);
        MoveWindow(game_->m_hWnd, to.left, to.top, to.right - to.left, to.bottom - to.top, TRUE);
        PumpFor(200ms);
    }

    PageServerProcess server_{SourcePath("tests/game/pages")};
    ULONG_PTR gdiplus_ = 0;
    CefRefPtr<CBrowserHandler> handler_;
    RECT work_area_{};
    CGameDialog* game_ = nullptr;
};

TEST_F(GameWindowTest, MaximisedItCoversExactlyTheWorkAreaWhereverTheTaskbarLies) {
    const RECT areas[] = {
        {0, 0, 1920, 1040}, {100, 0, 1920, 1080}, {0, 60, 1920, 1080}, {0, 0, 1800, 1080}};
    for (const RECT& area : areas) {
        SCOPED_TRACE(std::to_string(area.left) + "," + std::to_string(area.top) + "," +
                     std::to_string(area.right) + "," + std::to_string(area.bottom));
        RECT set = area;
        ASSERT_TRUE(SystemParametersInfoW(SPI_SETWORKAREA, 0, &set, 0));
        HWND game = Open("/game.html");
        ASSERT_TRUE(IsZoomed(game));
        const RECT r = WindowRect(game);
        EXPECT_EQ(r.left, area.left);
        EXPECT_EQ(r.top, area.top);
        EXPECT_EQ(r.right, area.right);
        EXPECT_EQ(r.bottom, area.bottom);
        Command(3005);  // restored, then maximised again: the work area again
        EXPECT_FALSE(IsZoomed(game));
        Command(3005);
        EXPECT_EQ(WindowRect(game).left, area.left);
        EXPECT_EQ(WindowRect(game).right, area.right);
        game_->DestroyWindow();
        delete game_;
        game_ = nullptr;
    }
}

TEST_F(GameWindowTest, EdgesShowSizingCursorsAndDragsKeepTheWindowAboveItsFloor) {
    HWND game = Open("/game.html");
    Restore({100, 100, 1300, 900});
    const RECT start = WindowRect(game);
    struct Spot {
        const char* what;
        POINT client;
        LPCWSTR cursor;
    };
    const int w = start.right - start.left, h = start.bottom - start.top;
    const Spot spots[] = {
        {"left", {2, 300}, IDC_SIZEWE},          {"right", {w - 2, 300}, IDC_SIZEWE},
        {"top", {300, 2}, IDC_SIZENS},           {"bottom", {300, h - 2}, IDC_SIZENS},
        {"top-left", {2, 2}, IDC_SIZENWSE},      {"bottom-right", {w - 2, h - 2}, IDC_SIZENWSE},
        {"top-right", {w - 2, 2}, IDC_SIZENESW}, {"bottom-left", {2, h - 2}, IDC_SIZENESW},
        {"strip", {600, 12}, IDC_ARROW},
    };
    for (const Spot& s : spots) {
        SCOPED_TRACE(s.what);
        MoveMouseTo({start.left + s.client.x, start.top + s.client.y});
        EXPECT_TRUE(PumpUntil([&] { return GetCursor() == LoadCursorW(nullptr, s.cursor); }, 3s));
    }

    // The left edge dragged far to the right: the window shrinks, then stops while it is still
    // wider than 970 pixels, and does not move any more.
    MoveMouseTo({start.left + 2, start.top + 300});
    PumpFor(100ms);
    LeftButton(true);
    PumpFor(100ms);
    for (int x = start.left + 2; x <= start.left + 400; x += 25) {
        MoveMouseTo({x, start.top + 300});
        PumpFor(30ms);
        const RECT now = WindowRect(game);
        EXPECT_GT(now.right - now.left, 970);
        EXPECT_EQ(now.right, start.right);  // the right edge stays
    }
    LeftButton(false);
    PumpFor(200ms);
    const RECT shrunk = WindowRect(game);
    EXPECT_LT(shrunk.right - shrunk.left, w);
    EXPECT_GE(shrunk.right - shrunk.left, 971);

    // The bottom-right corner dragged up and left: the floors hold both ways.
    MoveMouseTo({shrunk.right - 2, shrunk.bottom - 2});
    PumpFor(100ms);
    LeftButton(true);
    PumpFor(100ms);
    MoveMouseTo({shrunk.right - 600, shrunk.bottom - 600});
    PumpFor(200ms);
    LeftButton(false);
    PumpFor(200ms);
    const RECT corner = WindowRect(game);
    EXPECT_GT(corner.right - corner.left, 970);
    EXPECT_GT(corner.bottom - corner.top, 700);
    EXPECT_EQ(corner.left, shrunk.left);
    EXPECT_EQ(corner.top, shrunk.top);
}

TEST_F(GameWindowTest, APressOnTheStripMovesTheWindow) {
    HWND game = Open("/game.html");
    Restore({100, 100, 1300, 900});
    const RECT start = WindowRect(game);
    MoveMouseTo({start.left + 600, start.top + 12});
    PumpFor(150ms);
    // The press starts the system's move loop on this thread; the hand goes on moving from
    // another one, as a player's would.
    std::thread hand([&start] {
        LeftButton(true);
        for (int i = 1; i <= 8; ++i) {
            Sleep(60);
            MoveMouseTo({start.left + 600 + 10 * i, start.top + 12 + 5 * i});
        }
        Sleep(100);
        LeftButton(false);
    });
    const bool moved = PumpUntil([&] { return WindowRect(game).left == start.left + 80; }, 5s);
    hand.join();
    EXPECT_TRUE(moved);
    EXPECT_EQ(WindowRect(game).top, start.top + 40);
    EXPECT_EQ(WindowRect(game).right - WindowRect(game).left, start.right - start.left);
}

TEST_F(GameWindowTest, MinimisedNothingIsLaidOut) {
    HWND game = Open("/game.html");
    const RECT close = WindowRect(GetDlgItem(game, 3006));
    POINT origin{0, 0};
    ClientToScreen(game, &origin);
    const POINT before{close.left - origin.x, close.top - origin.y};
    Command(3004);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(game) != FALSE; }, 5s));
    PumpFor(300ms);
    RECT after = WindowRect(GetDlgItem(game, 3006));
    POINT iconic{0, 0};
    ClientToScreen(game, &iconic);
    EXPECT_EQ(after.left - iconic.x, before.x);
    EXPECT_EQ(after.top - iconic.y, before.y);
}

TEST_F(GameWindowTest, AGameNobodyCanSeeStreamsNoFramesAndComesBackWithAFreshOne) {
    HWND game = Open("/animated.html");
    HWND browser = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (browser = Browser()) != nullptr; }));
    auto frames = [&] { return cef_detail::FramesDeliveredTo(browser); };
    auto painted = [&] { return cef_detail::FramesPaintedIn(browser); };
    ASSERT_TRUE(PumpUntil([&] { return frames() > 10; }));

    struct Way {
        const char* what;
        UINT out, back;
    };
    for (const Way& way : {Way{"hidden", 3007, 3007}, Way{"minimised", 3004, 0}}) {
        SCOPED_TRACE(way.what);
        Command(way.out);
        // Frames on their way may still arrive: wait until none has come for half a second (a
        // stream that never stops fails below).
        long long seen = frames();
        auto quiet_from = std::chrono::steady_clock::now();
        PumpUntil(
            [&] {
                if (const long long now = frames(); now != seen) {
                    seen = now;
                    quiet_from = std::chrono::steady_clock::now();
                }
                return std::chrono::steady_clock::now() - quiet_from > 500ms;
            },
            10s);
        const long long stopped = frames();
        const long long stopped_painting = painted();
        PumpFor(1500ms);
        EXPECT_EQ(frames(), stopped) << "frames streamed while the game could not be seen";
        EXPECT_EQ(painted(), stopped_painting)
            << "pictures painted while the game could not be seen";
        if (way.back) {
            Command(way.back);
        } else {
            ShowWindow(game, SW_RESTORE);
        }
        EXPECT_TRUE(PumpUntil([&] { return frames() > stopped + 5; }, 10s));
    }
    EXPECT_TRUE(g_gameShown);
}

// The colour tests/game/pages/exact.html gives the pixel (x, y) of a window height pixels high,
// as 0x00RRGGBB; flipped: the page turned upside down.
std::uint32_t ExactColour(int x, int y, int height, bool flipped) {
    if (flipped) y = height - 1 - y;
    if (y % 4 == 0) return (x + y) % 2 ? 0xFF0000u : 0x0000FFu;
    return std::uint32_t(x & 255) << 16 | std::uint32_t(y & 255) << 8 |
           std::uint32_t((x ^ y) & 255);
}

TEST_F(GameWindowTest, AStillGameScreenEndsUpExactlyAsThePageDrawsItAgainAfterEachChange) {
    Open("/exact.html");
    HWND browser = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (browser = Browser()) != nullptr; }));
    auto lossless = [&] { return cef_detail::LosslessPicturesShownIn(browser); };
    // Pixels of the browser window that differ from the page's colours where none of the game
    // window's other controls lies over it, and where the first is.
    std::string first_wrong;
    auto covered = [&] {
        std::vector<RECT> rects;
        for (HWND child = GetWindow(browser, GW_HWNDFIRST); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (child == browser || !IsWindowVisible(child)) continue;
            RECT r = WindowRect(child);
            MapWindowPoints(nullptr, browser, reinterpret_cast<POINT*>(&r), 2);
            rects.push_back(r);
        }
        return rects;
    };
    auto wrong = [&](bool flipped) {
        const std::vector<RECT> others = covered();
        const Pixels shown = CaptureClient(browser);
        int count = 0;
        first_wrong.clear();
        for (int y = 0; y < shown.height; ++y) {
            for (int x = 0; x < shown.width; ++x) {
                const std::uint32_t want = ExactColour(x, y, shown.height, flipped);
                if (Rgb(shown.at(x, y)) == want) continue;
                const POINT at{x, y};
                if (std::any_of(others.begin(), others.end(),
                                [&](const RECT& r) { return PtInRect(&r, at); }))
                    continue;
                if (count++ == 0) {
                    char text[96];
                    std::snprintf(text, sizeof text, "first at %d,%d: %06X, not %06X", x, y,
                                  unsigned(Rgb(shown.at(x, y))), unsigned(want));
                    first_wrong = text;
                }
            }
        }
        return count;
    };
    for (const bool flipped : {false, true, false}) {
        SCOPED_TRACE(flipped ? "turned over by a press" : "upright");
        const long long before = lossless();
        const long long delivered = cef_detail::FramesDeliveredTo(browser);
        if (before > 0) {  // a press changes the page: the stream shows the change first
            PostMessageW(browser, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
            PostMessageW(browser, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
            ASSERT_TRUE(
                PumpUntil([&] { return cef_detail::FramesDeliveredTo(browser) > delivered; }));
        }
        ASSERT_TRUE(PumpUntil([&] { return lossless() > before; }, 20s))
            << "no lossless picture of the still page";
        int last = -1;
        EXPECT_TRUE(PumpUntil([&] { return (last = wrong(flipped)) == 0; }, 10s))
            << last << " pixels differ from the page, " << first_wrong;
    }
}

}  // namespace
