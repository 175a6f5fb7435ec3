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

}  // namespace korvex_test
