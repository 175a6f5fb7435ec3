#include "controls/resource_image.h"

#include <afx/app.h>

#include <cstring>

namespace {

// Image objects whose allocation failure yields null instead of constructing at null: the
// GDI+ classes' own operator new may return null but is not declared non-throwing, so a
// new-expression would go on to construct there.
class LoadedImage final : public Gdiplus::Image {
  public:
    explicit LoadedImage(IStream* stream) : Gdiplus::Image(stream) {}
    static void* operator new(std::size_t size) noexcept {
        return Gdiplus::DllExports::GdipAlloc(size);
    }
    static void operator delete(void* p) { Gdiplus::DllExports::GdipFree(p); }
};

class LoadedBitmap final : public Gdiplus::Bitmap {
  public:
    LoadedBitmap(HBITMAP bitmap, HPALETTE palette) : Gdiplus::Bitmap(bitmap, palette) {}
    static void* operator new(std::size_t size) noexcept {
        return Gdiplus::DllExports::GdipAlloc(size);
    }
    static void operator delete(void* p) { Gdiplus::DllExports::GdipFree(p); }
};

// A read-only stream over a copy of `size` bytes at `bytes`. The stream owns the copy's global
// block and frees it when its last reference goes; GDI+ keeps a reference for as long as an
// image decoded from the stream may read it. Null when no copy or stream can be made.
IStream* StreamOverCopy(const void* bytes, DWORD size) {
    if (bytes == nullptr || size == 0) return nullptr;
    HGLOBAL block = ::GlobalAlloc(GMEM_FIXED, size);
    if (block == nullptr) return nullptr;
    void* copy = ::GlobalLock(block);
    std::memcpy(copy, bytes, size);
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream)) || stream == nullptr) {
        ::GlobalUnlock(block);
        ::GlobalFree(block);
        return nullptr;
    }
    ::GlobalUnlock(block);
    return stream;
}

Gdiplus::Image* LoadEncodedPicture(UINT id, LPCWSTR type, HINSTANCE module) {
    if (module == nullptr) module = AfxGetResourceHandle();
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    const DWORD size = info != nullptr ? ::SizeofResource(module, info) : 0;
    HGLOBAL resource = info != nullptr ? ::LoadResource(module, info) : nullptr;
    const void* bytes = resource != nullptr ? ::LockResource(resource) : nullptr;

    IStream* stream = StreamOverCopy(bytes, size);
    // Without a stream the image is made in its error state: 0 x 0, drawing nothing.
    Gdiplus::Image* image = new LoadedImage(stream);
    if (stream != nullptr) stream->Release();
    return image;
}

Gdiplus::Image* LoadBitmapPicture(UINT id, HINSTANCE module) {
    HBITMAP bitmap = ::LoadBitmapW(module, MAKEINTRESOURCEW(id));
    Gdiplus::Image* image = new LoadedBitmap(bitmap, nullptr);
    if (bitmap != nullptr) ::DeleteObject(bitmap);
    return image;
}

}  // namespace

Gdiplus::Image* LoadResourceImage(UINT id, LPCWSTR type, HINSTANCE module) {
    if (type == RT_BITMAP) return LoadBitmapPicture(id, module);
    return LoadEncodedPicture(id, type, module);
}
