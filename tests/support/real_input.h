// Real input, as the user makes it (SendInput): the cursor moved to a screen point, the left
// button, keys. Wine routes mouse input to the window under the cursor and keys to the
// foreground window.
#pragma once

#include <windows.h>

namespace korvex_test {

void MoveMouseTo(POINT screen);
void LeftButton(bool down);
void TapKey(WORD virtualKey);

// The screen point at client point `client` of `window`.
POINT ScreenPoint(HWND window, POINT client);

}  // namespace korvex_test
