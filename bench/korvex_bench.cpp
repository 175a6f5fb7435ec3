// Figures of the whole client, measured from outside a real Korvex.exe under Wine (run it with
// scripts/lib/wine-run, or through the scripts beside this file, which also measure the engine
// alone in the same run).
//
//   korvex_bench startup [rounds]
//       Start of Korvex.exe -> its first layer pushed and -> its browser host shown (from
//       Korvex's own trace, which counts from the process's creation); -> the login page's
//       first frame on the screen (its colour in the middle of the host, timed here from just
//       before the process is created); and when the engine first answered (from the trace).
//       A fresh folder, so a fresh engine profile, every round.
//   korvex_bench handover [rounds]
//       Login address accepted -> game window shown, from Korvex's own trace (a login page that
//       goes to the game address by itself).
//   korvex_bench gameview [seconds]
//       The game window in this process, maximised, on an animated canvas: frames delivered and
//       painted per second at its size; then the processor time of this process and of the
//       engine while the game is shown and while it is hidden (the boss key's hide).
//   korvex_bench still OUT_PNG [changes]
//       The game window in this process, maximised, on a still game screen (small coloured
//       chat text, thin lines, a gradient; a press on it adds a chat line): once the engine's
//       lossless picture is shown, the view's pixels are written to OUT_PNG (bench/picture-bench
//       compares them with the engine's own capture); then for each change, the time from the
//       last frame delivered to the lossless picture shown.
//   korvex_bench clicks [count]
//       The game window in this process on a page that turns white or black on each press: a
//       press posted to the game browser's window -> the changed pixel on the screen.
//   korvex_bench idle [seconds]
//       A real Korvex.exe left alone: its processor use and private memory (the engine's not
//       counted) with the launcher up, with the game window shown, and with it hidden.
//   korvex_bench layer [count]
//       The launcher's recomposition in this process (which runs from a copy of its own, with a
//       sysctrl.dat beside it): RepaintLayer called count times, and a button's hover entered
//       and left count times (each change recomposes and pushes the whole layer).
#include <winsock2.h>

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/environment.h"
#include "base/exe_paths.h"
#include "config/ConfigEncipher.h"
#include "base/utf.h"
#include "browser/browser_handler.h"
#include "browser_support.h"
#include "core/runtime_info.h"
#include "file_text.h"
#include "game/game_dialog.h"
#include "korvex_process.h"
#include "linux_processes.h"
#include "launcher/korvex_dlg.h"
#include "resources/resource.h"
#include "scratch_copy.h"
#include "message_pump.h"
#include "page_server_process.h"
#include "screen_pixels.h"

namespace {

using namespace korvex_test;
using Clock = std::chrono::steady_clock;

// The login page's background (tests/app/pages/login.html).
constexpr COLORREF kLoginColour = RGB(40, 80, 160);

bool Near(COLORREF a, COLORREF b) {
    auto close = [](int x, int y) { return std::abs(x - y) <= 12; };
    return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) &&
           close(GetBValue(a), GetBValue(b));
}

