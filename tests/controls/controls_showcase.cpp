// Shows the skinned controls on a desktop of their own and saves a picture of it as a PNG:
// layered buttons in each of their looks composed into a layered window, a title strip of
// image buttons with captions, and a coloured label. States are set with the messages the
// mouse would send. Usage: controls_showcase <output.png>
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <afx/afx.h>

#include <cstdio>
#include <cwchar>
#include <memory>
#include <vector>

#include "controls/image_button.h"
#include "controls/layered_button.h"
#include "controls/s_text.h"
#include "controls_test_support.h"
#include "layered_owner.h"
#include "resource.h"

namespace {

using namespace controls_test;

constexpr RECT kPicture{0, 0, 900, 360};  // the part of the screen the picture shows
constexpr COLORREF kDesktop = RGB(38, 110, 140);
constexpr COLORREF kStripe = RGB(56, 132, 160);

// A striped desktop, so that the layered window's transparent parts can be seen.
class Desktop : public CWnd {
  public:
    Desktop() {
        CreateEx(0, PlainWindowClass(), L"desktop", WS_POPUP | WS_VISIBLE, 0, 0,
                 ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr,
                 nullptr);
    }

  protected:
    BOOL OnEraseBkgnd(CDC* pDC) {
        RECT all{};
        GetClientRect(&all);
        HBRUSH ground = ::CreateSolidBrush(kDesktop);
        ::FillRect(pDC->m_hDC, &all, ground);
        ::DeleteObject(ground);
        HPEN pen = ::CreatePen(PS_SOLID, 6, kStripe);
        HGDIOBJ previous = ::SelectObject(pDC->m_hDC, pen);
        for (int x = -all.bottom; x < all.right; x += 28) {
            ::MoveToEx(pDC->m_hDC, x, all.bottom, nullptr);
            ::LineTo(pDC->m_hDC, x + all.bottom, 0);
        }
        ::SelectObject(pDC->m_hDC, previous);
        ::DeleteObject(pen);

        // What the picture shows below.
        ::SetBkMode(pDC->m_hDC, TRANSPARENT);
        ::SetTextColor(pDC->m_hDC, RGB(255, 255, 255));
        HFONT font = ::CreateFontW(16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                                   0, 0, L"宋体");
        previous = ::SelectObject(pDC->m_hDC, font);
        static constexpr wchar_t kStrip[] =
            L"CImageButton (hover: 刷新, pressed: 充值, disabled: logo, hover: close) and CSText";
        ::TextOutW(pDC->m_hDC, 30, 256, kStrip, static_cast<int>(std::wcslen(kStrip)));
        ::SelectObject(pDC->m_hDC, previous);
        ::DeleteObject(font);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_MESSAGE_MAP(Desktop, CWnd, afx::On<WM_ERASEBKGND, &Desktop::OnEraseBkgnd>());

// The layered window: a dark red panel inside a see-through frame, with a see-through slot and
// the names of the looks under their columns.
class Panel : public LayeredOwner {
  public:
    Panel() : LayeredOwner({30, 30}, {620, 210}, 0xFF3A1010) {}

  protected:
    void DrawGround(Gdiplus::Graphics& graphics) override {
        LayeredOwner::DrawGround(graphics);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        Gdiplus::SolidBrush clear{Gdiplus::Color(0, 0, 0, 0)};
        graphics.FillRectangle(&clear, 540, 40, 50, 130);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceOver);

        Gdiplus::Font font(L"Arial", 10, Gdiplus::FontStyleRegular, Gdiplus::UnitPoint);
        Gdiplus::SolidBrush text{Gdiplus::Color(255, 235, 215, 160)};
        graphics.DrawString(L"CLayeredButton, composed into a layered window", -1, &font,
                            Gdiplus::PointF(20, 14), &text);
        const wchar_t* looks[] = {L"normal", L"hover", L"pressed"};
        for (int look = 0; look < 3; ++look)
            graphics.DrawString(looks[look], -1, &font,
                                Gdiplus::PointF(static_cast<Gdiplus::REAL>(60 + look * 170), 170),
                                &text);
    }
};

// What the mouse would send the control, sent straight away.
void Send(CWnd& window, UINT message) {
    ::SendMessageW(window.m_hWnd, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                   MAKELPARAM(3, 3));
}

bool SavePng(HDC source, const RECT& area, const wchar_t* path) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    Canvas canvas(width, height);
    ::BitBlt(canvas.dc(), 0, 0, width, height, source, area.left, area.top, SRCCOPY);
    Pixels pixels = canvas.Read();
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data{};
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) !=
        Gdiplus::Ok)
        return false;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(data.Scan0) +
                                                     std::ptrdiff_t(y) * data.Stride);
        for (int x = 0; x < width; ++x) row[x] = pixels.at(x, y) | 0xFF000000;
    }
    bitmap.UnlockBits(&data);

    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<std::uint8_t> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    for (UINT i = 0; i < count; ++i) {
        if (std::wcscmp(encoders[i].MimeType, L"image/png") == 0)
            return bitmap.Save(path, &encoders[i].Clsid, nullptr) == Gdiplus::Ok;
    }
    return false;
}

