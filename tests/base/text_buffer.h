// A UTF-16 buffer for the bounded-text tests, with guard units on both sides that the code
// under test must never touch.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

namespace korvex_test {

class TextBuffer {
  public:
    static constexpr std::size_t kGuardUnits = 16;
    static constexpr char16_t kGuard = u'\xA5A5';

    explicit TextBuffer(std::size_t units, char16_t fill = u'#')
        : units_(units), storage_(units + 2 * kGuardUnits, kGuard) {
        std::fill_n(storage_.begin() + kGuardUnits, units, fill);
    }

    std::span<char16_t> Span() { return {storage_.data() + kGuardUnits, units_}; }

    // Every unit from `index` to the end of the buffer is NUL (true for an index at the end).
    bool ZeroFrom(std::size_t index) const {
        if (index > units_) return false;
        const auto begin = storage_.begin() + static_cast<std::ptrdiff_t>(kGuardUnits + index);
        const auto end = storage_.begin() + static_cast<std::ptrdiff_t>(kGuardUnits + units_);
        return std::all_of(begin, end, [](char16_t u) { return u == 0; });
    }

    bool GuardsIntact() const {
        auto guard = [](char16_t u) { return u == kGuard; };
        const auto head = storage_.begin() + static_cast<std::ptrdiff_t>(kGuardUnits);
        const auto tail = head + static_cast<std::ptrdiff_t>(units_);
        return std::all_of(storage_.begin(), head, guard) &&
               std::all_of(tail, storage_.end(), guard);
    }

  private:
    std::size_t units_;
    std::vector<char16_t> storage_;
};

}  // namespace korvex_test
