// One argument quoted for a Windows command line, by the rules CommandLineToArgvW (and the C
// runtime) undo: an argument without blanks or quotes stays as it is; otherwise it is enclosed
// in quotes, quotes inside are escaped, and backslashes are doubled where they come before a
// quote.
#pragma once

#include <string>
#include <string_view>

namespace korvex {

template <class Char>
std::basic_string<Char> QuoteArgument(std::basic_string_view<Char> arg) {
    constexpr Char kQuote = Char('"'), kBackslash = Char('\\');
    auto is_special = [](Char c) {
        return c == Char(' ') || c == Char('\t') || c == Char('\n') || c == Char('\v') ||
               c == Char('"');
    };
    bool plain = !arg.empty();
    for (Char c : arg) plain = plain && !is_special(c);
    if (plain) return std::basic_string<Char>(arg);

    std::basic_string<Char> out(1, kQuote);
    for (auto it = arg.begin();; ++it) {
        std::size_t backslashes = 0;
        while (it != arg.end() && *it == kBackslash) ++it, ++backslashes;
        if (it == arg.end()) {
            out.append(backslashes * 2, kBackslash);
            break;
        }
        out.append(*it == kQuote ? backslashes * 2 + 1 : backslashes, kBackslash);
        out.push_back(*it);
    }
    out.push_back(kQuote);
    return out;
}

inline std::wstring QuoteArgument(const std::wstring& arg) {
    return QuoteArgument(std::wstring_view(arg));
}
inline std::wstring QuoteArgument(const wchar_t* arg) {
    return QuoteArgument(std::wstring_view(arg));
}

}  // namespace korvex
