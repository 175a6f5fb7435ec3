// Korvex keeps working through what happens on players' machines, with the real engine and
// real processes killed: a second copy from the same folder, the game page's renderer killed
// (once, then again within a minute), and the engine's main process killed.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "korvex_process.h"
#include "linux_processes.h"
#include "message_box_finder.h"
#include "message_pump.h"
#include "page_server_process.h"
#include "real_input.h"
#include "screen_pixels.h"

namespace {

using namespace korvex_test;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr char kGameTarget[] = "/recovery-game.html?uid=1&token=ab&sid=12&isclient=1&acc=tom";
// The colours recovery-game.html shows in turn.
constexpr std::uint32_t kGreen = 0x00A03C;
constexpr std::uint32_t kBlue = 0x003CC8;
constexpr std::uint32_t kWhite = 0xFFFFFF;  // Korvex's error page

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The middle of the window shows colour on the screen (JPEG frames: nearly).
bool Shows(HWND window, std::uint32_t colour) {
    const RECT r = WindowRect(window);
    const LONG x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    const Pixels seen = CaptureScreen({x - 10, y - 10, x + 10, y + 10});
    auto close_to = [](unsigned a, unsigned b) { return (a > b ? a - b : b - a) <= 16; };
    return !seen.argb.empty() &&
           std::all_of(seen.argb.begin(), seen.argb.end(), [&](std::uint32_t p) {
               return close_to(Red(p), Red(colour)) && close_to(Green(p), Green(colour)) &&
                      close_to(Blue(p), Blue(colour));
           });
}

// The window shows green and blue in turn: the page's frames keep coming.
bool Animates(HWND window, std::chrono::milliseconds limit = 30s) {
    bool green = false, blue = false;
    return PumpUntil(
        [&] {
            green = green || Shows(window, kGreen);
            blue = blue || Shows(window, kBlue);
            return green && blue;
        },
        limit);
}

HWND BrowserWindowIn(HWND parent) {
    return parent ? FindWindowExW(parent, nullptr, L"CefBrowserWindow", nullptr) : nullptr;
}

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class RecoveryTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server_.running()) << "no page server (host build?)"; }

    bool Requested(const std::string& target, int times, std::chrono::milliseconds limit = 60s) {
        return server_.WaitFor([&](const auto&) { return server_.Count(target) >= times; }, limit);
    }

    // Korvex logged in by itself; the game window shows the page's first load.
    bool Playing() {
        config_ = DemoConfig(server_.Origin(), "/recovery-login.html");
        korvex_ = std::make_unique<KorvexProcess>(&config_);
        // Korvex's trace stays in the run's folder (KORVEX_KEEP_WINE_RUN=1 keeps it).
        if (!korvex_->Start({L"KORVEX_CEF_LOG=1"}, RunDir() + L"\\korvex-trace.txt")) return false;
        if (!PumpUntil([&] { return (game_ = korvex_->Game()) != nullptr; }, 60s)) return false;
        browser_ = BrowserWindowIn(game_);
        return Requested("/report?loaded=game", 1) && Animates(browser_);
    }

    void Click(int id) {
        const RECT r = WindowRect(GetDlgItem(game_, id));
        MoveMouseTo({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        PumpFor(150ms);
        LeftButton(true);
        PumpFor(50ms);
        LeftButton(false);
    }

    PageServerProcess server_{SourcePath("tests/app/pages")};
    SysCtrlConfig config_{};
    std::unique_ptr<KorvexProcess> korvex_;
    HWND game_ = nullptr;
    HWND browser_ = nullptr;
};

// ---- copies ----

TEST_F(RecoveryTest, TwoCopiesFromOneFolderShowTwoLoginPagesWithProfilesOfTheirOwn) {
    const SysCtrlConfig config = DemoConfig(server_.Origin(), "/login.html");
    KorvexProcess first(&config);
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(Requested("/report?loaded=login", 1));

    KorvexProcess second(KorvexProcess::SameFolderAs{first});
    second.ExpectProfile(L"cache-2");
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(Requested("/report?loaded=login", 2)) << "the second copy shows no login page";
    HWND host = second.WaitFor(&KorvexProcess::Host);
    ASSERT_TRUE(host);
    EXPECT_TRUE(IsWindowVisible(host));
    // Each engine on a profile of its own: "cache" and "cache-2" beside the one executable.
    const unsigned long first_engine = first.EnginePid();
    const unsigned long second_engine = second.EnginePid();
    EXPECT_NE(first_engine, 0ul);
    EXPECT_NE(second_engine, 0ul);
    EXPECT_NE(first_engine, second_engine);
    EXPECT_TRUE(Exists(second.CacheFolder()));

    // The first copy ends as a crash ends it; its folder is free again, and a third copy takes
    // it while the second plays on.
    const auto first_processes = first.EngineProcesses();
    first.Kill();
    ASSERT_TRUE(WaitUntilGone(first_processes, 20s));
    KorvexProcess third(KorvexProcess::SameFolderAs{first});
    ASSERT_TRUE(third.Start());
    ASSERT_TRUE(Requested("/report?loaded=login", 3)) << "the third copy shows no login page";
    EXPECT_NE(third.EnginePid(), 0ul) << "the third copy's engine is not on \"cache\"";
    EXPECT_TRUE(second.running());
    EXPECT_TRUE(IsRunning(second_engine));
}

// ---- the game page's renderer ----

TEST_F(RecoveryTest, AKilledRendererLoadsTheGameAgainThenEndsOnTheErrorPageUntilRefreshed) {
    ASSERT_TRUE(Playing());
    const unsigned long engine = korvex_->EnginePid();
    ASSERT_NE(engine, 0ul);

    auto kill_renderers = [&] {
        const auto renderers = TreeProcessesWith(engine, "--type=renderer");
        ASSERT_FALSE(renderers.empty());
        KillAll(renderers);
    };
    const Clock::time_point killed = Clock::now();
    kill_renderers();
    // Asked for again, and painted.
    ASSERT_TRUE(Requested(kGameTarget, 2)) << "the game address was not asked for again";
    ASSERT_TRUE(Requested("/report?loaded=game", 2));
    ASSERT_TRUE(Animates(browser_)) << "no new frames";
    std::fprintf(stderr, "renderer killed -> game view painting again: %lld ms\n", MsSince(killed));
    // The page came back in the same engine: only its renderer ended.
    ASSERT_TRUE(IsRunning(engine)) << "the engine ended with its renderers";

    // Again within the minute: not loaded again, the error page instead.
    kill_renderers();
    ASSERT_TRUE(PumpUntil([&] { return Shows(browser_, kWhite); }, 30s)) << "no error page";
    EXPECT_EQ(server_.Count(kGameTarget), 2);

    // The refresh button brings the game back.
    Click(3001);
    ASSERT_TRUE(Requested(kGameTarget, 3)) << "refresh did not ask for the game address";
    EXPECT_TRUE(Animates(browser_)) << "no new frames";
    EXPECT_EQ(korvex_->Game(), game_);
    EXPECT_TRUE(IsRunning(engine));
}

// ---- the engine ----

constexpr wchar_t kBossKeyPath[] = L"Software\\VelkMicroClient2";
constexpr DWORD kCtrlAltZ = 0x065A;

TEST_F(RecoveryTest, AKilledEngineIsStartedAgainAndTheGameComesBackInItsWindowShownOrHidden) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kBossKeyPath, L"hotkey", REG_DWORD, &kCtrlAltZ,
                    sizeof kCtrlAltZ);
    ASSERT_TRUE(Playing());
    auto shown = [&] { return IsWindowVisible(game_) != FALSE; };
    auto boss_key = [&](bool show) {
        Typist typist;
        PressKeys({VK_CONTROL, VK_MENU, 'Z'});
        return PumpUntil([&] { return shown() == show; }, 10s);
    };
    // Kills the engine's main process; true once another one runs.
    auto kill_engine = [&] {
        const unsigned long engine = korvex_->EnginePid();
        korvex_->EngineProcesses();  // remembered, to be seen gone at the end
        if (engine == 0) return false;
        KillAll({engine});
        return PumpUntil(
            [&] {
                const unsigned long next = korvex_->EnginePid();
                return next != 0 && next != engine;
            },
            60s);
    };
    // The game view stops on one of its colours once the engine is gone; the time until it
    // shows the other one again is the time until its new page paints (give or take the
    // page's quarter of a second).
    auto frozen = [&] { return Shows(browser_, kGreen) ? kGreen : kBlue; };

    // Shown: the game comes back in the same window and paints.
    int asked = server_.Count(kGameTarget);
    const Clock::time_point killed = Clock::now();
    ASSERT_TRUE(kill_engine()) << "no new engine";
    const std::uint32_t stopped_on = frozen();
    ASSERT_TRUE(Requested(kGameTarget, asked + 1)) << "the game page did not come back";
    const std::uint32_t other = stopped_on == kGreen ? kBlue : kGreen;
    ASSERT_TRUE(PumpUntil([&] { return Shows(browser_, other); }, 30s)) << "no new frames";
    std::fprintf(stderr, "engine killed -> game view painting again: %lld ms\n", MsSince(killed));
    EXPECT_TRUE(Animates(browser_));
    EXPECT_EQ(korvex_->Game(), game_);
    EXPECT_EQ(BrowserWindowIn(game_), browser_);

    // Hidden by the boss key: it comes back hidden, and shows its new page when shown.
    ASSERT_TRUE(boss_key(false));
    asked = server_.Count(kGameTarget);
    ASSERT_TRUE(kill_engine()) << "no new engine the second time";
    ASSERT_TRUE(Requested(kGameTarget, asked + 1)) << "the game page did not come back";
    PumpFor(500ms);
    EXPECT_FALSE(shown());
    ASSERT_TRUE(boss_key(true));
    EXPECT_TRUE(Animates(browser_)) << "no new frames";

    // Leaving still works, and every engine of the run is gone with Korvex.
    const auto engines = korvex_->EngineProcesses();
    Click(3006);
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] { return (box = FindProcessDialog(korvex_->pid(), L"提示")) != nullptr; }, 30s));
    ASSERT_TRUE(PressButton(box, IDYES));
    ASSERT_TRUE(korvex_->WaitForExit(30s));
    EXPECT_EQ(korvex_->exit_code(), 0u);
    EXPECT_TRUE(WaitUntilGone(engines, 20s));
}

}  // namespace
