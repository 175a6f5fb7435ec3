// The launcher window inside a test program of its own (running from a copy in a fresh folder,
// since the launcher reads sysctrl.dat beside its executable): where it goes, how its layer
// looks on the screen, and when it composes that layer again.
#include <winsock2.h>

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <vector>

#include "base/exe_paths.h"
#include "browser_support.h"
#include "config/ConfigEncipher.h"
#include "controls/resource_image.h"
#include "korvex_process.h"
#include "launcher/korvex_dlg.h"
#include "page_server_process.h"
#include "real_input.h"
#include "resources/resource.h"
#include "scratch_copy.h"
#include "screen_pixels.h"

namespace {

using namespace korvex_test;
using namespace std::chrono_literals;

constexpr int kBackgroundWidth = 1081;
constexpr int kBackgroundHeight = 601;
constexpr std::uint32_t kDesktop = 0xFFFF00FF;  // magenta: no picture has it

// The launcher, with its compositions counted.
class CountingLauncher : public CKorvexDlg {
  public:
    int renders = 0;
    void OnRender(CLayeredButton* sender) override {
        ++renders;
        CKorvexDlg::OnRender(sender);
    }
    const std::list<CLayeredButton*>& Buttons() const { return m_layeredButtons; }
    HWND Host() const { return m_browserDlg.GetSafeHwnd(); }
};

// A window of one colour over the whole screen, beneath everything that comes later.
class Desktop {
  public:
    Desktop() {
        static const ATOM atom = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hbrBackground = CreateSolidBrush(RGB(255, 0, 255));
            wc.lpszClassName = L"LauncherTestDesktop";
            return RegisterClassW(&wc);
        }();
        (void)atom;
        window_ = CreateWindowExW(0, L"LauncherTestDesktop", L"desktop", WS_POPUP | WS_VISIBLE, 0,
                                  0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        UpdateWindow(window_);
    }
    ~Desktop() { DestroyWindow(window_); }

  private:
    HWND window_ = nullptr;
};

class LauncherWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(browser_test::EngineStarted());
        ASSERT_TRUE(server_.running());
        config_ = DemoConfig(server_.Origin(), "/login.html");
        const std::vector<std::uint8_t> file = korvex::EncipherRecord(config_);
        std::ofstream out(std::filesystem::path(std::wstring(GetExeDirectory()) + L"sysctrl.dat"),
                          std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work_area_, 0);
    }
    void TearDown() override {
        if (launcher_.GetSafeHwnd()) launcher_.DestroyWindow();
        SystemParametersInfoW(SPI_SETWORKAREA, 0, &work_area_, 0);
        PumpFor(200ms);
    }

    bool Open() {
        if (!launcher_.Create(IDD_LAUNCHER, nullptr)) return false;
        // Up, with its page loaded in the host.
        return server_.WaitFor([](const std::vector<std::string>& r) {
            return std::find(r.begin(), r.end(), "GET /report?loaded=login") != r.end();
        });
    }

    RECT ButtonOnScreen(UINT id) { return WindowRect(::GetDlgItem(launcher_.m_hWnd, id)); }
    Pixels Shows(UINT id) { return CaptureScreen(ButtonOnScreen(id)); }
    static POINT Middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

    PageServerProcess server_{SourcePath("tests/launcher/pages")};
    SysCtrlConfig config_{};
    RECT work_area_{};
    CountingLauncher launcher_;
};

TEST_F(LauncherWindowTest, TakesTheBackgroundsSizeAndThePlaceTheFormulaGives) {
    struct Case {
        RECT work;
        POINT expected;
    };
    const Case cases[] = {
        {{0, 0, 1920, 1040}, {419, 219}},     // centred
        {{100, 50, 1920, 1080}, {369, 214}},  // (right - W - left) / 2, (bottom - H - top) / 2
        {{0, 0, 1000, 500}, {-40, -50}},      // smaller than the picture: toward zero
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.work.left) + "," + std::to_string(c.work.top));
        RECT work = c.work;
        ASSERT_TRUE(SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, 0));
        CountingLauncher launcher;
        ASSERT_TRUE(launcher.Create(IDD_LAUNCHER, nullptr));
        const RECT r = WindowRect(launcher.m_hWnd);
        EXPECT_EQ(r.left, c.expected.x);
        EXPECT_EQ(r.top, c.expected.y);
        EXPECT_EQ(r.right - r.left, kBackgroundWidth);
        EXPECT_EQ(r.bottom - r.top, kBackgroundHeight);
        EXPECT_TRUE(launcher.GetExStyle() & WS_EX_LAYERED);
        // The host lies over the configured web-view place.
        const RECT host = WindowRect(launcher.Host());
        EXPECT_EQ(host.left - r.left, config_.nBrowserLeft);
        EXPECT_EQ(host.top - r.top, config_.nBrowserTop);
        EXPECT_EQ(host.right - host.left, config_.nBrowserWidth);
        EXPECT_EQ(host.bottom - host.top, config_.nBrowserHeight);
        launcher.DestroyWindow();
    }
}

