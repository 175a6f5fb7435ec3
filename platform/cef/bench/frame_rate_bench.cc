// Measures the frame path: frames per second of an animated 1280 x 720 canvas painted into a
// browser window, against the engine's own screencast rate for the same page and size in the
// same run, and the time from a click to the changed pixel on the screen.
//   frame_rate_bench.exe [seconds per phase] [rounds] [clicks]
// The engine's rate without the library comes from engine_rate.py (run natively); the script
// frame-path-bench alternates both.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "browser/browser_impl.h"
#include "cef/cef_app.h"
#include "cef/cef_browser.h"
#include "cef/cef_client.h"
#include "devtools/connection.h"

namespace {

using Clock = std::chrono::steady_clock;
using cef_detail::Json;

constexpr int kWidth = 1280;
constexpr int kHeight = 720;

// Redraws the whole canvas every animation frame: a moving gradient and moving boxes.
const char* kAnimatedPage =
    "data:text/html,<html><body style='margin:0;overflow:hidden'>"
    "<canvas id=c width=1280 height=720></canvas><script>"
    "const c=document.getElementById('c').getContext('2d');let n=0;"
    "function f(){n++;const g=c.createLinearGradient(0,0,1280,720);"
    "g.addColorStop(0,'hsl('+(n%25360)+',80%25,50%25)');"
    "g.addColorStop(1,'hsl('+((n*3)%25360)+',80%25,30%25)');c.fillStyle=g;c.fillRect(0,0,1280,720);"
    "for(let i=0;i<40;i++){c.fillStyle='hsl('+((i*9+n)%25360)+',90%25,60%25)';"
    "c.fillRect((i*97+n*4)%251280,(i*53+n*2)%25720,60,60);}requestAnimationFrame(f);}f();"
    "</script></body></html>";

// Turns from black to white on every press of the mouse button, and back.
const char* kClickPage =
    "data:text/html,<html><body style='margin:0;background:rgb(0,0,0)' onmousedown=\""
    "this.style.background=this.style.background=='rgb(255, 255, 255)'?'rgb(0, 0, 0)':"
    "'rgb(255, 255, 255)'\"></body></html>";

// Pumps messages as an application's message loop does, sleeping while there are none, until
// done() holds (checked every few milliseconds) or the time is up. No busy polling: the
// measurement must not take processor time from the engine.
bool PumpFor(std::chrono::milliseconds span, const std::function<bool()>& done = {}) {
    const auto end = Clock::now() + span;
    for (;;) {
        if (done && done()) return true;
        const auto now = Clock::now();
        if (now >= end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now);
        const DWORD wait = DWORD(done ? std::min<long long>(left.count(), 5) : left.count());
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}

class Client : public CefClient, public CefLifeSpanHandler {
  public:
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override { browser_ = browser; }
    void OnBeforeClose(CefRefPtr<CefBrowser>) override { closed_ = true; }
    CefRefPtr<CefBrowser> browser_;
    std::atomic<bool> closed_{false};
    IMPLEMENT_REFCOUNTING(Client);
};

struct Rates {
    double engine;   // frames the engine delivered per second
    double painted;  // frames painted into the window per second
};

// Both rates over the same seconds of one browser showing the animated page: what the engine
// streamed (acknowledged on arrival, before any decoding) and what reached the window.
Rates MeasureRates(HWND parent, int seconds) {
    CefRefPtr<Client> client = new Client;
    CefWindowInfo info;
    info.SetAsChild(parent, RECT{0, 0, kWidth, kHeight});
    CefBrowserHost::CreateBrowser(info, client.get(), kAnimatedPage, CefBrowserSettings(), nullptr);
    PumpFor(std::chrono::seconds(30), [&] { return bool(client->browser_); });
    auto* impl = dynamic_cast<cef_detail::BrowserImpl*>(client->browser_.get());
    if (!impl) return {0, 0};
    PumpFor(std::chrono::seconds(2));  // warm-up
    const std::uint64_t received = impl->received_frames();
    const std::uint64_t painted = impl->painted_frames();
    const auto t0 = Clock::now();
    PumpFor(std::chrono::seconds(seconds));
    const double elapsed = std::chrono::duration<double>(Clock::now() - t0).count();
    const Rates rates{double(impl->received_frames() - received) / elapsed,
                      double(impl->painted_frames() - painted) / elapsed};
    client->browser_->GetHost()->CloseBrowser(true);
    PumpFor(std::chrono::seconds(10), [&] { return client->closed_.load(); });
    client->browser_ = nullptr;
    return rates;
}

// Click to changed pixel: a press posted to the browser window, then the window's pixel is
// read until it has turned.
std::vector<double> ClickLatencies(HWND parent, int clicks) {
    CefRefPtr<Client> client = new Client;
    CefWindowInfo info;
    info.SetAsChild(parent, RECT{0, 0, kWidth, kHeight});
    CefBrowserHost::CreateBrowser(info, client.get(), kClickPage, CefBrowserSettings(), nullptr);
    PumpFor(std::chrono::seconds(30), [&] { return bool(client->browser_); });
    std::vector<double> result;
    if (!client->browser_) return result;
    HWND hwnd = client->browser_->GetHost()->GetWindowHandle();
    auto pixel = [hwnd] {
        HDC dc = GetDC(hwnd);
        const COLORREF c = GetPixel(dc, 640, 360);
        ReleaseDC(hwnd, dc);
        return GetGValue(c);
    };
    PumpFor(std::chrono::seconds(10), [&] { return pixel() < 40; });  // black page shown
    PumpFor(std::chrono::seconds(1));
    for (int i = 0; i < clicks; ++i) {
        const bool want_white = pixel() < 128;
        const auto t0 = Clock::now();
        PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(640, 360));
        PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(640, 360));
        if (PumpFor(std::chrono::seconds(5),
                    [&] { return want_white ? pixel() > 215 : pixel() < 40; })) {
            result.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        }
        PumpFor(std::chrono::milliseconds(200));
    }
    client->browser_->GetHost()->CloseBrowser(true);
    PumpFor(std::chrono::seconds(10), [&] { return client->closed_.load(); });
    client->browser_ = nullptr;
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int seconds = argc > 1 ? _wtoi(argv[1]) : 10;
    const int rounds = argc > 2 ? _wtoi(argv[2]) : 2;
    const int clicks = argc > 3 ? _wtoi(argv[3]) : 20;

