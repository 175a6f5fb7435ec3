// Where the text caret of a page's focused field lies, for the input method's windows (the
// composition at the caret, the candidate list below it): the script that asks the page, the
// reader of its answer, and the answer in window pixels. Free of Win32.
#pragma once

#include <optional>
#include <string>

#include "browser/display_scale.h"
#include "devtools/connection.h"

namespace cef_detail {

struct CaretPlace {
    // The caret's left edge, top and bottom; CSS pixels of the page's viewport, or window
    // pixels after InWindow.
    double left = 0, top = 0, bottom = 0;

    // The page script that describes the caret of the focused editable element (a text field,
    // a text area or editable content, also inside an open shadow root); its value is what Read
    // takes. A one-line field's caret is measured in its text (at the selection's start); a text
    // area's is taken at the start of its box; editable content's at the end of its selection.
    // A focused frame element stands for the field inside it.
    static std::string Script();
    // Nothing when no editable element has the focus or the answer is not three finite numbers.
    static std::optional<CaretPlace> Read(const Json& value);

    // The same place in window pixels at the page's scale, rounded to whole pixels.
    CaretPlace InWindow(const DisplayScale& scale) const;
};

}  // namespace cef_detail
