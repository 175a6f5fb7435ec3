// Korvex.exe itself, started as a player starts it, beside a sysctrl.dat: it appears with the
// login page, keeps its engine's profile beside itself, takes the login address once, and ends
// cleanly or silently however it ends.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "korvex_process.h"
#include "linux_processes.h"
#include "message_pump.h"
#include "page_server_process.h"

namespace {

using namespace korvex_test;
using namespace std::chrono_literals;

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Saw(const PageServerProcess& server, const std::string& target,
         std::chrono::milliseconds limit = 60s) {
    return server.WaitFor(
        [&](const std::vector<std::string>& r) {
            return std::find(r.begin(), r.end(), "GET " + target) != r.end();
        },
        limit);
}

bool SawStarting(const std::vector<std::string>& requests, const std::string& start) {
    return std::any_of(requests.begin(), requests.end(),
                       [&](const std::string& r) { return r.rfind("GET " + start, 0) == 0; });
}

// The first top-level window owned by `owner`.
HWND OwnedWindow(HWND owner) {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        if (GetWindow(w, GW_OWNER) == owner) return w;
    return nullptr;
}

// Ends Korvex the way its own exit does: WM_QUIT reaches the launcher's modal loop.
void Quit(const KorvexProcess& korvex) { PostMessageW(korvex.Launcher(), WM_QUIT, 0, 0); }

class KorvexTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server_.running()) << "no page server (host build?)"; }

    SysCtrlConfig Config(const std::string& login_path) {
        return DemoConfig(server_.Origin(), login_path);
    }

    PageServerProcess server_{SourcePath("tests/app/pages")};
};

TEST_F(KorvexTest, AppearsWithTheLoginPageAndKeepsItsEngineProfileBesideItself) {
    const SysCtrlConfig config = Config("/login.html");
    KorvexProcess korvex(&config);
    ASSERT_FALSE(Exists(korvex.CacheFolder()));
    ASSERT_TRUE(korvex.Start());
    ASSERT_TRUE(korvex.WaitFor(&KorvexProcess::Launcher));
    ASSERT_TRUE(Saw(server_, "/report?loaded=login"));
    HWND host = korvex.WaitFor(&KorvexProcess::Host);
    ASSERT_TRUE(host);
    EXPECT_TRUE(IsWindowVisible(host));
    EXPECT_TRUE(IsWindowVisible(korvex.HostBrowser()));
    // The host lies over the configured web-view place of the launcher.
    RECT launcher{}, placed{};
    GetWindowRect(korvex.Launcher(), &launcher);
    GetWindowRect(host, &placed);
    EXPECT_EQ(placed.left - launcher.left, config.nBrowserLeft);
    EXPECT_EQ(placed.top - launcher.top, config.nBrowserTop);
    EXPECT_EQ(placed.right - placed.left, config.nBrowserWidth);
    EXPECT_EQ(placed.bottom - placed.top, config.nBrowserHeight);

    // The engine's profile is the cache folder beside the executable, and its command line
    // carries Korvex's four entries in order.
    EXPECT_TRUE(Exists(korvex.CacheFolder()));
    const unsigned long engine = korvex.EnginePid();
    ASSERT_NE(engine, 0ul);
    const auto args = CommandLine(engine);
    std::size_t at = 0;
    for (const std::string expected : {"--ignore-certificate-errors", "--ignore-ssl-errors",
                                       "--ppapi-flash-path=pepperflash/pepflashplayer.dll",
                                       "--ppapi-flash-version=23.0.0.162"}) {
        auto it = std::find(args.begin() + std::ptrdiff_t(at), args.end(), expected);
        ASSERT_NE(it, args.end()) << expected << " missing or out of order";
        at = std::size_t(it - args.begin()) + 1;
    }
    EXPECT_NE(
        std::find(args.begin(), args.end(), "--user-data-dir=" + UnixPath(korvex.CacheFolder())),
        args.end());

    // Ended through its modal loop: a normal exit, and the engine goes with it.
    const auto engine_processes = korvex.EngineProcesses();
    Quit(korvex);
    ASSERT_TRUE(korvex.WaitForExit(30s));
    EXPECT_EQ(korvex.exit_code(), 0u);
    EXPECT_TRUE(WaitUntilGone(engine_processes, std::chrono::seconds(20)));

    // A second start finds the profile the first one left and uses it again.
    ASSERT_TRUE(Exists(korvex.CacheFolder() + L"\\Local State"));
    const int loads = server_.Count("/report?loaded=login");
    ASSERT_TRUE(korvex.Start());
    ASSERT_TRUE(server_.WaitFor(
        [&](const auto&) { return server_.Count("/report?loaded=login") > loads; }));
    EXPECT_NE(
        std::find(CommandLine(korvex.EnginePid()).begin(), CommandLine(korvex.EnginePid()).end(),
                  "--user-data-dir=" + UnixPath(korvex.CacheFolder())),
        CommandLine(korvex.EnginePid()).end());
}

// A machine without a Chromium-family browser: the launcher still opens, nothing is asked of the
// site, and the player can leave as usual.
TEST_F(KorvexTest, WithoutABrowserEngineTheLauncherOpensAndEndsNormally) {
    const SysCtrlConfig config = Config("/login.html");
    KorvexProcess korvex(&config);
    ASSERT_TRUE(korvex.Start({L"KORVEX_BROWSER_ENGINE=/nonexistent/chromium"}));
    HWND launcher = korvex.WaitFor(&KorvexProcess::Launcher);
    ASSERT_TRUE(launcher);
    // The browser host is there, over the page's place, with no browser in it.
    HWND host = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (host = OwnedWindow(launcher)) != nullptr; }, 30s));
    PumpFor(2s);
    EXPECT_TRUE(IsWindowVisible(host));
    EXPECT_EQ(FindWindowExW(host, nullptr, L"CefBrowserWindow", nullptr), nullptr);
    EXPECT_TRUE(korvex.running());
    EXPECT_EQ(korvex.EnginePid(), 0ul);
    EXPECT_TRUE(server_.Requests().empty());
    Quit(korvex);
    ASSERT_TRUE(korvex.WaitForExit(30s));
    EXPECT_EQ(korvex.exit_code(), 0u);
}

