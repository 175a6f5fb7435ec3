// The text of the game window's server line: "双线" + server + "区". Win32-free.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace korvex {

// Units of the label's text buffer, its terminator included: the whole text fits for servers
// of up to kServerLabelUnits - 4 characters.
inline constexpr std::size_t kServerLabelUnits = 100;

// Zeroes `buffer` and writes the label for `server` into it ("双线12区" for server "12"). A text
// that does not fit in front of the buffer's last unit is cut at its end (never half a
// surrogate pair); the buffer always ends terminated, and nothing is written outside it.
// Returns the text, which lies in `buffer`.
std::u16string_view FormatServerLabel(std::span<char16_t> buffer, std::u16string_view server);

}  // namespace korvex