int Run(const wchar_t* output) {
    Desktop desktop;
    Panel panel;

    // Layered buttons: the official-site link and the close button, each normal, hovered and
    // pressed.
    const UINT official[5] = {IDP_OFFICIAL, IDP_OFFICIAL_PRESSED, IDP_OFFICIAL_HOVER,
                              IDP_OFFICIAL_PRESSED, 0};
    const UINT close[5] = {IDP_CLOSE, IDP_CLOSE_PRESSED, IDP_CLOSE_HOVER, IDP_CLOSE_PRESSED, 0};
    std::vector<std::unique_ptr<CLayeredButton>> layered;
    for (int look = 0; look < 3; ++look) {
        for (int row = 0; row < 2; ++row) {
            auto button = std::make_unique<CLayeredButton>();
            const int x = 50 + look * 170, y = row == 0 ? 60 : 120;
            button->Create(nullptr, WS_CHILD | WS_VISIBLE, {x, y, x + 10, y + 10}, &panel, 0);
            button->SetImages(row == 0 ? official : close, L"PNG", nullptr);
            panel.Add(button.get());
            if (look >= 1) Send(*button, WM_MOUSEHOVER);
            if (look == 2) Send(*button, WM_LBUTTONDOWN);
            layered.push_back(std::move(button));
        }
    }
    ::ReleaseCapture();
    panel.Compose();

    // The title strip: image buttons on black, one hovered, one pressed, the logo disabled.
    CWnd strip;
    strip.CreateEx(0, PlainWindowClass(), L"strip", WS_POPUP | WS_VISIBLE, 30, 282, 840, 44,
                   nullptr, nullptr);
    HBRUSH black = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    ::SetClassLongPtrW(strip.m_hWnd, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(black));
    struct ButtonSetup {
        const wchar_t* caption;
        UINT normal, hover, disabled;
        int x, y;
    };
    const ButtonSetup setups[] = {
        {nullptr, IDP_LOGO_SMALL, 0, 0, 2, 2},
        {L"刷新", IDP_REFRESH_ICON, IDP_REFRESH_ICON_HOVER, IDP_REFRESH_ICON_DISABLED, 330, 14},
        {L"充值", IDP_RECHARGE_ICON, IDP_RECHARGE_ICON_HOVER, IDP_RECHARGE_ICON_DISABLED, 390, 14},
        {L"官网", IDP_HOME_ICON, IDP_HOME_ICON_HOVER, IDP_HOME_ICON_DISABLED, 450, 14},
        {L"老板键", IDP_BOSSKEY_ICON, IDP_BOSSKEY_ICON_HOVER, 0, 510, 14},
        {L"清缓存", IDP_CLEAR_CACHE_ICON, IDP_CLEAR_CACHE_ICON_HOVER, 0, 582, 14},
        {nullptr, IDP_HIDE, IDP_HIDE_HOVER, 0, 680, 11},
        {nullptr, IDP_WIN_MINIMIZE, IDP_WIN_MINIMIZE_HOVER, IDP_WIN_MINIMIZE_DISABLED, 720, 11},
        {nullptr, IDP_WIN_MAXIMIZE, IDP_WIN_MAXIMIZE_HOVER, IDP_WIN_MAXIMIZE_DISABLED, 760, 11},
        {nullptr, IDP_WIN_CLOSE, IDP_WIN_CLOSE_HOVER, IDP_WIN_CLOSE_DISABLED, 800, 11},
    };
    std::vector<std::unique_ptr<CImageButton>> buttons;
    for (const ButtonSetup& s : setups) {
        auto button = std::make_unique<CImageButton>();
        button->Create(s.caption, WS_CHILD | WS_VISIBLE, {s.x, s.y, s.x + 100, s.y + 20}, &strip,
                       0);
        button->SetImages(s.normal, s.hover, s.disabled);
        buttons.push_back(std::move(button));
    }
    buttons[0]->EnableWindow(FALSE);   // the logo
    Send(*buttons[1], WM_MOUSEHOVER);  // 刷新 hovered
    Send(*buttons[2], WM_MOUSEHOVER);  // 充值 pressed
    Send(*buttons[2], WM_LBUTTONDOWN);
    ::ReleaseCapture();
    Send(*buttons[9], WM_MOUSEHOVER);  // close hovered

    CSText label;
    label.Create(L"", WS_CHILD | WS_VISIBLE, {60, 12, 300, 32}, &strip, 0);
    label.SetBkColor(RGB(0, 0, 0));
    label.SetTextColor(RGB(255, 255, 255));
    label.SetFont(16, 0, 400, FALSE, FALSE, FALSE, L"宋体");
    label.SetWindowText(L"服务器：双线三区  账号：player01");

    ::RedrawWindow(desktop.m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Settle();
    ::RedrawWindow(strip.m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Settle();

    HDC screen = ::GetDC(nullptr);
    const bool saved = SavePng(screen, kPicture, output);
    ::ReleaseDC(nullptr, screen);
    panel.Reset();
    std::fprintf(stderr, saved ? "saved\n" : "could not save the picture\n");
    return saved ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: controls_showcase <output.png>\n");
        return 2;
    }
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return 1;
    const int result = Run(argv[1]);
    Gdiplus::GdiplusShutdown(token);
    return result;
}
