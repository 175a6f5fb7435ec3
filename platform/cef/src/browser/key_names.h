// Names the page gives keys ("key" and "code" of a keyboard event) for Windows virtual keys.
#pragma once

#include <string>

namespace cef_detail {

struct KeyNames {
    std::string key;   // e.g. "Enter", "a", "ArrowLeft"; empty when unknown
    std::string code;  // e.g. "Enter", "KeyA", "ArrowLeft"; empty when unknown
};

// shift selects the shifted character of letters, digits and punctuation, as on a US keyboard
// ("A", "!", ":"); other keys keep their names.
KeyNames KeyNamesFor(int virtual_key, bool shift);

}  // namespace cef_detail
