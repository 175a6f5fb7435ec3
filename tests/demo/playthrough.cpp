// The whole client played through as a player would, on the demo game site: the launcher with
// the login page, a hovered link button, a pop-up link, the login typed and sent, the game
// window, a little play, the game's notice and a purchase question answered in the page's
// dialogs, the boss key hiding and showing the game, and leaving with Yes. Every
// step is checked (windows, texts, what the site and the shell saw) and photographed.
//
//   korvex_playthrough [--screenshots DIR] [--wrong-login]
//
// DIR: a Windows path for the screenshots (none are written without it). --wrong-login plays
// a mistyped password instead: the message stays on the login page and no game opens.
// Exit code 0 when every step passed; otherwise 1, after the step that failed.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/environment.h"
#include "base/utf.h"
#include "file_text.h"
#include "korvex_process.h"
#include "linux_processes.h"
#include "message_box_finder.h"
#include "message_pump.h"
#include "page_server_process.h"
#include "real_input.h"
#include "screen_pixels.h"
#include "shell_recorder.h"

namespace {

using namespace korvex_test;
using namespace std::chrono_literals;

constexpr DWORD kBossKey = 0x065A;  // Ctrl+Alt+Z, as the boss-key dialog stores it

POINT Middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void Click(POINT at) {
    MoveMouseTo(at);
    PumpFor(150ms);
    LeftButton(true);
    PumpFor(60ms);
    LeftButton(false);
}

// Text typed key by key, as the keyboard gives it.
void Type(const std::string& text) {
    for (char c : text) {
        const SHORT key = VkKeyScanW(wchar_t(c));
        if (HIBYTE(key) & 1) {
            PressKeys({VK_SHIFT, WORD(LOBYTE(key))});
        } else {
            PressKeys({WORD(LOBYTE(key))});
        }
        PumpFor(30ms);
    }
}

class PlayThrough {
  public:
    explicit PlayThrough(std::wstring screenshots) : screenshots_(std::move(screenshots)) {}

    int Run(bool wrong_login) {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&gdiplus_, &input, nullptr);
        const bool passed = wrong_login ? WrongLogin() : Whole();
        korvex_.reset();  // ends Korvex if a step left it running
        server_.reset();
        Gdiplus::GdiplusShutdown(gdiplus_);
        return passed ? 0 : 1;
    }

  private:
    // A step: what it is called, and whether it held. Photographed either way.
    bool Step(const std::string& name, const std::function<std::string()>& check) {
        ++step_;
        const std::string failure = check();
        char number[8];
        std::snprintf(number, sizeof number, "%02d", step_);
        std::string shot;
        if (!screenshots_.empty()) {
            const std::wstring path = screenshots_ + L"\\" +
                                      korvex::Utf8ToWide(std::string(number) + "-" + name + ".png");
            if (SavePng(CaptureScreen(
                            {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}),
                        path))
                shot = " (" + korvex::WideToUtf8(path) + ")";
        }
        if (!failure.empty()) {
            std::printf("step %s %s: FAILED: %s%s\n", number, name.c_str(), failure.c_str(),
                        shot.c_str());
            PrintTrace();
        } else {
            std::printf("step %s %s: ok%s\n", number, name.c_str(), shot.c_str());
        }
        std::fflush(stdout);
        return failure.empty();
    }

    // Korvex's and its browser library's own trace, kept beside it, shown when a step fails.
    std::wstring Trace() const { return korvex_->folder() + L"\\trace.txt"; }
    void PrintTrace() const {
        if (!korvex_) return;
        const std::string trace = ReadFileText(Trace());
        if (trace.empty()) return;
        std::printf("Korvex's trace:\n%s", trace.c_str());
        std::fflush(stdout);
    }

    bool Saw(const std::string& target_start, std::chrono::milliseconds limit = 60s) {
        return server_->WaitFor(
            [&](const std::vector<std::string>& r) {
                for (const auto& x : r)
                    if (x.rfind(target_start, 0) == 0) return true;
                return false;
            },
            limit);
    }

