// Text on the system clipboard (CF_UNICODETEXT).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace korvex {

// The clipboard's text up to its first NUL; none when it holds no text or cannot be opened.
std::optional<std::u16string> ReadClipboardText(HWND owner);
// Puts text on the clipboard in place of everything on it, owned by owner (a window of this
// thread); false when the clipboard cannot be opened or the text not stored.
bool WriteClipboardText(HWND owner, std::u16string_view text);

}  // namespace korvex
