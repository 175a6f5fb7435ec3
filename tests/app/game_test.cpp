// The login hand-over and the game window of a real Korvex.exe: the game window opens on the
// accepted address, maximised, with the server line; the launcher and its page go out of sight;
// the notification-area icon, refresh and clear cache act on the game.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "korvex_process.h"
#include "linux_processes.h"
#include "message_box_finder.h"
#include "message_pump.h"
#include "page_server_process.h"

namespace {

using namespace korvex_test;
using namespace std::chrono_literals;

constexpr char kGameTarget[] = "/game.html?uid=1&token=ab&sid=12&isclient=1&acc=tom";

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// The game window: Korvex's top-level window titled "Torvane" that holds a browser.
HWND GameWindow(const KorvexProcess& korvex) {
    for (HWND w : ProcessWindows(korvex.pid(), false)) {
        if (WindowCaption(w) == L"Torvane" &&
            FindWindowExW(w, nullptr, L"CefBrowserWindow", nullptr) && w != korvex.Host())
            return w;
    }
    return nullptr;
}

class GameTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server_.running()); }

    // Korvex started on a login page that goes to the game address by itself.
    bool HandedOver(KorvexProcess& korvex, HWND& game) {
        if (!korvex.Start() || !korvex.WaitFor(&KorvexProcess::Launcher)) return false;
        return PumpUntil([&] { return (game = GameWindow(korvex)) != nullptr; }, 60s) &&
               server_.WaitFor([](const auto& r) {
                   return std::find(r.begin(), r.end(), std::string("GET ") + kGameTarget) !=
                          r.end();
               });
    }

    PageServerProcess server_{SourcePath("tests/game/pages")};
};

TEST_F(GameTest, TheAcceptedAddressOpensTheMaximisedGameWindowAndTheLauncherGoes) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const SysCtrlConfig config = DemoConfig(server_.Origin(), "/login.html");
    KorvexProcess korvex(&config);
    HWND game = nullptr;
    ASSERT_TRUE(HandedOver(korvex, game));
    HWND launcher = korvex.Launcher();
    ASSERT_NE(launcher, nullptr);
    EXPECT_FALSE(IsWindowVisible(launcher));
    EXPECT_FALSE(IsWindowVisible(korvex.Host()));
    // No taskbar button of its own any more: a tool window now.
    const LONG_PTR style = GetWindowLongPtrW(launcher, GWL_EXSTYLE);
    EXPECT_FALSE(style & WS_EX_APPWINDOW);
    EXPECT_TRUE(style & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(GetWindowLongPtrW(game, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    PumpFor(1000ms);
    const RECT r = WindowRect(game);
    std::fprintf(stderr, "game %ld,%ld,%ld,%ld zoomed %d work %ld,%ld,%ld,%ld\n", r.left, r.top,
                 r.right, r.bottom, IsZoomed(game), work.left, work.top, work.right, work.bottom);
    EXPECT_TRUE(IsWindowVisible(game));
    EXPECT_EQ(r.left, work.left);
    EXPECT_EQ(r.top, work.top);
    EXPECT_EQ(r.right, work.right);
    EXPECT_EQ(r.bottom, work.bottom);
    // The game address reached the server once, from the game browser only.
    EXPECT_EQ(server_.Count(kGameTarget), 1);
}

}  // namespace