TEST(KorvexSecure, ALoginPageWithASelfSignedCertificateLoads) {
    PageServerProcess server(SourcePath("tests/app/pages"), true);
    ASSERT_TRUE(server.running());
    const SysCtrlConfig config = DemoConfig(server.Origin(), "/login.html");
    KorvexProcess korvex(&config);
    ASSERT_TRUE(korvex.Start());
    EXPECT_TRUE(Saw(server, "/report?loaded=login"));
}

TEST_F(KorvexTest, TheFirstLoginAddressIsTakenAndCancelledAndLaterOnesGoAhead) {
    const SysCtrlConfig config = Config("/flow.html");
    KorvexProcess korvex(&config);
    ASSERT_TRUE(korvex.Start());
    // flow.html -> landing.html (no "isclient": not a login, so it loads) -> game.html (a
    // login: taken and cancelled; the game window then opens it, once) -> second.html (a login
    // again, but the one of this run is taken: it loads).
    ASSERT_TRUE(Saw(server_, "/second.html?uid=2&token=cd&sid=7&isclient=1&acc=ann"));
    const auto requests = server_.Requests();
    EXPECT_TRUE(SawStarting(requests, "/landing.html?uid=1&token=ab&sid=12&acc=tom"));
    EXPECT_TRUE(SawStarting(requests, "/report?still-on-landing"));
    EXPECT_EQ(server_.Count("/game.html?uid=1&token=ab&sid=12&isclient=1&acc=tom"), 1)
        << "the accepted address reached the server from the login page too, or never";
}

TEST_F(KorvexTest, EndsCleanlyWhileNavigationsKeepArriving) {
    const SysCtrlConfig config = Config("/storm.html");
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        KorvexProcess korvex(&config);
        const int storms = server_.Count("/report?storm");
        ASSERT_TRUE(korvex.Start());
        ASSERT_TRUE(
            server_.WaitFor([&](const auto&) { return server_.Count("/report?storm") > storms; }));
        PumpFor(std::chrono::milliseconds(200 * round));
        const auto engine = korvex.EngineProcesses();
        Quit(korvex);
        ASSERT_TRUE(korvex.WaitForExit(30s));
        EXPECT_EQ(korvex.exit_code(), 0u);
        EXPECT_TRUE(WaitUntilGone(engine, std::chrono::seconds(20)));
    }
}

// ---- an unhandled exception ends Korvex silently ----

// A thread of another process sent to address 0: an access violation on that thread.
bool CrashThread(DWORD thread_id) {
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT | THREAD_SET_CONTEXT,
                               FALSE, thread_id);
    if (!thread) return false;
    bool done = false;
    if (SuspendThread(thread) != DWORD(-1)) {
        CONTEXT context{};
        context.ContextFlags = CONTEXT_CONTROL;
        if (GetThreadContext(thread, &context)) {
#if defined(_M_X64) || defined(__x86_64__)
            context.Rip = 0;
#else
            context.Eip = 0;
#endif
            done = SetThreadContext(thread, &context) != FALSE;
        }
        ResumeThread(thread);
    }
    CloseHandle(thread);
    return done;
}

void ShowCrashDialogs() {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineDbg", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key, nullptr);
    const DWORD show = 1;
    RegSetValueExW(key, L"ShowCrashDialog", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&show),
                   sizeof show);
    RegCloseKey(key);
}

enum class CrashedThread { kMain, kLibrary };

class KorvexCrash : public KorvexTest, public ::testing::WithParamInterface<CrashedThread> {};

TEST_P(KorvexCrash, EndsAtOnceWithoutADialogAndTakesTheEngineAlong) {
    // Without Korvex's own handling the system's crash dialog would now come up and wait.
    ShowCrashDialogs();
    const SysCtrlConfig config = Config("/login.html");
    KorvexProcess korvex(&config);
    ASSERT_TRUE(korvex.Start());
    ASSERT_TRUE(Saw(server_, "/report?loaded=login"));
    HWND window = GetParam() == CrashedThread::kMain ? korvex.Launcher() : korvex.HostBrowser();
    ASSERT_TRUE(window);
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    const auto engine = korvex.EngineProcesses();
    ASSERT_FALSE(engine.empty());
    ASSERT_TRUE(CrashThread(thread));
    // A thread waiting for its next message takes its new context once it wakes.
    PostMessageW(window, WM_NULL, 0, 0);
    ASSERT_TRUE(korvex.WaitForExit(20s)) << "Korvex still runs (a dialog waits?)";
    EXPECT_EQ(korvex.exit_code(), DWORD(EXCEPTION_ACCESS_VIOLATION));
    EXPECT_TRUE(FindByCommandLine("winedbg").empty());
    EXPECT_TRUE(WaitUntilGone(engine, std::chrono::seconds(20)));
}

INSTANTIATE_TEST_SUITE_P(Threads, KorvexCrash,
                         ::testing::Values(CrashedThread::kMain, CrashedThread::kLibrary),
                         [](const auto& info) {
                             return std::string(info.param == CrashedThread::kMain ? "Main"
                                                                                   : "Library");
                         });

}  // namespace