TEST_F(LauncherWindowTest, ButtonsSitAtTheirConfiguredCornersSizedToTheirPictures) {
    ASSERT_TRUE(Open());
    struct Button {
        UINT id;
        korvex::ConfigRect SysCtrlConfig::*rect;
        SIZE picture;
    };
    const Button buttons[] = {
        {2001, &SysCtrlConfig::rcOfficialBtn, {71, 24}},
        {2002, &SysCtrlConfig::rcRechargeBtn, {71, 24}},
        {2003, &SysCtrlConfig::rcServiceBtn, {71, 24}},
        {2004, &SysCtrlConfig::rcForumBtn, {71, 22}},
        {2005, &SysCtrlConfig::rcMinimizeBtn, {27, 27}},
        {2006, &SysCtrlConfig::rcCloseBtn, {27, 27}},
    };
    const RECT launcher = WindowRect(launcher_.m_hWnd);
    std::vector<int> order;
    for (CLayeredButton* b : launcher_.Buttons()) order.push_back(b->GetDlgCtrlID());
    EXPECT_EQ(order, (std::vector<int>{2001, 2002, 2003, 2004, 2005, 2006}));
    for (const Button& b : buttons) {
        SCOPED_TRACE(b.id);
        const RECT r = ButtonOnScreen(b.id);
        EXPECT_EQ(r.left - launcher.left, (config_.*b.rect).left);
        EXPECT_EQ(r.top - launcher.top, (config_.*b.rect).top);
        EXPECT_EQ(r.right - r.left, b.picture.cx);
        EXPECT_EQ(r.bottom - r.top, b.picture.cy);
    }
}

TEST_F(LauncherWindowTest, TheDesktopShowsThroughWhereThePictureIsTransparent) {
    Desktop desktop;
    ASSERT_TRUE(Open());
    PumpFor(300ms);
    std::unique_ptr<Gdiplus::Image> image(
        LoadResourceImage(IDP_LAUNCHER_BACKGROUND, L"PNG", nullptr));
    auto* background = static_cast<Gdiplus::Bitmap*>(image.get());
    const RECT launcher = WindowRect(launcher_.m_hWnd);
    const RECT host = WindowRect(launcher_.Host());
    const Pixels screen = CaptureScreen(launcher);
    int transparent = 0, opaque = 0;
    for (int y = 0; y < kBackgroundHeight; y += 7) {
        for (int x = 0; x < kBackgroundWidth; x += 7) {
            const POINT at{launcher.left + x, launcher.top + y};
            if (PtInRect(&host, at)) continue;
            bool on_button = false;
            for (CLayeredButton* b : launcher_.Buttons()) {
                const RECT r = WindowRect(b->m_hWnd);
                on_button = on_button || PtInRect(&r, at);
            }
            if (on_button) continue;
            Gdiplus::Color c;
            background->GetPixel(x, y, &c);
            if (c.GetA() == 0) {
                ++transparent;
                EXPECT_EQ(Rgb(screen.at(x, y)), Rgb(kDesktop)) << x << "," << y;
            } else if (c.GetA() == 255) {
                ++opaque;
                EXPECT_NE(Rgb(screen.at(x, y)), Rgb(kDesktop)) << x << "," << y;
            }
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(transparent, 100);
    EXPECT_GT(opaque, 100);
}

TEST_F(LauncherWindowTest, AButtonsPictureChangeRecomposesTheLayerOnce) {
    ASSERT_TRUE(Open());
    const RECT official = ButtonOnScreen(2001);
    const Pixels normal = Shows(2001);
    const int start = launcher_.renders;
    MoveMouseTo({official.left - 30, official.top - 30});
    PumpFor(200ms);
    EXPECT_EQ(launcher_.renders, start);  // the picture alone: nothing changes

    MoveMouseTo(Middle(official));
    ASSERT_TRUE(PumpUntil([&] { return launcher_.renders == start + 1; }));
    PumpFor(150ms);
    EXPECT_EQ(launcher_.renders, start + 1);
    const Pixels hover = Shows(2001);
    EXPECT_NE(hover, normal);
    MoveMouseTo({official.left + 5, official.top + 5});  // still on it
    PumpFor(200ms);
    EXPECT_EQ(launcher_.renders, start + 1);

    LeftButton(true);  // hovered and pressed: the pressed picture
    ASSERT_TRUE(PumpUntil([&] { return launcher_.renders == start + 2; }));
    const Pixels pressed = Shows(2001);
    EXPECT_NE(pressed, hover);
    EXPECT_NE(pressed, normal);
    MoveMouseTo({official.left - 30, official.top - 30});
    LeftButton(false);  // released outside: no click, the normal picture at once
    ASSERT_TRUE(PumpUntil([&] { return launcher_.renders == start + 3; }));
    PumpFor(200ms);
    EXPECT_EQ(Shows(2001), normal);
}

}  // namespace

int main(int argc, char** argv) {
    int wide_count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &wide_count);
    const int copied = korvex_test::RunAsScratchCopy(wide_count, wide);
    LocalFree(wide);
    if (copied >= 0) return copied;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
