// Windows keeps text in 16-bit wchar_t units, the same representation as char16_t: the
// portable rules take char16_t text, and the windows hand them their buffers through these
// views without copying.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace korvex {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

inline std::u16string_view AsU16(std::wstring_view wide) {
    return {reinterpret_cast<const char16_t*>(wide.data()), wide.size()};
}
inline std::wstring_view AsWide(std::u16string_view text) {
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}
inline const wchar_t* AsWide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}
inline wchar_t* AsWide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }
inline char16_t* AsU16(wchar_t* text) { return reinterpret_cast<char16_t*>(text); }
inline const char16_t* AsU16(const wchar_t* text) {
    return reinterpret_cast<const char16_t*>(text);
}
// A writable buffer, e.g. `wchar_t label[100]` as AsU16(std::span(label)).
inline std::span<char16_t> AsU16(std::span<wchar_t> buffer) {
    return {reinterpret_cast<char16_t*>(buffer.data()), buffer.size()};
}

}  // namespace korvex
