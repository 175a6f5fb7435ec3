#include "game/bounded_text.h"

#include <algorithm>

namespace korvex {

namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

BoundedText::BoundedText(std::span<char16_t> buffer) : m_buffer(buffer) {
    std::fill(m_buffer.begin(), m_buffer.end(), u'\0');
}

bool BoundedText::Append(std::u16string_view text) {
    if (text.empty()) return true;
    if (m_cut || m_buffer.empty()) {
        m_cut = true;
        return false;
    }
    const std::size_t room = m_buffer.size() - 1 - m_length;  // the last unit stays NUL
    std::size_t take = std::min(text.size(), room);
    if (take < text.size()) {
        m_cut = true;
        // Half a character is no character: a high surrogate whose partner is cut off goes too.
        if (take > 0 && IsHighSurrogate(text[take - 1])) --take;
    }
    std::copy_n(text.begin(), take, m_buffer.begin() + static_cast<std::ptrdiff_t>(m_length));
    m_length += take;
    return !m_cut;
}

}  // namespace korvex
