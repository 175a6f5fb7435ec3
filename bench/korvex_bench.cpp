// Figures of the whole client, measured from outside a real Korvex.exe under Wine (run it with
// scripts/lib/wine-run, or through the scripts beside this file, which also measure the engine
// alone in the same run).
//
//   korvex_bench startup [rounds]
//       Start of Korvex.exe -> its first layer pushed (from Korvex's own trace); -> its browser
//       host shown; -> the login page's first frame on the screen (its colour in the middle of
//       the host); and when the engine first answered (from the trace). A fresh folder, so a
//       fresh engine profile, every round.
//   korvex_bench handover [rounds]
//       Login address accepted -> game window shown, from Korvex's own trace (a login page that
//       goes to the game address by itself).
//   korvex_bench gameview [seconds]
//       The game window in this process, maximised, on an animated canvas: frames delivered and
//       painted per second at its size; then the processor time of this process and of the
//       engine while the game is shown and while it is hidden (the boss key's hide).
//   korvex_bench layer [count]
//       The launcher's recomposition in this process (which runs from a copy of its own, with a
//       sysctrl.dat beside it): RepaintLayer called count times, and a button's hover entered
//       and left count times (each change recomposes and pushes the whole layer).
#include <winsock2.h>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/exe_paths.h"
#include "config/ConfigEncipher.h"
#include "base/utf.h"
#include "browser/browser_handler.h"
#include "browser_support.h"
#include "core/runtime_info.h"
#include "game/game_dialog.h"
#include "korvex_process.h"
#include "linux_processes.h"
#include "launcher/korvex_dlg.h"
#include "resources/resource.h"
#include "scratch_copy.h"
#include "message_pump.h"
#include "page_server_process.h"

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
        std::optional<double> host_ms, frame_ms;
        PumpUntil(
            [&] {
                HWND host = korvex.Host();
                if (!host_ms && host && IsWindowVisible(host)) host_ms = Ms(Clock::now() - start);
                if (host_ms) {
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

double OwnCpu() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return double((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

int GameView(int seconds) {
    PageServerProcess server(SourcePath("tests/game/pages"));
    if (!server.running() || !browser_test::EngineStarted()) return 1;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR gdiplus = 0;
    Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr);
    CefRefPtr<CBrowserHandler> handler = new CBrowserHandler;
    auto* game = new CGameDialog;
    game->m_gameUrl = korvex::Utf8ToWide(server.Url("/animated.html"));
    game->Create(IDD_GAME, nullptr);
    game->ShowWindow(SW_SHOW);
    HWND browser = nullptr;
    PumpUntil([&] {
        browser = FindWindowExW(game->m_hWnd, nullptr, L"CefBrowserWindow", nullptr);
        return browser && cef_detail::FramesPaintedIn(browser) > 0;
    });
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
    auto measure = [&](const char* what) {
        const double own0 = OwnCpu(), engine0 = EngineCpu(engine);
        const long long frames0 = cef_detail::FramesDeliveredTo(browser);
        const auto t0 = Clock::now();
        PumpFor(std::chrono::seconds(seconds));
        const double t = Ms(Clock::now() - t0) / 1000.0;
        std::printf("%s: Korvex %.0f %% of a processor, engine %.0f %%, frames delivered %lld\n",
                    what, 100.0 * (OwnCpu() - own0) / t, 100.0 * (EngineCpu(engine) - engine0) / t,
                    cef_detail::FramesDeliveredTo(browser) - frames0);
    };
    measure("shown");
    game->OnHideShow();
    PumpFor(std::chrono::milliseconds(500));
    measure("hidden");
    game->OnHideShow();
    game->DestroyWindow();
    delete game;
    handler->CloseAllBrowsers(true);
    PumpFor(std::chrono::milliseconds(500));
    handler = nullptr;
    Gdiplus::GdiplusShutdown(gdiplus);
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
    if (what == L"layer") {
        const int copied = RunAsScratchCopy(argc, argv);
        return copied >= 0 ? copied : Layer(argc > 2 ? rounds : 300);
    }
    std::fprintf(stderr,
                 "usage: korvex_bench startup [rounds] | handover [rounds] | gameview [seconds] | "
                 "layer [count]\n");
    return 2;
}
