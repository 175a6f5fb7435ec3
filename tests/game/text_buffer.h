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
        : m_units(units), m_storage(units + 2 * kGuardUnits, kGuard) {
        std::fill_n(m_storage.begin() + kGuardUnits, units, fill);
    }

    std::span<char16_t> Span() { return {m_storage.data() + kGuardUnits, m_units}; }

    // Every unit from `index` to the end of the buffer is NUL (true for an index at the end).
    bool ZeroFrom(std::size_t index) const {
        if (index > m_units) return false;
        const auto begin = m_storage.begin() + static_cast<std::ptrdiff_t>(kGuardUnits + index);
        const auto end = m_storage.begin() + static_cast<std::ptrdiff_t>(kGuardUnits + m_units);
        return std::all_of(begin, end, [](char16_t u) { return u == 0; });
    }

    bool GuardsIntact() const {
        auto guard = [](char16_t u) { return u == kGuard; };
        const auto head = m_storage.begin() + static_cast<std::ptrdiff_t>(kGuardUnits);
        const auto tail = head + static_cast<std::ptrdiff_t>(m_units);
        return std::all_of(m_storage.begin(), head, guard) &&
               std::all_of(tail, m_storage.end(), guard);
    }

  private:
    std::size_t m_units;
    std::vector<char16_t> m_storage;
};

}  // namespace korvex_test
