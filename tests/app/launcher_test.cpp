// The launcher of a real Korvex.exe, used as a player uses it: dragged by its picture, its link
// buttons, minimise and exit, and the notification-area icon it adds.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "korvex_process.h"
#include "base/utf.h"
#include "linux_processes.h"
#include "message_box_finder.h"
#include "message_pump.h"
#include "page_server_process.h"
#include "real_input.h"
#include "shell_recorder.h"

namespace {

using namespace korvex_test;
using namespace std::chrono_literals;

POINT Middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// A click with real input where the player would click.
void ClickAt(POINT screen) {
    MoveMouseTo(screen);
    PumpFor(100ms);
    LeftButton(true);
    PumpFor(50ms);
    LeftButton(false);
}

class LauncherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server_.running());
        config_ = DemoConfig(server_.Origin(), "/login.html");
    }

    // Korvex up, its login page loaded.
    bool Up(KorvexProcess& korvex) {
        const int loads = server_.Count("/report?loaded=login");
        return korvex.Start() && korvex.WaitFor(&KorvexProcess::Launcher) &&
               korvex.WaitFor(&KorvexProcess::Host) && server_.WaitFor([&](const auto&) {
                   return server_.Count("/report?loaded=login") > loads;
               }) &&
               PumpUntil([&] { return IsWindowVisible(korvex.Host()); });
    }

    RECT Button(const KorvexProcess& korvex, int id) {
        return WindowRect(GetDlgItem(korvex.Launcher(), id));
    }

    PageServerProcess server_{SourcePath("tests/app/pages")};
    SysCtrlConfig config_{};
};

TEST_F(LauncherTest, DraggingThePictureCarriesThePageAlongAtEveryStep) {
    KorvexProcess korvex(&config_);
    ASSERT_TRUE(Up(korvex));
    HWND launcher = korvex.Launcher();
    const RECT start = WindowRect(launcher);
    EXPECT_EQ(start.right - start.left, 1081);
    EXPECT_EQ(start.bottom - start.top, 601);
    // On the character's armour: opaque picture, no button, no page.
    const POINT grip{start.left + 240, start.top + 420};
    MoveMouseTo(grip);
    PumpFor(100ms);
    LeftButton(true);
    for (int step = 1; step <= 6; ++step) {
        SCOPED_TRACE(step);
        const POINT to{grip.x + 15 * step, grip.y + 8 * step};
        MoveMouseTo(to);
        ASSERT_TRUE(
            PumpUntil([&] { return WindowRect(launcher).left == start.left + 15 * step; }, 5s))
            << "the launcher did not follow the mouse: at " << WindowRect(launcher).left << ","
            << WindowRect(launcher).top << " from " << start.left << "," << start.top;
        EXPECT_EQ(WindowRect(launcher).top, start.top + 8 * step);
        const RECT now = WindowRect(launcher);
        ASSERT_TRUE(PumpUntil(
            [&] {
                const RECT host = WindowRect(korvex.Host());
                return host.left - now.left == config_.nBrowserLeft &&
                       host.top - now.top == config_.nBrowserTop;
            },
            2s))
            << "the page did not follow";
    }
    LeftButton(false);
    PumpFor(200ms);
    const RECT moved = WindowRect(launcher);

    // A press on a link button or inside the page moves nothing.
    ShellRecorder recorder;
    ClickAt(Middle(Button(korvex, 2001)));
    ASSERT_TRUE(recorder.WaitForCount(1));
    ClickAt(Middle(WindowRect(korvex.Host())));
    PumpFor(300ms);
    EXPECT_EQ(WindowRect(launcher).left, moved.left);
    EXPECT_EQ(WindowRect(launcher).top, moved.top);
}

TEST_F(LauncherTest, TheFourLinksOpenTheConfiguredAddressesInTheSystemBrowser) {
    ShellRecorder recorder;
    KorvexProcess korvex(&config_);
    ASSERT_TRUE(Up(korvex));
    for (int id : {2001, 2002, 2003, 2004}) ClickAt(Middle(Button(korvex, id)));
    ASSERT_TRUE(recorder.WaitForCount(4));
    EXPECT_EQ(recorder.Opened(), (std::vector<std::string>{
                                     server_.Url("/official.html"), server_.Url("/recharge.html"),
                                     server_.Url("/service.html"), server_.Url("/forum.html")}));
}

TEST_F(LauncherTest, EnterEscapeAndTheCloseRequestLeaveItOpenMinimiseTakesThePageAlong) {
    KorvexProcess korvex(&config_);
    ASSERT_TRUE(Up(korvex));
    HWND launcher = korvex.Launcher();
    EXPECT_EQ(WindowCaption(launcher), L"Torvane");
    for (WPARAM command : {WPARAM(IDOK), WPARAM(IDCANCEL)}) {
        PostMessageW(launcher, WM_COMMAND, command, 0);  // what Enter and Escape send
    }
    PostMessageW(launcher, WM_CLOSE, 0, 0);
    PumpFor(1000ms);
    EXPECT_TRUE(korvex.running());
    EXPECT_TRUE(IsWindowVisible(launcher));
    EXPECT_TRUE(IsWindowVisible(korvex.Host()));

    HWND host = korvex.Host();
    ClickAt(Middle(Button(korvex, 2005)));
    EXPECT_TRUE(PumpUntil([&] { return IsIconic(launcher) != FALSE; }, 10s));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(host); }, 10s));
    EXPECT_TRUE(korvex.running());
    // Restored as from the taskbar: the page is back over the panel.
    PostMessageW(launcher, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsIconic(launcher) && IsWindowVisible(host); }, 10s));
}

