// Browsers on a 144-DPI display (150 %), against the real engine under Wine: a browser that
// follows its window's DPI lays its page out at devicePixelRatio 1.5 in a CSS viewport of the
// window's pixels / 1.5, its pictures come at the window's full pixel size, and a click lands
// on the element under the pointer and the input method opens at the caret; a browser fixed at
// ratio 1 stays as on a 96-DPI display; a DPI change re-lays the page. And a game page gets
// WebGL from the engine's switches.
//
// (Wine never changes a window's DPI while running: the test sends WM_DPICHANGED itself, as
// Windows does when a window moves to a monitor of another scale.)
#include <winsock2.h>

#include <windows.h>

#include <imm.h>
#include <gtest/gtest.h>

#include <string>

#include "browser/browser_impl.h"
#include "browser_support.h"
#include "high_dpi.h"
#include "page_test.h"

namespace browser_test {
namespace {

constexpr int kDpi = 144;
// The host's client area: multiples of 3, so the CSS viewport is exact at 1.5.
constexpr int kWidth = 900, kHeight = 600;

class DisplayScaleTest : public PageTest {
  protected:
    DisplayScaleTest() : PageTest(kWidth, kHeight) {}
    CefRefPtr<CefBrowser> Open(const std::string& page, double fixed_scale = 0) {
        CefBrowserSettings settings;
        settings.device_scale_factor = fixed_scale;
        return PageTest::Open(page, settings);
    }
    static cef_detail::BrowserImpl* Impl(CefRefPtr<CefBrowser> browser) {
        return dynamic_cast<cef_detail::BrowserImpl*>(browser.get());
    }
    static long long Pixel(CefRefPtr<CefBrowser> browser, int x, int y) {
        return Impl(browser)->PixelAt(x, y);
    }
    // Whether the newest picture has the window's full pixel size (nothing enlarged).
    static bool FullSizePicture(CefRefPtr<CefBrowser> browser) {
        const SIZE size = Impl(browser)->PictureSize();
        return size.cx == kWidth && size.cy == kHeight;
    }
    static std::string PictureSizeText(CefRefPtr<CefBrowser> browser) {
        const SIZE size = Impl(browser)->PictureSize();
        return std::to_string(size.cx) + "x" + std::to_string(size.cy);
    }
    // Within what JPEG frames change of a flat colour (0xRRGGBB).
    static bool Near(long long pixel, long long colour) {
        if (pixel < 0) return false;
        for (int shift : {0, 8, 16}) {
            const long long a = (pixel >> shift) & 0xFF, b = (colour >> shift) & 0xFF;
            if (a - b > 12 || b - a > 12) return false;
        }
        return true;
    }
};

TEST_F(DisplayScaleTest, TheRunsDisplayIsAt144Dpi) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(dpi, kDpi);
}

struct ScaleCase {
    const char* name;
    double fixed;          // CefBrowserSettings::device_scale_factor
    const char* expected;  // devicePixelRatio, innerWidth x innerHeight
    int square_end;        // window pixel where the CSS square (100..200) ends
};

TEST_F(DisplayScaleTest, APageIsLaidOutAtItsWindowsRatioAndFillsTheWindow) {
    const ScaleCase cases[] = {
        {"following the display", 0, "1.5 600x400", 300},
        {"fixed at 1", 1, "1 900x600", 200},
    };
    for (const ScaleCase& c : cases) {
        SCOPED_TRACE(c.name);
        CefRefPtr<CefBrowser> browser = Open("/scale.html", c.fixed);
        ASSERT_TRUE(browser);
        EXPECT_TRUE(WaitForPage(browser, std::string("sizes() === '") + c.expected + "'"))
            << Evaluate(browser, "sizes()").dump();
        // The blue square fills window pixels 1.5 times its CSS size when following the display.
        const int inside = c.square_end - 5, outside = c.square_end + 5;
        EXPECT_TRUE(PumpUntil([&] {
            return Near(Pixel(browser, inside, inside), 0x0000FF) &&
                   Near(Pixel(browser, outside, outside), 0xFFFFFF);
        })) << std::hex
            << Pixel(browser, inside, inside) << " " << Pixel(browser, outside, outside);
        // And the page's picture reaches the window's far corner, drawn at its full pixel size
        // by the engine, the still picture as well as the stream.
        EXPECT_TRUE(Near(Pixel(browser, kWidth - 2, kHeight - 2), 0xFFFFFF));
        EXPECT_TRUE(FullSizePicture(browser)) << PictureSizeText(browser);
        EXPECT_TRUE(PumpUntil([&] { return Impl(browser)->lossless_pictures_shown() > 0; }));
        EXPECT_TRUE(FullSizePicture(browser)) << PictureSizeText(browser);
        ASSERT_TRUE(CloseAllAndWait(client_.get()));
    }
}

// The pointer's window pixels reach the page as CSS pixels: a click lands on the element drawn
// under it, and a wheel notch moves the page as far on the screen as at 96 DPI (120 pixels).
TEST_F(DisplayScaleTest, AClickLandsOnTheElementUnderThePointer) {
    CefRefPtr<CefBrowser> browser = Open("/scale.html");
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForPage(browser, "sizes() === '1.5 600x400'"));
    // The button lies at CSS 300..420 x 200..260: window pixels 450..630 x 300..390.
    HWND window = browser->GetHost()->GetWindowHandle();
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(600, 375));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(600, 375));
    EXPECT_TRUE(WaitForPage(browser, "clicks.length === 1")) << Evaluate(browser, "clicks").dump();
    EXPECT_EQ(Evaluate(browser, "clicks[0]"), "button 400,250");

    POINT at{300, 150};  // the wheel's position comes in screen coordinates
    ClientToScreen(window, &at);
    PostMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), MAKELPARAM(at.x, at.y));
    EXPECT_TRUE(WaitForPage(browser, "wheels.length === 1")) << Evaluate(browser, "wheels").dump();
    EXPECT_EQ(Evaluate(browser, "wheels[0]"), "200,100 80");
}

