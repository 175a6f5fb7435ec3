// What lies under the pointer in a page, for a right-click menu: the script that asks the page
// and the reader of its answer. Free of Win32.
#pragma once

#include <string>

#include "devtools/connection.h"

namespace cef_detail {

struct PageHit {
    std::string link;       // address of the link under the pointer; empty when none
    std::string page_url;   // the page's address
    std::string frame_url;  // the address of the frame element under the pointer, or the page's
    std::string selection;  // the page's selected text
    bool editable = false;  // a text field or an editable element
    bool media = false;     // an image, video, audio or canvas
    bool frame = false;     // a frame element

    // The page script that describes the element at client point (x, y); its value is what
    // Read takes.
    static std::string Script(int x, int y);
    // Missing or mistyped fields read as empty or false (nothing is under the pointer).
    static PageHit Read(const Json& value);
};

}  // namespace cef_detail
