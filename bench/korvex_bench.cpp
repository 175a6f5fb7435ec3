// Figures of the whole client, measured from outside a real Korvex.exe under Wine (run it with
// scripts/lib/wine-run, or through the scripts beside this file, which also measure the engine
// alone in the same run).
//
//   korvex_bench startup [rounds]
//       Start of Korvex.exe -> its first layer pushed (from Korvex's own trace); -> its browser
//       host shown; -> the login page's first frame on the screen (its colour in the middle of
//       the host); and when the engine first answered (from the trace). A fresh folder, so a
//       fresh engine profile, every round.
//   korvex_bench layer [count]
//       The launcher's recomposition in this process (which runs from a copy of its own, with a
//       sysctrl.dat beside it): RepaintLayer called count times, and a button's hover entered
//       and left count times (each change recomposes and pushes the whole layer).
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
#include "korvex_process.h"
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

// "[korvex <ms>] first layer pushed": the trace line's own time stamp.
std::optional<double> LayerPushed(const std::wstring& trace) {
    std::ifstream in{std::filesystem::path(trace)};
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("[korvex ", 0) == 0 && line.find("first layer pushed") != std::string::npos)
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
        const auto layer = LayerPushed(trace);
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
    if (what == L"layer") {
        const int copied = RunAsScratchCopy(argc, argv);
        return copied >= 0 ? copied : Layer(argc > 2 ? rounds : 300);
    }
    std::fprintf(stderr, "usage: korvex_bench startup [rounds] | layer [count]\n");
    return 2;
}
