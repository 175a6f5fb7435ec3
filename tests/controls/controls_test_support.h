// What the controls' Windows tests share beyond the common test support: heap blocks, the
// program's resource bytes, ink of drawings and text, and the windows the tests share.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "message_pump.h"
#include "process_resources.h"
#include "real_input.h"
#include "screen_pixels.h"

namespace controls_test {

using korvex_test::Alpha;
using korvex_test::Blue;
using korvex_test::Canvas;
using korvex_test::CaptureClient;
using korvex_test::CaptureScreen;
using korvex_test::GdiObjectCount;
using korvex_test::Green;
using korvex_test::LeftButton;
using korvex_test::MoveMouseTo;
using korvex_test::Pixels;
using korvex_test::PrivateBytes;
using korvex_test::PumpPending;
using korvex_test::PumpUntil;
using korvex_test::Red;
using korvex_test::Rgb;
using korvex_test::ScreenPoint;
using korvex_test::TapKey;

// Lets anything that would still come in arrive.
inline void Settle() { korvex_test::PumpFor(std::chrono::milliseconds(150)); }

// ---- Process resources -------------------------------------------------------------------

// Busy blocks of the process heap whose content is exactly `bytes`.
int HeapBlocksHolding(std::span<const std::uint8_t> bytes);

// The bytes of a resource of this program, empty when it has none.
std::span<const std::uint8_t> ResourceBytes(LPCWSTR type, UINT id);

// ---- Pixels ------------------------------------------------------------------------------

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
