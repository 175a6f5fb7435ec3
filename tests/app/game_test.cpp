// The login hand-over and the game window of a real Korvex.exe: the game window opens on the
// accepted address, maximised, with the server line; the launcher and its page go out of sight;
// the notification-area icon, refresh and clear cache act on the game.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "korvex_process.h"
#include "linux_processes.h"
#include "message_box_finder.h"
#include "message_pump.h"
#include "base/utf.h"
#include "page_server_process.h"
#include "real_input.h"
#include "screen_pixels.h"

namespace {

using namespace korvex_test;
using namespace std::chrono_literals;

constexpr char kGameTarget[] = "/game.html?uid=1&token=ab&sid=12&isclient=1&acc=tom";

bool Saw(const PageServerProcess& server, const std::string& target) {
    return server.WaitFor([&](const std::vector<std::string>& r) {
        return std::find(r.begin(), r.end(), "GET " + target) != r.end();
    });
}

class GameTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server_.running()); }

    // Korvex started on a login page that goes to the game address by itself.
    bool HandedOver(KorvexProcess& korvex, HWND& game, const std::string& target = kGameTarget) {
        if (!korvex.Start() || !korvex.WaitFor(&KorvexProcess::Launcher)) return false;
        return PumpUntil([&] { return (game = korvex.Game()) != nullptr; }, 60s) &&
               server_.WaitFor([&](const auto& r) {
                   return std::find(r.begin(), r.end(), "GET " + target) != r.end();
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
    // The launcher and its browser host go once the game window is up.
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(launcher); }, 5s));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(korvex.Host()); }, 5s));
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

// ---- the game window at work ----

constexpr wchar_t kBossKeyPath[] = L"Software\\VelkMicroClient2";

void StoreHotkey(DWORD type, const std::vector<BYTE>& data) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kBossKeyPath, L"hotkey", type, data.data(),
                    DWORD(data.size()));
}

std::vector<BYTE> Bytes(DWORD value) {
    const auto* p = reinterpret_cast<const BYTE*>(&value);
    return {p, p + 4};
}

DWORD StoredHotkey() {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kBossKeyPath, L"hotkey", RRF_RT_ANY, nullptr, &value,
                     &size) != ERROR_SUCCESS)
        return 0xFFFFFFFF;  // none stored
    return value;
}

// Whether some program holds this combination (this test could not register it).
bool HotkeyTaken(UINT modifiers, UINT key) {
    if (RegisterHotKey(nullptr, 0x7777, modifiers, key)) {
        UnregisterHotKey(nullptr, 0x7777);
        return false;
    }
    return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
}

class GameWindowTest : public GameTest {
  protected:
    // Korvex handed over to the game; the game page loaded.
    bool Playing(const std::string& login = "/login.html",
                 const std::string& target = kGameTarget) {
        config_ = DemoConfig(server_.Origin(), login);
        korvex_ = std::make_unique<KorvexProcess>(&config_);
        const int loads = server_.Count("/report?loaded=game&cookie=new") +
                          server_.Count("/report?loaded=game&cookie=kept");
        if (!HandedOver(*korvex_, game_, target)) return false;
        return server_.WaitFor([&](const auto&) {
            return server_.Count("/report?loaded=game&cookie=new") +
                       server_.Count("/report?loaded=game&cookie=kept") >
                   loads;
        });
    }

