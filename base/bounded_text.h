// Text built in a fixed buffer of UTF-16 units that stays terminated: the buffer is zeroed at
// the start, and what does not fit before its last unit is cut. Win32-free.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace korvex {

class BoundedText {
  public:
    // Zeroes `buffer`, which must outlive this object. An empty buffer takes no text.
    explicit BoundedText(std::span<char16_t> buffer);

    // Appends as much of `text` as fits in front of the terminator. A cut never splits a
    // surrogate pair. Once something has been cut, later appends add nothing, so the buffer
    // holds a prefix of the whole text. Returns false when `text` did not fit entirely.
    bool Append(std::u16string_view text);

    // The text written so far (without the terminator, which follows it in the buffer).
    std::u16string_view Text() const { return {buffer_.data(), length_}; }
    // True when some appended text did not fit.
    bool Cut() const { return cut_; }

  private:
    std::span<char16_t> buffer_;
    std::size_t length_ = 0;
    bool cut_ = false;
};

}  // namespace korvex
