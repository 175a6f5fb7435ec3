// Real input, as the user makes it (SendInput): the cursor moved to a screen point, the left
// button, keys. Wine routes mouse input to the window under the cursor and keys to the
// foreground window.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace korvex_test {

void MoveMouseTo(POINT screen);
void LeftButton(bool down);
void RightButton(bool down);
void TapKey(WORD virtualKey);
// Keys held down in the order given, then released in the reverse order (a combination such
// as Ctrl+Alt+Z). Keys of the extended block are sent as such.
void PressKeys(std::initializer_list<WORD> virtualKeys);

// The screen point at client point `client` of `window`.
POINT ScreenPoint(HWND window, POINT client);
// Where a window lies on the screen (GetWindowRect).
RECT WindowRect(HWND window);

// A small window of the test's own in the foreground with the keyboard focus, from which keys
// meant for another program are pressed (global hotkeys need some window with the focus).
class Typist {
  public:
    Typist();
    ~Typist();
    Typist(const Typist&) = delete;
    Typist& operator=(const Typist&) = delete;

  private:
    HWND window_ = nullptr;
};

}  // namespace korvex_test
