// The frame path: screencast frames (base64 JPEG) arrive on the connection's reader thread,
// are decoded on a thread of their own (newest frame wins) into a 24-bit bitmap, and the
// window paints the newest decoded frame.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cef_detail {

// Posted to the window when a newer frame is ready; the window invalidates itself on its own
// thread. (InvalidateRect from the decoder thread can wait for the window's thread, which may
// itself be waiting for the decoder to stop.)
constexpr UINT kFrameReadyMessage = WM_APP + 0x4B;

class FramePainter {
  public:
    explicit FramePainter(HWND window);
    ~FramePainter();  // stops and joins the decoder
    FramePainter(const FramePainter&) = delete;
    FramePainter& operator=(const FramePainter&) = delete;

    // Any thread: a new frame; an older frame not yet decoded is dropped.
    void Submit(std::string base64_jpeg);
    // TID_UI, inside WM_PAINT: draws the newest frame; the rest of the client area is white.
    // ratio is the page's devicePixelRatio: a frame the engine delivered in CSS pixels (as
    // Chromium's headless screencast does) is drawn enlarged by it to the window's pixels; a
    // frame in device pixels is drawn as it is.
    void Paint(HDC dc, const RECT& client, double ratio);

    std::uint64_t painted_frames() const { return painted_; }
    std::uint64_t decoded_frames() const { return decoded_; }
    // Colour of the newest frame at a window pixel as last painted (0x00RRGGBB), or -1 when
    // there is none.
    long long PixelAt(int x, int y);

  private:
    void Run();

    const HWND window_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string pending_;
    bool stop_ = false;

    std::mutex front_mutex_;           // guards the decoded frame
    std::vector<std::uint8_t> front_;  // BGR, top-down, rows padded to 4 bytes
    int front_width_ = 0;
    int front_height_ = 0;
    double drawn_scale_ = 1;  // window pixels per frame pixel, as last painted
    std::uint64_t front_serial_ = 0;
    std::uint64_t painted_serial_ = 0;

    std::atomic<std::uint64_t> painted_{0};
    std::atomic<std::uint64_t> decoded_{0};
    std::thread thread_;
};

}  // namespace cef_detail
