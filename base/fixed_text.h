// Text copied into a fixed buffer of N units: at most N - 1 units and a terminator, the rest
// cut. Nothing is ever written past the buffer.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace korvex {

// Returns the number of units copied (without the terminator).
template <class Char>
std::size_t CopyCut(Char* buffer, std::size_t units, std::basic_string_view<Char> text) {
    if (units == 0) return 0;
    const std::size_t n = std::min(text.size(), units - 1);
    std::copy_n(text.data(), n, buffer);
    buffer[n] = Char(0);
    return n;
}

template <class Char, std::size_t N>
std::size_t CopyCut(Char (&buffer)[N], std::basic_string_view<Char> text) {
    return CopyCut(buffer, N, text);
}

}  // namespace korvex
