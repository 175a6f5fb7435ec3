// Opens one address in a window: open_address.exe [address]. Handy for screenshots.
#include <windows.h>

#include <atomic>
#include <string>

#include "cef/cef_app.h"
#include "cef/cef_browser.h"
#include "cef/cef_client.h"

namespace {

HWND g_frame = nullptr;

class SampleClient : public CefClient, public CefLifeSpanHandler {
  public:
    CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
    void OnAfterCreated(CefRefPtr<CefBrowser> browser) override { browser_ = browser; }
    void OnBeforeClose(CefRefPtr<CefBrowser>) override {
        browser_ = nullptr;
        PostMessageW(g_frame, WM_APP, 0, 0);  // now the frame may go
    }
    CefRefPtr<CefBrowser> browser_;
    IMPLEMENT_REFCOUNTING(SampleClient);
};

CefRefPtr<SampleClient> g_client;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SIZE:
            if (HWND view = FindWindowExW(hwnd, nullptr, L"CefBrowserWindow", nullptr)) {
                MoveWindow(view, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
            }
            return 0;
        case WM_CLOSE:
            if (g_client && g_client->browser_) {
                g_client->browser_->GetHost()->CloseBrowser(true);
                return 0;  // WM_APP follows once the browser has closed
            }
            DestroyWindow(hwnd);
            return 0;
        case WM_APP:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int show) {
    const std::wstring address =
        command_line && *command_line ? command_line : L"https://example.com/";
    CefSettings settings;
    settings.no_sandbox = 1;
    settings.multi_threaded_message_loop = 1;
    if (!CefInitialize(CefMainArgs(instance), settings, nullptr, nullptr)) {
        MessageBoxW(nullptr, L"No browser engine was found.", L"open_address", MB_ICONERROR);
        return 1;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.hbrBackground = HBRUSH(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"OpenAddressFrame";
    RegisterClassExW(&wc);
    g_frame =
        CreateWindowExW(0, wc.lpszClassName, address.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 1024, 768, nullptr, nullptr, instance, nullptr);
    ShowWindow(g_frame, show);

    g_client = new SampleClient;
    RECT rc;
    GetClientRect(g_frame, &rc);
    CefWindowInfo info;
    info.SetAsChild(g_frame, rc);
    CefBrowserHost::CreateBrowser(info, g_client.get(), CefString(address), CefBrowserSettings(),
                                  nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    g_client = nullptr;
    return 0;
}
