// The window a browser gets, and per-browser settings.
#pragma once

#include <windows.h>

#include <cstddef>

#include "cef/cef_string.h"

// The browser window: a child of parent_window (WS_CHILD in style) at x, y with the given size,
// or a top-level window when parent_window is null.
struct CefWindowInfo {
    DWORD ex_style = 0;
    CefString window_name;
    DWORD style = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    HWND parent_window = nullptr;
    HMENU menu = nullptr;
    int windowless_rendering_enabled = 0;
    int transparent_painting_enabled = 0;
    // Set by the library once the browser window exists.
    HWND window = nullptr;

    void SetAsChild(HWND parent, RECT rect) {
        style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VISIBLE;
        parent_window = parent;
        x = rect.left;
        y = rect.top;
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
    }
    void SetAsPopup(HWND parent, const CefString& name) {
        style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE;
        parent_window = parent;
        x = y = width = height = CW_USEDEFAULT;
        window_name = name;
    }
};

enum cef_state_t { STATE_DEFAULT = 0, STATE_ENABLED, STATE_DISABLED };

// Per-browser settings; every field keeps its default unless set.
struct CefBrowserSettings {
    std::size_t size = sizeof(CefBrowserSettings);
    int windowless_frame_rate = 0;
    CefString default_encoding;
    cef_state_t javascript = STATE_DEFAULT;
    cef_state_t plugins = STATE_DEFAULT;
    cef_state_t image_loading = STATE_DEFAULT;
    unsigned int background_color = 0;
    // The page's devicePixelRatio. 0: it follows the browser window's DPI, as a browser on
    // Windows does (DPI / 96, and again when the DPI changes); another value fixes it, e.g. 1
    // for a page laid over a picture drawn in fixed pixels.
    double device_scale_factor = 0;
};

// What a page asked for when it opened a pop-up.
struct CefPopupFeatures {
    int x = 0;
    int xSet = 0;
    int y = 0;
    int ySet = 0;
    int width = 0;
    int widthSet = 0;
    int height = 0;
    int heightSet = 0;
    int menuBarVisible = 1;
    int statusBarVisible = 1;
    int toolBarVisible = 1;
    int scrollbarsVisible = 1;
};
