#include "browser/frame_painter.h"

#include <objbase.h>
#include <wincodec.h>

#include <array>

namespace cef_detail {
namespace {

// Standard base64; stops at the first character outside the alphabet (padding included).
std::vector<std::uint8_t> DecodeBase64(const std::string& text) {
    static const std::array<std::int8_t, 256> table = [] {
        std::array<std::int8_t, 256> t{};
        t.fill(-1);
        const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i) t[std::uint8_t(alphabet[i])] = std::int8_t(i);
        return t;
    }();
    std::vector<std::uint8_t> out;
    out.reserve(text.size() / 4 * 3);
    std::uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        const int value = table[std::uint8_t(c)];
        if (value < 0) break;
        bits = (bits << 6) | std::uint32_t(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(std::uint8_t(bits >> count));
        }
    }
    return out;
}

template <class T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() {
        if (p) p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

}  // namespace

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
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        ComPtr<IWICImagingFactory> factory;
        if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_PPV_ARGS(&factory.p)))) {
            factory.p = nullptr;
        }
        std::vector<std::uint8_t> pixels;
        for (;;) {
            std::string work;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return stop_ || !pending_.empty(); });
                if (stop_) break;
                work.swap(pending_);
            }
            int width = 0, height = 0;
            if (!factory.p || !Decode(factory.p, work, pixels, width, height)) continue;
            {
                std::lock_guard lock(front_mutex_);
                front_.swap(pixels);
                front_width_ = width;
                front_height_ = height;
                ++front_serial_;
            }
            ++decoded_;
            InvalidateRect(window_, nullptr, FALSE);
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
}

bool FramePainter::Decode(IWICImagingFactory* factory, const std::string& base64,
                          std::vector<std::uint8_t>& pixels, int& width, int& height) {
    std::vector<std::uint8_t> bytes = DecodeBase64(base64);
    if (bytes.empty()) return false;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(bytes.data(), DWORD(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand,
                                                &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame))) {
        return false;
    }
    UINT w = 0, h = 0;
    if (FAILED(frame->GetSize(&w, &h)) || w == 0 || h == 0 || w > 16384 || h > 16384) {
        return false;
    }
    // A colour JPEG decodes to 24-bit BGR: copied straight into rows padded to 4 bytes, which is
    // what a 24-bit device-independent bitmap is. Anything else goes through a conversion.
    WICPixelFormatGUID format{};
    ComPtr<IWICBitmapSource> converted;
    IWICBitmapSource* source = frame.p;
    if (FAILED(frame->GetPixelFormat(&format)) || format != GUID_WICPixelFormat24bppBGR) {
        if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat24bppBGR, frame.p, &converted))) {
            return false;
        }
        source = converted.p;
    }
    const UINT stride = (w * 3 + 3) & ~3u;
    pixels.resize(std::size_t(stride) * h);
    if (FAILED(source->CopyPixels(nullptr, stride, UINT(pixels.size()), pixels.data()))) {
        return false;
    }
    width = int(w);
    height = int(h);
    return true;
}

void FramePainter::Paint(HDC dc, const RECT& client) {
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
        SetDIBitsToDevice(dc, 0, 0, DWORD(front_width_), DWORD(front_height_), 0, 0, 0,
                          UINT(front_height_), front_.data(), &info, DIB_RGB_COLORS);
        drawn_w = front_width_;
        drawn_h = front_height_;
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
    if (front_.empty() || x < 0 || y < 0 || x >= front_width_ || y >= front_height_) return -1;
    const std::size_t stride = (std::size_t(front_width_) * 3 + 3) & ~std::size_t(3);
    const std::uint8_t* p = &front_[std::size_t(y) * stride + std::size_t(x) * 3];
    return (static_cast<long long>(p[2]) << 16) | (static_cast<long long>(p[1]) << 8) | p[0];
}

}  // namespace cef_detail