    // Korvex laid out with the demo's configuration (sysctrl encode of demo/sysctrl.json with the
    // port the demo server got) and the boss key stored, then started.
    std::string StartKorvex() {
        server_ = std::make_unique<PageServerProcess>(
            "demo_server", std::vector<std::string>{"--site", SourcePath("demo/site")});
        if (!server_->running()) return "the demo server did not start (is the host build there?)";
        korvex_ = std::make_unique<KorvexProcess>(nullptr);
        const std::string folder = UnixPath(korvex_->folder());
        const std::string tools =
            korvex::WideToUtf8(korvex::GetEnv(L"KORVEX_HOST_BIN_DIR").value_or(L""));
        RunShell("sed 's/127.0.0.1:47110/127.0.0.1:" + std::to_string(server_->port()) + "/g' '" +
                 SourcePath("demo/sysctrl.json") + "' > '" + folder + "/sysctrl.json' && '" +
                 tools + "/sysctrl' encode '" + folder + "/sysctrl.json' '" + folder +
                 "/sysctrl.dat'");
        if (GetFileAttributesW((korvex_->folder() + L"\\sysctrl.dat").c_str()) ==
            INVALID_FILE_ATTRIBUTES)
            return "sysctrl encode made no sysctrl.dat";
        const DWORD key = kBossKey;
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\VelkMicroClient2", L"hotkey", REG_DWORD,
                        &key, sizeof key);
        if (!korvex_->Start({L"KORVEX_LOG=1", L"KORVEX_CEF_LOG=1"}, Trace()))
            return "Korvex.exe did not start";
        if (!korvex_->WaitFor(&KorvexProcess::Launcher)) return "no launcher";
        if (!Saw("GET /login.html")) return "the login page was never asked for";
        if (!PumpUntil([&] { return korvex_->Host() && IsWindowVisible(korvex_->Host()); }))
            return "the page is not shown";
        if (!PumpUntil([&] { return PanelShowsThePage(); }, 30s))
            return "the login page was never painted";
        return "";
    }

    // The login page's own colours at the middle of the panel, not the picture's red.
    bool PanelShowsThePage() {
        const Pixels page = CaptureScreen(WindowRect(korvex_->Host()));
        const std::uint32_t middle = Rgb(page.at(page.width / 2, page.height / 2));
        return !(Red(middle) > 200 && Green(middle) < 60);
    }

    // A dialog's button is drawn: most of it is the light face of a button, not what lay below.
    static bool ShowsItsFace(HWND button) {
        if (!button || !IsWindowVisible(button)) return false;
        const Pixels face = CaptureScreen(WindowRect(button));
        const auto light = std::count_if(face.argb.begin(), face.argb.end(), [](std::uint32_t p) {
            return Red(p) > 200 && Green(p) > 200 && Blue(p) > 200;
        });
        return !face.argb.empty() && light * 2 > std::ptrdiff_t(face.argb.size());
    }

    std::string LauncherShown() {
        HWND launcher = korvex_->Launcher();
        const RECT r = WindowRect(launcher);
        if (!IsWindowVisible(launcher)) return "the launcher is not visible";
        if (r.right - r.left != 1081 || r.bottom - r.top != 601)
            return "the launcher is not 1081 x 601";
        const RECT host = WindowRect(korvex_->Host());
        if (host.left - r.left != 400 || host.top - r.top != 170)
            return "the page is not over the panel";
        if (!PanelShowsThePage()) return "the panel shows no page";
        return "";
    }

    std::string Hover() {
        const RECT official = WindowRect(GetDlgItem(korvex_->Launcher(), 2001));
        const Pixels before = CaptureScreen(official);
        // The pointer comes from outside, as a player's does; on a loaded machine the button may
        // take a while to answer, so the move is made again (a pixel apart) until it has.
        MoveMouseTo({official.left - 30, official.top - 30});
        POINT middle = Middle(official);
        for (int attempt = 0; attempt < 6; ++attempt) {
            MoveMouseTo({middle.x + attempt % 2, middle.y});
            if (PumpUntil([&] { return CaptureScreen(official) != before; }, 5s)) return "";
        }
        return "the official-site button did not change its picture";
    }

    std::string Links() {
        Click(Middle(WindowRect(GetDlgItem(korvex_->Launcher(), 2001))));
        // The login page's pop-up link (beside its button) opens in the system's browser.
        const RECT host = WindowRect(korvex_->Host());
        Click({host.left + 360, host.top + 194});
        if (!recorder_.WaitForCount(2)) return "the shell was not asked to open two addresses";
        const auto opened = recorder_.Opened();
        if (opened[0] != server_->Url("/official.html"))
            return "the shell opened " + opened[0] + " for the official site";
        if (opened[1] != server_->Url("/register.html"))
            return "the shell opened " + opened[1] + " for the pop-up";
        if (GameWindow()) return "a pop-up became a window";
        return "";
    }

    std::string TypeLogin(const std::string& password) {
        const RECT host = WindowRect(korvex_->Host());
        Click({host.left + 190, host.top + 86});  // the account field
        PumpFor(300ms);
        Type("tom");
        PressKeys({VK_TAB});
        Type(password);
        PumpFor(500ms);
        return "";
    }

    HWND GameWindow() { return korvex_->Game(); }

    std::string Submitted() {
        PressKeys({VK_RETURN});
        if (!Saw("POST /api/login", 20s)) return "the login was not sent";
        if (!PumpUntil([&] { return (game_ = GameWindow()) != nullptr; }, 30s))
            return "no game window";
        if (!Saw("GET /game/index.html?uid=100012&token=")) return "the game was never asked for";
        if (!Saw("GET /api/event?what=started")) return "the game did not start";
        PumpFor(1500ms);
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        const RECT r = WindowRect(game_);
        if (!IsZoomed(game_) || r.left != work.left || r.top != work.top || r.right != work.right ||
            r.bottom != work.bottom)
            return "the game window (" + std::to_string(r.left) + "," + std::to_string(r.top) +
                   "," + std::to_string(r.right) + "," + std::to_string(r.bottom) +
                   (IsZoomed(game_) ? ", maximised" : "") + ") does not cover the work area (" +
                   std::to_string(work.left) + "," + std::to_string(work.top) + "," +
                   std::to_string(work.right) + "," + std::to_string(work.bottom) + ")";
        if (WindowCaption(GetDlgItem(game_, 1005)) != L"双线12区")
            return "the server line is wrong";
        if (IsWindowVisible(korvex_->Launcher()) || IsWindowVisible(korvex_->Host()))
            return "the launcher is still to be seen";
        int game_requests = 0;
        for (const auto& x : server_->Requests())
            game_requests += x.rfind("GET /game/index.html", 0) == 0;
        if (game_requests != 1)
            return "the game address was asked for " + std::to_string(game_requests) + " times";
        return "";
    }

    std::string Play() {
        const RECT r = WindowRect(game_);
        MoveMouseTo({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        for (int i = 0; i < 3; ++i) {
            Click({r.left + 400 + 300 * i, r.top + 500});
            PumpFor(400ms);
        }
        if (!Saw("GET /api/event?what=flare", 10s)) return "the game did not see the clicks";
        return "";
    }

    // A point of the game page's button bar (top right): 0 the purchase button, 1 the notice.
    POINT BarButton(int index) {
        const RECT page = WindowRect(FindWindowExW(game_, nullptr, L"CefBrowserWindow", nullptr));
        return {page.right - 46 - 70 * index, page.top + 31};
    }

    // The page's dialog, owned by the game window, with the page's text.
    std::string PageDialog(const std::wstring& text) {
        const std::wstring caption =
            korvex::Utf8ToWide(server_->Origin().substr(std::string("http://").size())) + L" 显示";
        if (!PumpUntil([&] {
                return (box_ = FindProcessDialog(korvex_->pid(), caption.c_str())) != nullptr;
            }))
            return "no dialog captioned " + korvex::WideToUtf8(caption);
        const MessageBoxSeen seen = ReadMessageBox(box_);
        if (seen.text != text) return "the dialog says " + korvex::WideToUtf8(seen.text);
        if (seen.owner != game_) return "the dialog is not the game window's";
        if (IsWindowEnabled(game_)) return "the game window takes input under its dialog";
        PumpFor(500ms);  // painted, for the picture
        return "";
    }

    std::string Notice() {
        Click(BarButton(1));
        return PageDialog(L"【公告】今晚22:00至23:00服务器维护，维护期间无法登录，请提前下线。");
    }

    std::string NoticeRead() {
        if (ReadMessageBox(box_).visibleButtons != std::vector<int>{IDOK})
            return "the notice offers more than OK";
        if (!PressButton(box_, IDOK)) return "no OK to press";
        if (!PumpUntil([&] { return !IsWindow(box_) && IsWindowEnabled(game_); }, 10s))
            return "the notice stays";
        return "";
    }

    std::string PurchaseQuestion() {
        Click(BarButton(0));
        return PageDialog(L"确定花费100元宝购买？");
    }

    std::string PurchaseMade() {
        if (WindowCaption(GetDlgItem(box_, IDOK)) != L"确定" ||
            WindowCaption(GetDlgItem(box_, IDCANCEL)) != L"取消")
            return "the buttons are not 确定 and 取消";
        if (!PressButton(box_, IDOK)) return "no OK to press";
        if (!Saw("GET /api/event?what=purchase&left=400", 10s)) return "nothing was bought";
        if (!PumpUntil([&] { return !IsWindow(box_) && IsWindowEnabled(game_); }, 10s))
            return "the question stays";
        return "";
    }

    std::string Restored() {
        Click(Middle(WindowRect(GetDlgItem(game_, 3005))));
        if (!PumpUntil([&] { return !IsZoomed(game_); }, 10s))
            return "the game window stays maximised";
        PumpFor(1000ms);
        return "";
    }

    std::string Maximised() {
        Click(Middle(WindowRect(GetDlgItem(game_, 3005))));
        if (!PumpUntil([&] { return IsZoomed(game_) != FALSE; }, 10s)) return "not maximised again";
        PumpFor(800ms);
        return "";
    }

    std::string BossKeyDialog() {
        Click(Middle(WindowRect(GetDlgItem(game_, 3008))));
        if (!PumpUntil([&] {
                return (box_ = FindProcessDialog(korvex_->pid(), L"设置老板键")) != nullptr;
            }))
            return "no boss-key dialog";
        if (!PumpUntil([&] { return ShowsItsFace(GetDlgItem(box_, IDOK)); }, 10s))
            return "the boss-key dialog is not drawn";
        // It shows the stored key.
        HWND control = FindWindowExW(box_, nullptr, L"msctls_hotkey32", nullptr);
        if (!control || (SendMessageW(control, HKM_GETHOTKEY, 0, 0) & 0xFFFF) != kBossKey)
            return "the dialog does not show the stored key";
        return "";
    }

    std::string BossKeyDialogClosed() {
        PressKeys({VK_ESCAPE});
        if (!PumpUntil([&] { return !IsWindow(box_); }, 10s)) return "the dialog stays";
        return "";
    }

    std::string BossKey(bool shown_after) {
        Typist typist;
        PressKeys({VK_CONTROL, VK_MENU, 'Z'});
        if (!PumpUntil([&] { return (IsWindowVisible(game_) != FALSE) == shown_after; }, 10s))
            return shown_after ? "the boss key did not bring the game back"
                               : "the boss key did not hide the game";
        PumpFor(800ms);
        return "";
    }

    std::string ExitQuestion() {
        Click(Middle(WindowRect(GetDlgItem(game_, 3006))));
        if (!PumpUntil(
                [&] { return (box_ = FindProcessDialog(korvex_->pid(), L"提示")) != nullptr; }))
            return "no question";
        if (ReadMessageBox(box_).text != L"此操作将退出游戏，确定此次操作？")
            return "another question";
        // The question on the screen as the player reads it (its picture is the step's record).
        if (!PumpUntil([&] { return ShowsItsFace(GetDlgItem(box_, IDYES)); }, 10s))
            return "the question is not drawn";
        return "";
    }

    std::string Ended() {
        const auto engine = korvex_->EngineProcesses();
        if (!PressButton(box_, IDYES)) return "no Yes to press";
        if (!korvex_->WaitForExit(30s)) return "Korvex still runs";
        if (korvex_->exit_code() != 0)
            return "Korvex ended with " + std::to_string(korvex_->exit_code());
        if (!WaitUntilGone(engine, std::chrono::seconds(20))) return "the engine stayed behind";
        PumpFor(500ms);
        return "";
    }

    bool Whole() {
        return Step("launcher",
                    [&] {
                        const std::string started = StartKorvex();
                        return started.empty() ? LauncherShown() : started;
                    }) &&
               Step("hovered-button", [&] { return Hover(); }) &&
               Step("links-to-the-system-browser", [&] { return Links(); }) &&
               Step("login-typed", [&] { return TypeLogin("123456"); }) &&
               Step("game-window", [&] { return Submitted(); }) &&
               Step("playing", [&] { return Play(); }) &&
               Step("game-notice", [&] { return Notice(); }) &&
               Step("game-notice-read", [&] { return NoticeRead(); }) &&
               Step("purchase-question", [&] { return PurchaseQuestion(); }) &&
               Step("purchase-made", [&] { return PurchaseMade(); }) &&
               Step("game-window-restored", [&] { return Restored(); }) &&
               Step("game-window-maximised-again", [&] { return Maximised(); }) &&
               Step("boss-key-dialog", [&] { return BossKeyDialog(); }) &&
               Step("boss-key-dialog-cancelled", [&] { return BossKeyDialogClosed(); }) &&
               Step("boss-key-hides", [&] { return BossKey(false); }) &&
               Step("boss-key-shows", [&] { return BossKey(true); }) &&
               Step("exit-question", [&] { return ExitQuestion(); }) &&
               Step("ended", [&] { return Ended(); });
    }

    bool WrongLogin() {
        return Step("launcher", [&] { return StartKorvex(); }) &&
               Step("wrong-password-typed", [&] { return TypeLogin("111111"); }) &&
               Step("stays-on-the-login-page", [&] {
                   PressKeys({VK_RETURN});
                   if (!Saw("POST /api/login", 20s)) return std::string("the login was not sent");
                   PumpFor(3000ms);
                   if (GameWindow()) return std::string("a game window opened");
                   for (const auto& x : server_->Requests())
                       if (x.rfind("GET /game/", 0) == 0)
                           return std::string("the game was asked for");
                   if (!IsWindowVisible(korvex_->Host())) return std::string("the login page went");
                   return std::string();
               });
    }

    std::wstring screenshots_;
    ULONG_PTR gdiplus_ = 0;
    ShellRecorder recorder_;
    std::unique_ptr<PageServerProcess> server_;
    std::unique_ptr<KorvexProcess> korvex_;
    HWND game_ = nullptr;
    HWND box_ = nullptr;
    int step_ = 0;
};

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring screenshots;
    bool wrong_login = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        if (a == L"--screenshots" && i + 1 < argc) screenshots = argv[++i];
        if (a == L"--wrong-login") wrong_login = true;
    }
    LocalFree(argv);
    if (!screenshots.empty()) std::filesystem::create_directories(screenshots);
    return PlayThrough(screenshots).Run(wrong_login);
}
