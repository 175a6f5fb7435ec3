#include "base/bounded_text.h"

#include <algorithm>

namespace korvex {

namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

BoundedText::BoundedText(std::span<char16_t> buffer) : buffer_(buffer) {
    std::fill(buffer_.begin(), buffer_.end(), u'\0');
}

bool BoundedText::Append(std::u16string_view text) {
    if (text.empty()) return true;
    if (cut_ || buffer_.empty()) {
        cut_ = true;
        return false;
    }
    const std::size_t room = buffer_.size() - 1 - length_;  // the last unit stays NUL
    std::size_t take = std::min(text.size(), room);
    if (take < text.size()) {
        cut_ = true;
        // Half a character is no character: a high surrogate whose partner is cut off goes too.
        if (take > 0 && IsHighSurrogate(text[take - 1])) --take;
    }
    std::copy_n(text.begin(), take, buffer_.begin() + static_cast<std::ptrdiff_t>(length_));
    length_ += take;
    return !cut_;
}

}  // namespace korvex
