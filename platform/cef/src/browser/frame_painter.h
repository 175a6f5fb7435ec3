// The frame path: screencast frames (base64 JPEG) arrive on the connection's reader thread,
// are decoded on a thread of their own (newest picture wins) into 32-bit pixels, and the
// window paints the newest decoded picture. Once the stream has been quiet for a moment the
// painter asks for the engine's lossless capture of the page and shows that instead, until the
// next frame that differs.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "browser/still_refinement.h"

namespace cef_detail {

// Posted to the window when a newer frame is ready; the window invalidates itself on its own
// thread. (InvalidateRect from the decoder thread can wait for the window's thread, which may
// itself be waiting for the decoder to stop.)
constexpr UINT kFrameReadyMessage = WM_APP + 0x4B;

class FramePainter {
  public:
    // Asks the engine for a lossless capture of the page; its answer comes back through
    // ShowCapture (or CaptureFailed) with the same token. Called on the decoder thread: it
    // must not block and must not call back into the painter.
    using CaptureRequest = std::function<void(std::uint64_t token)>;

    FramePainter(HWND window, CaptureRequest request_capture);
    ~FramePainter();  // stops and joins the decoder
    FramePainter(const FramePainter&) = delete;
    FramePainter& operator=(const FramePainter&) = delete;

    // Any thread: a new stream frame; an older picture not yet decoded is dropped, and a frame
    // the same as the last one changes nothing.
    void Submit(std::string base64_jpeg);
    // Any thread: the answer to a capture request (base64 PNG); shown unless a frame came after
    // it was asked for.
    void ShowCapture(std::string base64_png, std::uint64_t token);
    void CaptureFailed(std::uint64_t token);
    // Any thread: the stream stopped or starts afresh (the view hidden or shown again); no
    // capture is asked for or shown until its next frame, which is always decoded.
    void ResetStream();
    // TID_UI, inside WM_PAINT: draws the newest picture; the rest of the client area is white.
    // ratio is the page's devicePixelRatio. Pictures come at the window's pixel size and are
    // drawn as they are; one in CSS pixels (the engine's view not yet enlarged, just after the
    // ratio changed) is drawn enlarged by the ratio until the next frame replaces it.
    void Paint(HDC dc, const RECT& client, double ratio);

    std::uint64_t painted_frames() const { return painted_; }
    std::uint64_t decoded_frames() const { return decoded_; }
    // Lossless captures painted.
    std::uint64_t captures_shown() const { return captures_; }
    // The newest picture's size in its own pixels (0 x 0 before the first).
    SIZE PictureSize();
    // Colour of the newest picture at a window pixel as last painted (0x00RRGGBB), or -1 when
    // there is none.
    long long PixelAt(int x, int y);

  private:
    struct Work {
        std::shared_ptr<const std::string> text;  // base64 of the picture
        bool capture = false;
        std::uint64_t token = 0;  // the capture's
    };

    void Run();

    const HWND window_;
    const CaptureRequest request_capture_;
    std::mutex mutex_;  // guards what follows up to stop_
    std::condition_variable wake_;
    Work pending_;
    std::shared_ptr<const std::string> last_stream_;  // the last frame submitted
    StillRefinement refinement_;
    bool stop_ = false;

    std::mutex front_mutex_;            // guards the decoded picture
    std::vector<std::uint32_t> front_;  // 0xFFRRGGBB, top-down
    int front_width_ = 0;
    int front_height_ = 0;
    double drawn_scale_ = 1;  // window pixels per picture pixel, as last painted
    bool front_is_capture_ = false;
    std::uint64_t front_serial_ = 0;
    std::uint64_t painted_serial_ = 0;

    std::atomic<std::uint64_t> painted_{0};
    std::atomic<std::uint64_t> decoded_{0};
    std::atomic<std::uint64_t> captures_{0};
    std::thread thread_;
};

}  // namespace cef_detail