    RECT Control(int id) { return WindowRect(GetDlgItem(game_, id)); }
    POINT MiddleOf(int id) {
        const RECT r = Control(id);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void ClickOn(int id, bool right = false) {
        MoveMouseTo(MiddleOf(id));
        PumpFor(150ms);
        right ? RightButton(true) : LeftButton(true);
        PumpFor(50ms);
        right ? RightButton(false) : LeftButton(false);
    }
    HWND WaitForBox(const wchar_t* caption) {
        HWND box = nullptr;
        PumpUntil([&] { return (box = FindProcessDialog(korvex_->pid(), caption)) != nullptr; });
        return box;
    }
    bool Shown() { return IsWindowVisible(game_) != FALSE; }
    // Every button of the title strip shows its picture on the screen where it now stands (the
    // strip itself is black).
    void ExpectStripPainted() {
        for (int id = 3001; id <= 3009; ++id) {
            const Pixels shown = CaptureScreen(Control(id));
            const auto lit = std::count_if(shown.argb.begin(), shown.argb.end(),
                                           [](std::uint32_t p) { return Rgb(p) != 0; });
            EXPECT_GT(lit, 10) << "button " << id << " is not drawn";
        }
    }

    SysCtrlConfig config_{};
    std::unique_ptr<KorvexProcess> korvex_;
    HWND game_ = nullptr;
};

TEST_F(GameWindowTest, ShowsTheServerLineAndLaysItsStripOutForAnySize) {
    ASSERT_TRUE(Playing());
    EXPECT_EQ(WindowCaption(GetDlgItem(game_, 1005)), L"双线12区");
    for (bool maximised : {true, false}) {
        SCOPED_TRACE(maximised ? "maximised" : "restored");
        if (!maximised) {
            ClickOn(3005);  // restore
            ASSERT_TRUE(PumpUntil([&] { return !IsZoomed(game_); }, 10s));
        }
        PumpFor(500ms);
        RECT client{};
        GetClientRect(game_, &client);
        const int cx = client.right, cy = client.bottom;
        POINT origin{0, 0};
        ClientToScreen(game_, &origin);
        auto at = [&](int id) {
            const RECT r = Control(id);
            return POINT{r.left - origin.x, r.top - origin.y};
        };
        HWND browser = FindWindowExW(game_, nullptr, L"CefBrowserWindow", nullptr);
        ASSERT_TRUE(PumpUntil(
            [&] {
                const RECT r = WindowRect(browser);
                return r.left - origin.x == 4 && r.top - origin.y == 40 &&
                       r.right - r.left == cx - 8 && r.bottom - r.top == cy - 44;
            },
            5s))
            << "the browser is not at (4, 40, cx - 8, cy - 44)";
        const struct {
            int id, x, y;
        } places[] = {{3006, cx - 30, 2},   {3005, cx - 60, 2},   {3004, cx - 90, 2},
                      {3007, cx - 120, 2},  {3009, cx - 180, 20}, {3008, cx - 250, 20},
                      {3003, cx - 320, 20}, {3002, cx - 390, 20}, {3001, cx - 460, 20}};
        for (const auto& p : places) {
            EXPECT_EQ(at(p.id).x, p.x) << p.id;
            EXPECT_EQ(at(p.id).y, p.y) << p.id;
        }
        EXPECT_EQ(at(0xFFFF).x, 0);  // the logo stays where it was made
        EXPECT_EQ(at(0xFFFF).y, 0);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(game_, 0xFFFF)));
        ExpectStripPainted();
    }
    // A double click on the strip maximises again, and the moved buttons show at their places.
    MoveMouseTo({WindowRect(game_).left + 600, WindowRect(game_).top + 12});
    PumpFor(150ms);
    for (int i = 0; i < 2; ++i) {
        LeftButton(true);
        LeftButton(false);
    }
    EXPECT_TRUE(PumpUntil([&] { return IsZoomed(game_) != FALSE; }, 10s));
    MoveMouseTo({WindowRect(game_).left + 600, WindowRect(game_).top + 300});
    PumpFor(800ms);
    ExpectStripPainted();
}