    CefSettings settings;
    settings.no_sandbox = 1;
    settings.multi_threaded_message_loop = 1;
    if (!CefInitialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, nullptr, nullptr)) {
        std::printf("no engine\n");
        return 1;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FrameRateBench";
    RegisterClassExW(&wc);
    RECT frame{0, 0, kWidth, kHeight};
    AdjustWindowRect(&frame, WS_POPUP, FALSE);
    HWND parent = CreateWindowExW(0, wc.lpszClassName, L"frame rate", WS_POPUP | WS_VISIBLE, 0, 0,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, wc.hInstance, nullptr);

    std::printf("phase seconds: %d, rounds: %d, size %dx%d, JPEG quality 80\n", seconds, rounds,
                kWidth, kHeight);
    double engine_sum = 0, painted_sum = 0;
    for (int round = 1; round <= rounds; ++round) {
        const Rates rates = MeasureRates(parent, seconds);
        std::printf("round %d: engine screencast %.1f fps, painted in window %.1f fps (%.0f %%)\n",
                    round, rates.engine, rates.painted,
                    rates.engine > 0 ? 100.0 * rates.painted / rates.engine : 0.0);
        std::fflush(stdout);
        engine_sum += rates.engine;
        painted_sum += rates.painted;
    }
    if (rounds > 0) {
        std::printf("mean: engine %.1f fps, painted %.1f fps (%.0f %%)\n", engine_sum / rounds,
                    painted_sum / rounds, engine_sum > 0 ? 100.0 * painted_sum / engine_sum : 0.0);
    }

    if (clicks > 0) {
        std::vector<double> latencies = ClickLatencies(parent, clicks);
        std::sort(latencies.begin(), latencies.end());
        if (!latencies.empty()) {
            std::printf(
                "click to changed pixel over %zu clicks: min %.1f ms, median %.1f ms, "
                "max %.1f ms\n",
                latencies.size(), latencies.front(), latencies[latencies.size() / 2],
                latencies.back());
        } else {
            std::printf("click to changed pixel: no change seen\n");
        }
    }
    DestroyWindow(parent);
    return 0;
}
