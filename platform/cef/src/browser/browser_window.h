// The Win32 window of a browser (class "CefBrowserWindow"): paints the page's latest frame and
// forwards mouse, keyboard, IME text and focus to the page. Lives on TID_UI.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "browser/caret_place.h"
#include "browser/clipboard_script.h"
#include "browser/display_scale.h"
#include "cef/cef_window_info.h"
#include "devtools/commands.h"

namespace cef_detail {

class FramePainter;

class BrowserWindow {
  public:
    class Delegate {
      public:
        virtual void OnWindowResized(int width, int height) = 0;
        // The window's DPI changed (it moved to a display of another scale).
        virtual void OnWindowScaleChanged() = 0;
        // The page's devicePixelRatio now.
        virtual DisplayScale ViewScale() = 0;
        // The window came into sight or went out of it: itself or one of its ancestors was
        // shown or hidden, or its top-level window was minimised or restored.
        virtual void OnWindowShownChanged(bool shown) = 0;
        // WM_DESTROY: the window is going, whoever destroyed it.
        virtual void OnWindowDestroyed() = 0;
        // A clipboard key of the player's (or WM_COPY, WM_CUT, WM_PASTE from an input method or
        // another program); the key itself does not reach the page.
        virtual void OnClipboardCommand(ClipboardAction action) = 0;
        // A right click at client coordinates, after the page has seen the button.
        virtual void OnContextMenuRequested(int x, int y) = 0;
        // The input method starts composing: its windows want the page's caret
        // (PlaceInputMethod).
        virtual void OnInputMethodStarted() = 0;
        // The page session input goes to; empty while the page is not attached.
        virtual const std::string& WindowSession() = 0;
        virtual FramePainter* Painter() = 0;

      protected:
        ~Delegate() = default;
    };

    static constexpr wchar_t kClassName[] = L"CefBrowserWindow";

    // Creates the window as info says. Null handle when creation failed. Input goes to the page
    // over connection, which outlives the window.
    BrowserWindow(const CefWindowInfo& info, Connection& connection, Delegate* delegate);
    // Safe on any thread and inside the window's own WM_DESTROY.
    ~BrowserWindow();
    BrowserWindow(const BrowserWindow&) = delete;
    BrowserWindow& operator=(const BrowserWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    // Whether the window could be seen when last checked (see Delegate::OnWindowShownChanged).
    bool shown() const { return shown_; }
    // Puts the input method's composition at the caret and its candidate list below it
    // (window pixels).
    void PlaceInputMethod(const CaretPlace& caret);
    // The window's DPI now: as the last WM_DPICHANGED told it, else the system's word for the
    // window (96 where the system cannot tell a window's own DPI).
    int Dpi() const;
    // Checks now whether the window can be seen (the delegate hears of a change first, as from
    // the periodic check) and returns it.
    bool RefreshShown();
    // Destroys the window (TID_UI); the delegate hears of it through OnWindowDestroyed.
    void Destroy();

  private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    // One kind of message each; nullopt: not handled there.
    std::optional<LRESULT> HandleWindow(UINT msg, WPARAM wp, LPARAM lp);  // paint, size, focus
    std::optional<LRESULT> HandleMouse(UINT msg, WPARAM wp, LPARAM lp);
    std::optional<LRESULT> HandleKeys(UINT msg, WPARAM wp, LPARAM lp);
    std::optional<LRESULT> HandleInputMethod(UINT msg, LPARAM lp);
    void OnMouseMove(WPARAM wp, LPARAM lp);
    void OnButtonDown(MouseButton button, int click_count, WPARAM wp, LPARAM lp);
    void OnButtonUp(MouseButton button, WPARAM wp, LPARAM lp);
    void OnWheel(WheelAxis axis, WPARAM wp, LPARAM lp);
    void Paint();
    void CheckShown();
    // Sends command on the page's session; dropped while the page is not attached.
    void Send(Command command);
    void SendMouse(MouseAction action, LPARAM lp, MouseButton button, int click_count, WPARAM wp);
    void SendKey(KeyAction action, WPARAM wp, LPARAM lp);
    int Modifiers() const;

    HWND hwnd_ = nullptr;
    Connection& connection_;
    Delegate* delegate_;  // cleared once the window is being destroyed
    bool destroying_ = false;
    bool tracking_leave_ = false;
    bool shown_ = true;
    // The control character a clipboard key's press makes (Ctrl+V is U+0016) is not typed.
    bool clipboard_key_down_ = false;
    int told_dpi_ = 0;  // the last WM_DPICHANGED's DPI; 0: ask the system
    CharacterJoiner characters_;
};

}  // namespace cef_detail