COLORREF ScreenPixel(POINT p) {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// "<what> N ms after the process started" in Korvex's trace.
std::optional<double> TraceTime(const std::wstring& trace, const std::string& marker) {
    std::ifstream in{std::filesystem::path(trace)};
    std::string line;
    while (std::getline(in, line)) {
        const auto at = line.find(marker);
        if (at != std::string::npos) return std::stod(line.substr(at + marker.size()));
    }
    return std::nullopt;
}

// "[korvex <ms>] <what>": the time stamp of Korvex's first trace line saying what.
std::optional<double> KorvexTraceTime(const std::wstring& trace, const std::string& what) {
    std::ifstream in{std::filesystem::path(trace)};
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("[korvex ", 0) == 0 && line.find(what) != std::string::npos)
            return std::stod(line.substr(8));
    }
    return std::nullopt;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int Startup(int rounds) {
    PageServerProcess server(SourcePath("tests/app/pages"));
    if (!server.running()) {
        std::fprintf(stderr, "no page server\n");
        return 1;
    }
    const SysCtrlConfig config = DemoConfig(server.Origin(), "/login.html");
    std::vector<double> hosts, frames, answers, layers;
    for (int round = 1; round <= rounds; ++round) {
        KorvexProcess korvex(&config);
        const std::wstring trace = korvex.folder() + L"\\trace.txt";
        const auto start = Clock::now();
        if (!korvex.Start({L"KORVEX_CEF_LOG=1", L"KORVEX_LOG=1"}, trace)) return 1;
        // The login page is on the screen when the middle of the host shows its colour.
        std::optional<double> frame_ms;
        PumpUntil(
            [&] {
                HWND host = korvex.Host();
                if (host && IsWindowVisible(host)) {
                    RECT r;
                    GetWindowRect(host, &r);
                    const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
                    if (Near(ScreenPixel(middle), kLoginColour))
                        frame_ms = Ms(Clock::now() - start);
                }
                return frame_ms.has_value();
            },
            std::chrono::seconds(60));
        PostMessageW(korvex.Launcher(), WM_QUIT, 0, 0);
        korvex.WaitForExit(std::chrono::seconds(30));
        const auto running = TraceTime(trace, "the engine runs ");
        const auto layer = KorvexTraceTime(trace, "first layer pushed");
        const auto answered = TraceTime(trace, "the engine answered ");
        const auto host_ms = KorvexTraceTime(trace, "browser host shown");
        if (!host_ms || !frame_ms || !answered) {
            std::printf("round %d: incomplete (host %s, frame %s, answer %s)\n", round,
                        host_ms ? "seen" : "not seen", frame_ms ? "seen" : "not seen",
                        answered ? "seen" : "not seen");
            continue;
        }
        hosts.push_back(*host_ms);
        frames.push_back(*frame_ms);
        answers.push_back(*answered);
        if (layer) layers.push_back(*layer);
        std::printf(
            "round %d: korvex: layer pushed %.0f ms, host shown %.0f ms, login page painted %.0f "
            "ms; engine started %.0f ms, answered %.0f ms\n",
            round, layer.value_or(-1), *host_ms, *frame_ms, running.value_or(-1), *answered);
        std::fflush(stdout);
    }
    if (hosts.empty()) return 1;
    std::printf(
        "median: korvex: layer pushed %.0f ms, host shown %.0f ms, login page painted %.0f ms, "
        "engine answered %.0f ms\n",
        Median(layers), Median(hosts), Median(frames), Median(answers));
    return 0;
}

int Handover(int rounds) {
    PageServerProcess server(SourcePath("tests/game/pages"));
    if (!server.running()) return 1;
    const SysCtrlConfig config = DemoConfig(server.Origin(), "/login.html");
    std::vector<double> spans;
    for (int round = 1; round <= rounds; ++round) {
        KorvexProcess korvex(&config);
        const std::wstring trace = korvex.folder() + L"\\trace.txt";
        if (!korvex.Start({L"KORVEX_LOG=1"}, trace)) return 1;
        std::optional<double> accepted, shown;
        PumpUntil(
            [&] {
                accepted = KorvexTraceTime(trace, "login address accepted");
                shown = KorvexTraceTime(trace, "game window shown");
                return accepted && shown;
            },
            std::chrono::seconds(60));
        korvex.Kill();
        if (!accepted || !shown) {
            std::printf("round %d: incomplete\n", round);
            continue;
        }
        spans.push_back(*shown - *accepted);
        std::printf(
            "round %d: login address accepted at %.0f ms, game window shown at %.0f ms: "
            "%.0f ms\n",
            round, *accepted, *shown, *shown - *accepted);
        std::fflush(stdout);
    }
    if (spans.empty()) return 1;
    std::printf("median: address accepted -> game window shown %.0f ms\n", Median(spans));
    return 0;
}

// Processor seconds of the engine's processes (Linux) and of this process.
double EngineCpu(const std::vector<unsigned long>& pids) {
    double total = 0;
    for (unsigned long pid : pids) total += CpuSeconds(pid);
    return total;
}