TEST_F(LauncherTest, ExitAsksFirstNoLeavesEverythingYesEndsKorvexAndItsEngine) {
    KorvexProcess korvex(&config_);
    ASSERT_TRUE(Up(korvex));
    HWND launcher = korvex.Launcher();
    const RECT exit = Button(korvex, 2006);

    ClickAt(Middle(exit));
    HWND box = nullptr;
    ASSERT_TRUE(
        PumpUntil([&] { return (box = FindProcessDialog(korvex.pid(), L"登录器")) != nullptr; }));
    const MessageBoxSeen seen = ReadMessageBox(box);
    EXPECT_EQ(seen.text, L"你确定要退出微端？");
    EXPECT_EQ(seen.visibleButtons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(seen.owner, launcher);
    ASSERT_TRUE(PressButton(box, IDNO));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(box); }));
    PumpFor(500ms);
    EXPECT_TRUE(korvex.running());
    EXPECT_TRUE(IsWindowVisible(korvex.Host()));

    const auto engine = korvex.EngineProcesses();
    ClickAt(Middle(exit));
    ASSERT_TRUE(
        PumpUntil([&] { return (box = FindProcessDialog(korvex.pid(), L"登录器")) != nullptr; }));
    ASSERT_TRUE(PressButton(box, IDYES));
    ASSERT_TRUE(korvex.WaitForExit(30s));
    EXPECT_EQ(korvex.exit_code(), 0u);
    EXPECT_TRUE(WaitUntilGone(engine, std::chrono::seconds(20)));
}

// ---- the notification area ----

// Stands in for the shell's notification area: the window the shell hands icon data to
// (WM_COPYDATA, Wine's own layout of NOTIFYICONDATA).
class TrayStandIn {
  public:
    struct Notice {
        DWORD message;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
        HWND window;
        UINT id, flags, callback;
        std::wstring tip;
    };

    TrayStandIn() {
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &TrayStandIn::Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"Shell_TrayWnd";
            return RegisterClassW(&wc);
        }();
        (void)atom;
        window_ = CreateWindowExW(0, L"Shell_TrayWnd", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~TrayStandIn() { DestroyWindow(window_); }
    HWND window() const { return window_; }
    std::vector<Notice> Notices() {
        std::lock_guard lock(mutex_);
        return notices_;
    }

  private:
    // What the shell sends (the head of the notice; the icon's bits follow it).
    struct NotifyData {
        LONG hWnd;
        UINT uID;
        UINT uFlags;
        UINT uCallbackMessage;
        WCHAR szTip[128];
    };

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<TrayStandIn*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_COPYDATA && self) {
            const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lp);
            if (copy->cbData >= sizeof(NotifyData)) {
                NotifyData data;
                std::memcpy(&data, copy->lpData, sizeof data);
                std::lock_guard lock(self->mutex_);
                self->notices_.push_back({DWORD(copy->dwData),
                                          reinterpret_cast<HWND>(LONG_PTR(data.hWnd)), data.uID,
                                          data.uFlags, data.uCallbackMessage,
                                          std::wstring(data.szTip, wcsnlen(data.szTip, 128))});
            }
            return TRUE;
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }

    HWND window_ = nullptr;
    std::mutex mutex_;
    std::vector<Notice> notices_;
};

TEST_F(LauncherTest, AddsItsIconWithTheTipCutAtTheFirstDotAndRemovesItAtTheEnd) {
    TrayStandIn tray;
    ASSERT_EQ(FindWindowW(L"Shell_TrayWnd", nullptr), tray.window())
        << "another notification area would be found first";
    struct Case {
        const wchar_t* exe;
        const wchar_t* tip;
    };
    for (const Case& c : {Case{L"Korvex.exe", L"Korvex"}, Case{L"a.b.exe", L"a"}}) {
        SCOPED_TRACE(korvex::WideToUtf8(c.exe));
        const std::size_t before = tray.Notices().size();
        KorvexProcess korvex(&config_, c.exe);
        ASSERT_TRUE(Up(korvex));
        ASSERT_TRUE(PumpUntil([&] { return tray.Notices().size() > before; }));
        const auto added = tray.Notices()[before];
        EXPECT_EQ(added.message, DWORD(NIM_ADD));
        EXPECT_EQ(added.window, korvex.Launcher());
        EXPECT_EQ(added.id, 128u);
        EXPECT_EQ(added.flags, UINT(NIF_MESSAGE | NIF_ICON | NIF_TIP));
        EXPECT_EQ(added.callback, 2024u);
        EXPECT_EQ(added.tip, c.tip);

        // A left press on the icon before any login: nothing to hide or show.
        PostMessageW(korvex.Launcher(), 2024, 128, WM_LBUTTONDOWN);
        PumpFor(500ms);
        EXPECT_TRUE(IsWindowVisible(korvex.Launcher()));
        EXPECT_TRUE(IsWindowVisible(korvex.Host()));

        PostMessageW(korvex.Launcher(), WM_QUIT, 0, 0);
        ASSERT_TRUE(korvex.WaitForExit(30s));
        ASSERT_TRUE(PumpUntil([&] {
            const auto n = tray.Notices();
            return std::any_of(
                n.begin() + std::ptrdiff_t(before), n.end(),
                [](const TrayStandIn::Notice& x) { return x.message == NIM_DELETE; });
        }));
    }
}

}  // namespace