TEST_F(GameWindowTest, KeysAndTheCloseRequestLeaveItOpenRightClicksActLikeLeftOnes) {
    ASSERT_TRUE(Playing());
    MoveMouseTo({WindowRect(game_).left + 600, WindowRect(game_).top + 12});
    LeftButton(true);
    LeftButton(false);
    PumpFor(300ms);
    PressKeys({VK_RETURN});
    PressKeys({VK_ESCAPE});
    PressKeys({VK_MENU, VK_F4});
    PostMessageW(game_, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpFor(1000ms);
    EXPECT_TRUE(korvex_->running());
    EXPECT_TRUE(Shown());

    ClickOn(3007, true);  // a right click on the hide button hides
    EXPECT_TRUE(PumpUntil([&] { return !Shown(); }, 10s));
    // A left press on the notification-area icon brings it back.
    PostMessageW(korvex_->Launcher(), 2024, 128, WM_LBUTTONDOWN);
    EXPECT_TRUE(PumpUntil([&] { return Shown(); }, 10s));
    // Other notifications do nothing.
    PostMessageW(korvex_->Launcher(), 2024, 128, WM_RBUTTONDOWN);
    PostMessageW(korvex_->Launcher(), 2024, 128, WM_LBUTTONUP);
    PumpFor(500ms);
    EXPECT_TRUE(Shown());
}

TEST_F(GameWindowTest, LeavingAsksFirstNoKeepsPlayingYesEndsKorvexAndItsEngine) {
    ASSERT_TRUE(Playing());
    ClickOn(3006);
    HWND box = WaitForBox(L"提示");
    ASSERT_TRUE(box);
    const MessageBoxSeen seen = ReadMessageBox(box);
    EXPECT_EQ(seen.text, L"此操作将退出游戏，确定此次操作？");
    EXPECT_EQ(seen.visibleButtons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(seen.owner, game_);
    ASSERT_TRUE(PressButton(box, IDNO));
    PumpFor(500ms);
    EXPECT_TRUE(korvex_->running());
    EXPECT_TRUE(Shown());

    const auto engine = korvex_->EngineProcesses();
    ClickOn(3006);
    box = WaitForBox(L"提示");
    ASSERT_TRUE(box);
    ASSERT_TRUE(PressButton(box, IDYES));
    ASSERT_TRUE(korvex_->WaitForExit(30s));
    EXPECT_EQ(korvex_->exit_code(), 0u);
    EXPECT_TRUE(WaitUntilGone(engine, std::chrono::seconds(20)));
}

TEST_F(GameWindowTest, RefreshReloadsAndClearingTheCacheKeepsTheLogin) {
    ASSERT_TRUE(Playing());
    const std::string game = "/game.html?uid=1&token=ab&sid=12&isclient=1&acc=tom";
    EXPECT_EQ(server_.Count("/cached.js"), 1);
    ClickOn(3001);
    ASSERT_TRUE(server_.WaitFor([&](const auto&) { return server_.Count(game) == 2; }));
    ASSERT_TRUE(server_.WaitFor(
        [&](const auto&) { return server_.Count("/report?loaded=game&cookie=kept") == 1; }));
    EXPECT_EQ(server_.Count("/cached.js"), 1) << "a fresh script came again without a clear";

    ClickOn(3009);
    HWND box = WaitForBox(korvex::Utf8ToWide("Korvex").c_str());
    ASSERT_TRUE(box);
    const MessageBoxSeen seen = ReadMessageBox(box);
    EXPECT_EQ(seen.text, L"已清空缓存");
    EXPECT_EQ(seen.visibleButtons, std::vector<int>{IDOK});
    EXPECT_EQ(seen.owner, game_);
    ASSERT_TRUE(PressButton(box, IDOK));
    ClickOn(3001);
    ASSERT_TRUE(server_.WaitFor([&](const auto&) { return server_.Count(game) == 3; }));
    EXPECT_TRUE(server_.WaitFor([&](const auto&) { return server_.Count("/cached.js") == 2; }))
        << "the cache was not emptied";
    EXPECT_TRUE(server_.WaitFor([&](const auto&) {
        return server_.Count("/report?loaded=game&cookie=kept") == 2;
    })) << "the login did not survive";
}

TEST_F(GameWindowTest, ALaterLoginAddressGoesAhead) {
    ASSERT_TRUE(Playing("/login-then.html", std::string(kGameTarget) + "&then=second"));
    EXPECT_TRUE(Saw(server_, "/second.html?uid=2&token=cd&sid=7&isclient=1&acc=ann"));
    EXPECT_TRUE(korvex_->running());
}

// ---- the boss key ----

TEST_F(GameWindowTest, NothingStoredNoBossKey) {
    RegDeleteKeyW(HKEY_CURRENT_USER, kBossKeyPath);
    ASSERT_TRUE(Playing());
    EXPECT_FALSE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'Z'));
}