// This run's Wine server and X server (wine-run starts both for one run): the wineserver whose
// environment names this run's folder, and the Xvfb started by the same script as this
// process.
std::vector<unsigned long> RunServers() {
    std::vector<unsigned long> servers;
    const auto run_dir = korvex::GetEnv(L"KORVEX_RUN_DIR");
    const std::string self = ReadFileText(L"Z:\\proc\\self\\stat");
    const auto own = ReadProcess(std::strtoul(self.c_str(), nullptr, 10));
    if (!run_dir || !own) return servers;
    const std::string marker = "KORVEX_RUN_DIR=" + korvex::WideToUtf8(*run_dir) + '\0';
    for (const LinuxProcess& p : AllProcesses()) {
        const std::vector<std::string> command = CommandLine(p.pid);
        if (command.empty()) continue;
        if (command[0].find("wineserver") != std::string::npos) {
            const std::string environment =
                ReadFileText(L"Z:\\proc\\" + std::to_wstring(p.pid) + L"\\environ");
            if (environment.find(marker) != std::string::npos) servers.push_back(p.pid);
        } else if (command[0].find("Xvfb") != std::string::npos && p.ppid == own->ppid) {
            servers.push_back(p.pid);
        }
    }
    return servers;
}

double ProcessCpu(HANDLE process) {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return double((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

double OwnCpu() { return ProcessCpu(GetCurrentProcess()); }

// The game window in this process on a page of tests/game/pages, its browser's window ready.
struct LocalGame {
    ULONG_PTR gdiplus = 0;
    CefRefPtr<CBrowserHandler> handler;
    CGameDialog* game = nullptr;
    HWND browser = nullptr;

    bool Open(const std::string& url) {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr);
        handler = new CBrowserHandler;
        game = new CGameDialog;
        game->m_gameUrl = korvex::Utf8ToWide(url);
        game->Create(IDD_GAME, nullptr);
        game->ShowWindow(SW_SHOW);
        return PumpUntil([&] {
            browser = FindWindowExW(game->m_hWnd, nullptr, L"CefBrowserWindow", nullptr);
            return browser && cef_detail::FramesPaintedIn(browser) > 0;
        });
    }
    ~LocalGame() {
        if (game) {
            game->DestroyWindow();
            delete game;
        }
        if (handler) handler->CloseAllBrowsers(true);
        PumpFor(std::chrono::milliseconds(500));
        handler = nullptr;
        Gdiplus::GdiplusShutdown(gdiplus);
    }
};

int GameView(int seconds) {
    PageServerProcess server(SourcePath("tests/game/pages"));
    LocalGame local;
    if (!server.running() || !browser_test::EngineStarted() ||
        !local.Open(server.Url("/animated.html")))
        return 1;
    HWND browser = local.browser;
    PumpFor(std::chrono::seconds(2));  // warm-up
    RECT r{};
    GetClientRect(browser, &r);
    const long long delivered0 = cef_detail::FramesDeliveredTo(browser);
    const long long painted0 = cef_detail::FramesPaintedIn(browser);
    const auto start = Clock::now();
    PumpFor(std::chrono::seconds(seconds));
    const double elapsed = Ms(Clock::now() - start) / 1000.0;
    std::printf("game view %ld x %ld: delivered %.1f fps, painted %.1f fps\n", r.right, r.bottom,
                double(cef_detail::FramesDeliveredTo(browser) - delivered0) / elapsed,
                double(cef_detail::FramesPaintedIn(browser) - painted0) / elapsed);

    const std::vector<unsigned long> engine = ProcessTree(cef_detail::EnginePid());
    const std::vector<unsigned long> servers = RunServers();
    auto measure = [&](const char* what) {
        const double own0 = OwnCpu(), engine0 = EngineCpu(engine), servers0 = EngineCpu(servers);
        const long long frames0 = cef_detail::FramesDeliveredTo(browser);
        const long long painted0 = cef_detail::FramesPaintedIn(browser);
        const auto t0 = Clock::now();
        PumpFor(std::chrono::seconds(seconds));
        const double t = Ms(Clock::now() - t0) / 1000.0;
        const double own = OwnCpu() - own0;
        const long long painted = cef_detail::FramesPaintedIn(browser) - painted0;
        std::printf(
            "%s: Korvex %.0f %% of a processor, wineserver and Xvfb %.0f %% (%zu found), engine "
            "%.0f %%, frames delivered %lld, painted %lld",
            what, 100.0 * own / t, 100.0 * (EngineCpu(servers) - servers0) / t, servers.size(),
            100.0 * (EngineCpu(engine) - engine0) / t,
            cef_detail::FramesDeliveredTo(browser) - frames0, painted);
        if (painted > 0)
            std::printf(", %.1f ms of Korvex's processor time a frame",
                        1000.0 * own / double(painted));
        std::printf("\n");
    };
    measure("shown");
    std::printf("lossless pictures shown on the animation: %lld\n",
                cef_detail::LosslessPicturesShownIn(browser));
    local.game->OnHideShow();
    PumpFor(std::chrono::milliseconds(500));
    measure("hidden");
    local.game->OnHideShow();
    return 0;
}

int Still(const std::wstring& out_png, int changes) {
    PageServerProcess server(SourcePath("tests/game/pages"));
    LocalGame local;
    if (!server.running() || !browser_test::EngineStarted() ||
        !local.Open(server.Url("/still.html")))
        return 1;
    HWND browser = local.browser;
    auto lossless = [&] { return cef_detail::LosslessPicturesShownIn(browser); };
    if (!PumpUntil([&] { return lossless() > 0; }, std::chrono::seconds(30))) {
        std::fprintf(stderr, "no lossless picture was shown\n");
        return 1;
    }
    RECT r{};
    GetClientRect(browser, &r);
    if (!SavePng(CaptureClient(browser), out_png)) return 1;
    std::printf("still game view %ld x %ld: written after %lld frames painted\n", r.right, r.bottom,
                cef_detail::FramesPaintedIn(browser));

    std::vector<double> latencies;
    for (int i = 0; i < changes; ++i) {
        const long long shown0 = lossless();
        long long delivered = cef_detail::FramesDeliveredTo(browser);
        Clock::time_point last_frame = Clock::now();
        PostMessageW(browser, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, r.bottom - 100));
        PostMessageW(browser, WM_LBUTTONUP, 0, MAKELPARAM(200, r.bottom - 100));
        const bool shown = PumpUntil(
            [&] {
                const long long now_delivered = cef_detail::FramesDeliveredTo(browser);
                if (now_delivered != delivered) {
                    delivered = now_delivered;
                    last_frame = Clock::now();
                }
                return lossless() > shown0;
            },
            std::chrono::seconds(10));
        if (shown) latencies.push_back(Ms(Clock::now() - last_frame));
        PumpFor(std::chrono::milliseconds(300));
    }
    if (latencies.empty()) return changes == 0 ? 0 : 1;
    std::printf(
        "last frame to lossless picture shown: min %.1f ms, median %.1f ms, max %.1f ms over %zu "
        "changes\n",
        *std::min_element(latencies.begin(), latencies.end()), Median(latencies),
        *std::max_element(latencies.begin(), latencies.end()), latencies.size());
    return 0;
}

int Clicks(int count) {
    PageServerProcess server(SourcePath("tests/game/pages"));
    LocalGame local;
    if (!server.running() || !browser_test::EngineStarted() ||
        !local.Open(server.Url("/click.html")))
        return 1;
    PumpFor(std::chrono::seconds(1));
    RECT r{};
    GetWindowRect(local.browser, &r);
    const POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    POINT client = at;
    ScreenToClient(local.browser, &client);
    std::vector<double> latencies;
    bool white = false;
    for (int i = 0; i < count; ++i) {
        white = !white;
        const COLORREF wanted = white ? RGB(255, 255, 255) : RGB(0, 0, 0);
        const auto start = Clock::now();
        PostMessageW(local.browser, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
        PostMessageW(local.browser, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
        if (PumpUntil([&] { return Near(ScreenPixel(at), wanted); }, std::chrono::seconds(5)))
            latencies.push_back(Ms(Clock::now() - start));
        PumpFor(std::chrono::milliseconds(200));
    }
    if (latencies.empty()) return 1;
    std::printf(
        "click to changed pixel in the game view: min %.1f ms, median %.1f ms, max %.1f ms "
        "over %zu clicks\n",
        *std::min_element(latencies.begin(), latencies.end()), Median(latencies),
        *std::max_element(latencies.begin(), latencies.end()), latencies.size());
    return 0;
}

double PrivateMiB(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    // Wine fills only the page-file figure, which it takes from the process's private pages.
    return double(std::max<SIZE_T>(counters.PrivateUsage, counters.PagefileUsage)) / 1048576.0;
}

int Idle(int seconds) {
    auto measure = [&](const KorvexProcess& korvex, const char* what) {
        PumpFor(std::chrono::seconds(2));  // settled
        const double cpu0 = ProcessCpu(korvex.process());
        const auto t0 = Clock::now();
        PumpFor(std::chrono::seconds(seconds));
        const double t = Ms(Clock::now() - t0) / 1000.0;
        std::printf("%s: Korvex %.1f %% of a processor, %.1f MiB private\n", what,
                    100.0 * (ProcessCpu(korvex.process()) - cpu0) / t,
                    PrivateMiB(korvex.process()));
        std::fflush(stdout);
    };
    {
        // A login page that stays: the launcher as a player sees it before logging in.
        PageServerProcess server(SourcePath("tests/app/pages"));
        const SysCtrlConfig config = DemoConfig(server.Origin(), "/login.html");
        KorvexProcess korvex(&config);
        if (!server.running() || !korvex.Start() || !korvex.WaitFor(&KorvexProcess::Host)) return 1;
        measure(korvex, "launcher with the login page");
        korvex.Kill();
    }
    // A login page that logs in by itself: the game window, shown and then hidden by the icon.
    PageServerProcess server(SourcePath("tests/game/pages"));
    const SysCtrlConfig config = DemoConfig(server.Origin(), "/login.html");
    KorvexProcess korvex(&config);
    if (!server.running() || !korvex.Start() || !korvex.WaitFor(&KorvexProcess::Game)) return 1;
    measure(korvex, "game window shown");
    PostMessageW(korvex.Launcher(), WM_TRAY_NOTIFY, 0, WM_LBUTTONDOWN);
    measure(korvex, "game window hidden");
    korvex.Kill();
    return 0;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

void Report(const char* what, const std::vector<double>& ms) {
    std::printf("%s: median %.2f ms, 95th percentile %.2f ms, worst %.2f ms over %zu\n", what,
                Median(ms), Percentile(ms, 0.95), *std::max_element(ms.begin(), ms.end()),
                ms.size());
}

class TimedLauncher : public CKorvexDlg {
  public:
    HWND Button(UINT id) const { return ::GetDlgItem(m_hWnd, int(id)); }
};

int Layer(int count) {
    const SysCtrlConfig config = DemoConfig("http://127.0.0.1:9", "/login.html");
    const std::vector<std::uint8_t> file = korvex::EncipherRecord(config);
    std::ofstream(std::filesystem::path(std::wstring(GetExeDirectory()) + L"sysctrl.dat"),
                  std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    TimedLauncher launcher;
    if (!launcher.Create(IDD_LAUNCHER, nullptr)) return 1;
    PumpFor(std::chrono::milliseconds(500));
    std::vector<double> direct, hovers;
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        launcher.RepaintLayer();
        direct.push_back(Ms(Clock::now() - start));
    }
    HWND official = launcher.Button(2001);
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        SendMessageW(official, i % 2 ? WM_MOUSELEAVE : WM_MOUSEHOVER, 0, 0);
        hovers.push_back(Ms(Clock::now() - start));
    }
    Report("RepaintLayer (1081 x 601)", direct);
    Report("hover entered or left, recomposed and pushed", hovers);
    launcher.DestroyWindow();
    return 0;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring what = argc > 1 ? argv[1] : L"";
    const int rounds = argc > 2 ? _wtoi(argv[2]) : 3;
    if (what == L"startup") return Startup(rounds);
    if (what == L"handover") return Handover(rounds);
    if (what == L"gameview") return GameView(argc > 2 ? rounds : 10);
    if (what == L"clicks") return Clicks(argc > 2 ? rounds : 20);
    if (what == L"still" && argc > 2) return Still(argv[2], argc > 3 ? _wtoi(argv[3]) : 10);
    if (what == L"idle") return Idle(argc > 2 ? rounds : 10);
    if (what == L"layer") {
        const int copied = RunAsScratchCopy(argc, argv);
        return copied >= 0 ? copied : Layer(argc > 2 ? rounds : 300);
    }
    std::fprintf(stderr,
                 "usage: korvex_bench startup [rounds] | handover [rounds] | gameview [seconds] | "
                 "still OUT_PNG [changes] | clicks [count] | idle [seconds] | layer [count]\n");
    return 2;
}
