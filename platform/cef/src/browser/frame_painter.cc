#include "browser/frame_painter.h"

#include "browser/frame_decoder.h"

namespace cef_detail {

FramePainter::FramePainter(HWND window) : window_(window), thread_([this] { Run(); }) {}

FramePainter::~FramePainter() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void FramePainter::Submit(std::string base64_jpeg) {
    {
        std::lock_guard lock(mutex_);
        pending_ = std::move(base64_jpeg);
    }
    wake_.notify_one();
}

void FramePainter::Run() {
    FrameDecoder decoder;
    DecodedFrame decoded;
    for (;;) {
        std::string work;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || !pending_.empty(); });
            if (stop_) break;
            work.swap(pending_);
        }
        if (!decoder.Decode(work, decoded)) continue;
        {
            std::lock_guard lock(front_mutex_);
            front_.swap(decoded.rows);
            front_width_ = decoded.width;
            front_height_ = decoded.height;
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
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = front_width_;
        info.bmiHeader.biHeight = -front_height_;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
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

long long FramePainter::PixelAt(int x, int y) {
    std::lock_guard lock(front_mutex_);
    x = int(x / drawn_scale_);
    y = int(y / drawn_scale_);
    if (front_.empty() || x < 0 || y < 0 || x >= front_width_ || y >= front_height_) return -1;
    const std::uint8_t* p = &front_[std::size_t(y) * RowBytes(front_width_) + std::size_t(x) * 3];
    return (static_cast<long long>(p[2]) << 16) | (static_cast<long long>(p[1]) << 8) | p[0];
}

}  // namespace cef_detail
