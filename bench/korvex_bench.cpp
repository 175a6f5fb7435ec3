// Figures of the whole client, measured from outside a real Korvex.exe under Wine (run it with
// scripts/lib/wine-run, or through the scripts beside this file, which also measure the engine
// alone in the same run).
//
//   korvex_bench startup [rounds]
//       Start of Korvex.exe -> its browser host shown; -> the login page's first frame on the
//       screen (its colour in the middle of the host); and when the engine first answered
//       (from Korvex's own trace). A fresh folder, so a fresh engine profile, every round.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "korvex_process.h"
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
    std::vector<double> hosts, frames, answers;
    for (int round = 1; round <= rounds; ++round) {
        KorvexProcess korvex(&config);
        const std::wstring trace = korvex.folder() + L"\\trace.txt";
        const auto start = Clock::now();
        if (!korvex.Start({L"KORVEX_CEF_LOG=1"}, trace)) return 1;
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
        std::printf(
            "round %d: korvex: host shown %.0f ms, login page painted %.0f ms; engine started "
            "%.0f ms, answered %.0f ms\n",
            round, *host_ms, *frame_ms, running.value_or(-1), *answered);
        std::fflush(stdout);
    }
    if (hosts.empty()) return 1;
    std::printf(
        "median: korvex: host shown %.0f ms, login page painted %.0f ms, engine answered "
        "%.0f ms\n",
        Median(hosts), Median(frames), Median(answers));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring what = argc > 1 ? argv[1] : L"";
    const int rounds = argc > 2 ? _wtoi(argv[2]) : 3;
    if (what == L"startup") return Startup(rounds);
    std::fprintf(stderr, "usage: korvex_bench startup [rounds]\n");
    return 2;
}