TEST_F(GameWindowTest, TheStoredKeyIsRegisteredWhateverItsTypeAndTogglesTheGame) {
    struct Case {
        const char* what;
        DWORD type;
        DWORD value;
        UINT modifiers, key;
    };
    const Case cases[] = {
        {"Ctrl+Alt+Z", REG_DWORD, 0x065A, MOD_CONTROL | MOD_ALT, 'Z'},
        {"as 4 bytes of another type", REG_BINARY, 0x065A, MOD_CONTROL | MOD_ALT, 'Z'},
        {"an arrow key: extended, registered without it", REG_DWORD, 0x0A25, MOD_CONTROL, VK_LEFT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StoreHotkey(c.type, Bytes(c.value));
        ASSERT_TRUE(Playing());
        EXPECT_TRUE(HotkeyTaken(c.modifiers, c.key));
        EXPECT_EQ(StoredHotkey(), c.value);  // kept as it was
        if (c.key == 'Z') {
            Typist typist;
            PressKeys({VK_CONTROL, VK_MENU, 'Z'});
            EXPECT_TRUE(PumpUntil([&] { return !Shown(); }, 10s));
            PressKeys({VK_CONTROL, VK_MENU, 'Z'});
            EXPECT_TRUE(PumpUntil([&] { return Shown(); }, 10s));
        }
        korvex_.reset();
        EXPECT_FALSE(HotkeyTaken(c.modifiers, c.key)) << "given up when Korvex ended";
    }
}

TEST_F(GameWindowTest, TheBossKeyDialogStoresAndRegistersTheChoiceClearingGivesItUp) {
    RegDeleteKeyW(HKEY_CURRENT_USER, kBossKeyPath);
    ASSERT_TRUE(Playing());
    auto choose = [&](std::initializer_list<WORD> keys, bool confirm) {
        ClickOn(3008);
        HWND dialog = WaitForBox(L"设置老板键");
        if (!dialog) return false;
        PumpFor(300ms);
        PressKeys({VK_TAB});  // from the OK button to the hotkey control
        PumpFor(200ms);
        PressKeys(keys);
        PumpFor(300ms);
        if (confirm) {
            PressButton(dialog, IDOK);
        } else {
            PressKeys({VK_ESCAPE});
        }
        return PumpUntil([&] { return !IsWindow(dialog); }, 10s);
    };
    ASSERT_TRUE(choose({VK_CONTROL, VK_MENU, 'Z'}, true));
    EXPECT_EQ(StoredHotkey(), 0x065Au);
    EXPECT_TRUE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'Z'));

    ASSERT_TRUE(choose({VK_CONTROL, VK_SHIFT, 'Q'}, false));  // cancelled: nothing changes
    EXPECT_EQ(StoredHotkey(), 0x065Au);
    EXPECT_TRUE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'Z'));
    EXPECT_FALSE(HotkeyTaken(MOD_CONTROL | MOD_SHIFT, 'Q'));

    ASSERT_TRUE(choose({VK_BACK}, true));  // cleared: 0 stored, the key given up
    EXPECT_EQ(StoredHotkey(), 0u);
    EXPECT_FALSE(HotkeyTaken(MOD_CONTROL | MOD_ALT, 'Z'));
}

// The hide button and the notification-area icon share one state with the boss key.
TEST_F(GameWindowTest, TheHideButtonAndTheIconToggleTogether) {
    ASSERT_TRUE(Playing());
    ClickOn(3007);
    ASSERT_TRUE(PumpUntil([&] { return !Shown(); }, 10s));
    PostMessageW(korvex_->Launcher(), 2024, 128, WM_LBUTTONDOWN);
    ASSERT_TRUE(PumpUntil([&] { return Shown(); }, 10s));
    PostMessageW(korvex_->Launcher(), 2024, 128, WM_LBUTTONDOWN);
    ASSERT_TRUE(PumpUntil([&] { return !Shown(); }, 10s));
    PostMessageW(korvex_->Launcher(), 2024, 128, WM_LBUTTONDOWN);
    ASSERT_TRUE(PumpUntil([&] { return Shown(); }, 10s));
}

}  // namespace
