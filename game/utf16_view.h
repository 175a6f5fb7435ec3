// Windows wide text seen as the portable code's UTF-16 units: wchar_t is the same 16-bit
// representation there, so buffers are viewed in place, never copied.
#pragma once

#include <span>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide text is UTF-16 on Windows only");

namespace korvex {

inline std::u16string_view AsUtf16(std::wstring_view text) {
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

// A writable buffer, e.g. `wchar_t label[kServerLabelUnits]` as AsUtf16(std::span(label)).
inline std::span<char16_t> AsUtf16(std::span<wchar_t> buffer) {
    return {reinterpret_cast<char16_t*>(buffer.data()), buffer.size()};
}

}  // namespace korvex
