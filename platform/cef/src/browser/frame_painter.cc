#include "browser/frame_painter.h"

#include <optional>
#include <utility>

#include "browser/frame_decoder.h"

namespace cef_detail {

using Clock = StillRefinement::Clock;

FramePainter::FramePainter(HWND window, CaptureRequest request_capture)
    : window_(window), request_capture_(std::move(request_capture)), thread_([this] { Run(); }) {}

FramePainter::~FramePainter() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void FramePainter::Submit(std::string base64_jpeg) {
    auto text = std::make_shared<const std::string>(std::move(base64_jpeg));
    {
        std::lock_guard lock(mutex_);
        // The engine encodes an unchanged picture to the same bytes (a capture can make it
        // send one): the lossless picture shown stays.
        if (last_stream_ && *last_stream_ == *text) return;
        last_stream_ = text;
        refinement_.OnStreamFrame(Clock::now());
        pending_ = Work{std::move(text), false, 0};
    }
    wake_.notify_one();
}

void FramePainter::ShowCapture(std::string base64_png, std::uint64_t token) {
    {
        std::lock_guard lock(mutex_);
        if (!refinement_.AcceptCapture(token)) return;
        pending_ = Work{std::make_shared<const std::string>(std::move(base64_png)), true, token};
    }
    wake_.notify_one();
}

void FramePainter::CaptureFailed(std::uint64_t token) {
    std::lock_guard lock(mutex_);
    refinement_.CaptureFailed(token);
}

void FramePainter::ResetStream() {
    std::lock_guard lock(mutex_);
    refinement_.Reset();
    last_stream_.reset();
}

void FramePainter::Run() {
    FrameDecoder decoder;
    DecodedFrame decoded;
    for (;;) {
        Work work;
        std::optional<std::uint64_t> capture;
        {
            std::unique_lock lock(mutex_);
            for (;;) {
                if (stop_) return;
                if (pending_.text) {
                    work = std::exchange(pending_, Work{});
                    break;
                }
                const Clock::time_point due = refinement_.Due();
                if (due == Clock::time_point::max()) {
                    wake_.wait(lock);
                } else if (Clock::now() < due) {
                    wake_.wait_until(lock, due);
                } else if ((capture = refinement_.TakeCapture(Clock::now()))) {
                    break;
                }
            }
        }
        if (capture) {
            request_capture_(*capture);
            continue;
        }
        if (!decoder.Decode(*work.text, decoded)) {
            if (work.capture) CaptureFailed(work.token);
            continue;
        }
        if (work.capture) {
            // A frame or a reset while the capture was decoded: the capture is older than them.
            std::lock_guard lock(mutex_);
            if (!refinement_.Current(work.token)) continue;
        }
        {
            std::lock_guard lock(front_mutex_);
            front_.swap(decoded.pixels);
            front_width_ = decoded.width;
            front_height_ = decoded.height;
            front_is_capture_ = work.capture;
            ++front_serial_;
        }
        ++decoded_;
        PostMessageW(window_, kFrameReadyMessage, 0, 0);
    }
}

void FramePainter::Paint(HDC dc, const RECT& client, double ratio) {
    std::lock_guard lock(front_mutex_);
    int drawn_w = 0, drawn_h = 0;
    if (!front_.empty()) {
        // 32-bit rows are what the screen's surface holds: copied, not converted.
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = front_width_;
        info.bmiHeader.biHeight = -front_height_;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        // A frame in CSS pixels covers the window only once enlarged by the ratio.
        const bool css_frame = ratio != 1 && front_width_ * ratio <= client.right + ratio + 1;
        drawn_scale_ = css_frame ? ratio : 1;
        if (css_frame) {
            drawn_w = int(front_width_ * ratio + 0.5);
            drawn_h = int(front_height_ * ratio + 0.5);
            SetStretchBltMode(dc, HALFTONE);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            StretchDIBits(dc, 0, 0, drawn_w, drawn_h, 0, 0, front_width_, front_height_,
                          front_.data(), &info, DIB_RGB_COLORS, SRCCOPY);
        } else {
            SetDIBitsToDevice(dc, 0, 0, DWORD(front_width_), DWORD(front_height_), 0, 0, 0,
                              UINT(front_height_), front_.data(), &info, DIB_RGB_COLORS);
            drawn_w = front_width_;
            drawn_h = front_height_;
        }
        if (front_serial_ != painted_serial_) {
            painted_serial_ = front_serial_;
            ++painted_;
            if (front_is_capture_) ++captures_;
        }
    }
    const HBRUSH white = HBRUSH(GetStockObject(WHITE_BRUSH));
    if (client.right > drawn_w) {
        RECT right{drawn_w, 0, client.right, client.bottom};
        FillRect(dc, &right, white);
    }
    if (client.bottom > drawn_h) {
        RECT bottom{0, drawn_h, drawn_w < client.right ? drawn_w : client.right, client.bottom};
        FillRect(dc, &bottom, white);
    }
}

SIZE FramePainter::PictureSize() {
    std::lock_guard lock(front_mutex_);
    return {front_width_, front_height_};
}

long long FramePainter::PixelAt(int x, int y) {
    std::lock_guard lock(front_mutex_);
    x = int(x / drawn_scale_);
    y = int(y / drawn_scale_);
    if (front_.empty() || x < 0 || y < 0 || x >= front_width_ || y >= front_height_) return -1;
    return front_[std::size_t(y) * std::size_t(front_width_) + std::size_t(x)] & 0xFFFFFFu;
}

}  // namespace cef_detail
