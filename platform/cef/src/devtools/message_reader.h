// Reads one message of the DevTools pipe into JSON. Screencast frames, which carry a picture of
// hundreds of kilobytes as one base64 string many times a second, and replies whose result
// starts with a picture (a lossless capture, about a megabyte), are read without running the
// JSON parser over the picture: the rest of the message is parsed and the picture's text copied
// in whole. Anything else, or such a message not in the engine's usual shape, is parsed in
// full, with the same result. Free of Win32.
#pragma once

#include <string_view>

#include "devtools/connection.h"

namespace cef_detail {

// The message as JSON; a discarded value (is_discarded()) when the text is not JSON.
Json ReadMessage(std::string_view text);

}  // namespace cef_detail
