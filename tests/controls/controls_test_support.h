// What the controls' Windows tests share: counts of the process's GDI objects, memory and heap
// blocks, a message pump, real mouse and keyboard input, and pixels read back from windows, the
// screen and GDI+ drawings.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace controls_test {

// ---- Process resources -------------------------------------------------------------------

// GDI objects the process holds now (brushes, fonts, bitmaps, device contexts, ...).
// GetGuiResources where the system counts them; under Wine, which does not, the live entries of
// the process's own GDI handle table.
int GdiObjectCount();
// Private memory committed by the process, in bytes.
std::size_t PrivateBytes();
// Busy blocks of the process heap whose content is exactly `bytes`.
int HeapBlocksHolding(std::span<const std::uint8_t> bytes);

// The bytes of a resource of this program, empty when it has none.
std::span<const std::uint8_t> ResourceBytes(LPCWSTR type, UINT id);

// ---- Messages and input ------------------------------------------------------------------

// Dispatches every message already queued for this thread.
void PumpPending();
// Dispatches messages until done() holds; false if it still does not after a generous limit
// (the limit only keeps a fault from hanging the test).
bool PumpUntil(const std::function<bool()>& done);
// Dispatches messages for a while, to let anything that would still come in arrive.
void Settle();

// Real input, as the user makes it: the cursor moved to a screen point, the left button, keys.
void MoveMouseTo(POINT screen);
void LeftButton(bool down);
void TapKey(WORD virtualKey);

// The screen point at client point `client` of `window`.
POINT ScreenPoint(HWND window, POINT client);

// ---- Pixels ------------------------------------------------------------------------------

// 32-bit pixels, row by row, 0xAARRGGBB.
struct Pixels {
    int width = 0, height = 0;
    std::vector<std::uint32_t> argb;

    std::uint32_t at(int x, int y) const { return argb[std::size_t(y) * width + x]; }
    std::uint32_t& at(int x, int y) { return argb[std::size_t(y) * width + x]; }
    Pixels Crop(const RECT& r) const;
    friend bool operator==(const Pixels&, const Pixels&) = default;
};
inline unsigned Red(std::uint32_t p) { return (p >> 16) & 0xFF; }
inline unsigned Green(std::uint32_t p) { return (p >> 8) & 0xFF; }
inline unsigned Blue(std::uint32_t p) { return p & 0xFF; }
inline unsigned Alpha(std::uint32_t p) { return p >> 24; }
inline std::uint32_t Rgb(std::uint32_t p) { return p & 0xFFFFFF; }

// What a window's client area shows now, read from its own device context.
Pixels CaptureClient(HWND window);
// What the screen shows in a rectangle of screen coordinates.
Pixels CaptureScreen(const RECT& screen);

// A 32-bit premultiplied-alpha drawing surface: a DIB section in a memory device context, with
// a GDI+ surface on it.
class Canvas {
  public:
    Canvas(int width, int height, std::uint32_t fill = 0);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return m_dc; }
    Gdiplus::Graphics& graphics() { return *m_graphics; }
    // The pixels drawn so far (GDI+ work flushed first).
    Pixels Read();
    void Fill(std::uint32_t argb);

  private:
    int m_width, m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    std::uint32_t* m_bits = nullptr;
    std::unique_ptr<Gdiplus::Graphics> m_graphics;
};

// Ink of a drawing: the bounding box of the pixels that differ from `ground`.
struct InkBox {
    bool any = false;
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    friend bool operator==(const InkBox&, const InkBox&) = default;
};
InkBox FindInk(const Pixels& pixels, std::uint32_t ground, const RECT* within = nullptr);

// The ink of `text` drawn with GDI in `font`, white on black at (0, 0), and its extent.
struct TextSample {
    SIZE extent{};
    InkBox ink;
};
TextSample SampleText(const wchar_t* text, HFONT font);

// ---- Windows -----------------------------------------------------------------------------

// The window class of the tests' plain windows (DefWindowProc, solid ground).
LPCWSTR PlainWindowClass();

// Top-level windows that tests share live as long as the program: on a display without a window
// manager Wine waits two seconds for one each time a top-level window is taken off the screen,
// while windows still there when the process ends cost nothing. Children come and go per test.
template <class Window>
Window& SharedWindow() {
    static Window* const window = new Window;
    return *window;
}

}  // namespace controls_test