// The input method's composition opens at the focused field's caret, its candidate list below
// the caret, in window pixels.
TEST_F(DisplayScaleTest, TheInputMethodOpensAtTheCaret) {
    CefRefPtr<CefBrowser> browser = Open("/scale.html");
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForPage(browser, "sizes() === '1.5 600x400'"));
    Evaluate(browser, "document.getElementById('field').focus()");
    ASSERT_TRUE(WaitForPage(browser, "document.activeElement.id === 'field'"));
    HWND window = browser->GetHost()->GetWindowHandle();
    SendMessageW(window, WM_IME_STARTCOMPOSITION, 0, 0);
    // The empty field's caret: CSS 105 (its left, border and padding), 300..330; window pixels
    // 158 (157.5 rounded), 450..495.
    COMPOSITIONFORM composition{};
    CANDIDATEFORM candidates{};
    EXPECT_TRUE(PumpUntil([&] {
        HIMC context = ImmGetContext(window);
        const bool read = context && ImmGetCompositionWindow(context, &composition) &&
                          ImmGetCandidateWindow(context, 0, &candidates);
        if (context) ImmReleaseContext(window, context);
        return read && composition.ptCurrentPos.x == 158 && composition.ptCurrentPos.y == 450 &&
               candidates.ptCurrentPos.y == 495;
    })) << composition.ptCurrentPos.x
        << "," << composition.ptCurrentPos.y << " " << candidates.ptCurrentPos.x << ","
        << candidates.ptCurrentPos.y;
    EXPECT_EQ(composition.dwStyle, DWORD(CFS_POINT));
    EXPECT_EQ(candidates.dwStyle, DWORD(CFS_EXCLUDE));
    EXPECT_EQ(candidates.rcArea.top, 450);
    EXPECT_EQ(candidates.rcArea.bottom, 495);
}

// WM_DPICHANGED re-lays the page at the DPI it tells, and the pictures follow at full size.
TEST_F(DisplayScaleTest, ADpiChangeReLaysThePage) {
    CefRefPtr<CefBrowser> browser = Open("/scale.html");
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForPage(browser, "sizes() === '1.5 600x400'"));
    HWND window = browser->GetHost()->GetWindowHandle();
    struct Step {
        int dpi;
        const char* expected;  // devicePixelRatio, innerWidth x innerHeight
        int square_end;        // window pixel where the CSS square (100..200) ends
    };
    for (const Step& step : {Step{96, "1 900x600", 200}, Step{144, "1.5 600x400", 300}}) {
        SCOPED_TRACE(step.dpi);
        RECT place{0, 0, kWidth, kHeight};  // a child keeps its place whatever is suggested
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(step.dpi, step.dpi), LPARAM(&place));
        EXPECT_TRUE(WaitForPage(browser, std::string("sizes() === '") + step.expected + "'"))
            << Evaluate(browser, "sizes()").dump();
        const int inside = step.square_end - 5, outside = step.square_end + 5;
        EXPECT_TRUE(PumpUntil([&] {
            return FullSizePicture(browser) && Near(Pixel(browser, inside, inside), 0x0000FF) &&
                   Near(Pixel(browser, outside, outside), 0xFFFFFF);
        })) << PictureSizeText(browser)
            << std::hex << " " << Pixel(browser, inside, inside) << " "
            << Pixel(browser, outside, outside);
    }
}

// The picture shows the part of the page scrolled to, at the ratio's size.
TEST_F(DisplayScaleTest, AScrolledPageShowsThePartScrolledTo) {
    CefRefPtr<CefBrowser> browser = Open("/scroll.html");
    ASSERT_TRUE(browser);
    ASSERT_TRUE(WaitForPage(browser, "devicePixelRatio === 1.5"));
    Evaluate(browser, "scrollTo(0, 500)");
    // The square now lies at CSS 100..200 x 200..300 of the viewport: window pixels 150..300 x
    // 300..450.
    EXPECT_TRUE(PumpUntil([&] {
        return FullSizePicture(browser) && Near(Pixel(browser, 225, 440), 0x0000FF) &&
               Near(Pixel(browser, 225, 460), 0xFFFFFF) && Near(Pixel(browser, 225, 290), 0xFFFFFF);
    })) << std::hex
        << Pixel(browser, 225, 440) << " " << Pixel(browser, 225, 460) << " "
        << Pixel(browser, 225, 290) << " " << PictureSizeText(browser);
}

// A game page gets a WebGL context and draws with it.
TEST_F(DisplayScaleTest, AGamePageHasWebGl) {
    CefRefPtr<CefBrowser> browser = Open("/webgl.html");
    ASSERT_TRUE(browser);
    EXPECT_EQ(Evaluate(browser, "window.webgl"), "yes");
    EXPECT_EQ(Evaluate(browser, "window.drawn"), "255,128,0,255");
}

}  // namespace
}  // namespace browser_test

int wmain(int argc, wchar_t** argv) {
    if (const int code = korvex_test::RunAtDpi(browser_test::kDpi, argc, argv); code >= 0)
        return code;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
