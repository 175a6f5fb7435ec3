// Where the page's caret lies for the input method's windows, read from the page's answer and
// carried to window pixels.
#include <gtest/gtest.h>

#include "browser/caret_place.h"

namespace {

using cef_detail::CaretPlace;
using cef_detail::DisplayScale;
using cef_detail::Json;

TEST(CaretPlace, ReadsTheCaretAndCarriesItToWindowPixels) {
    const auto caret = CaretPlace::Read(Json::parse(R"({"left":203.5,"top":150,"bottom":180})"));
    ASSERT_TRUE(caret);
    EXPECT_DOUBLE_EQ(caret->left, 203.5);
    struct Case {
        const char* name;
        DisplayScale scale;
        double left, top, bottom;
    };
    const Case cases[] = {
        {"96 dpi", DisplayScale::ForDpi(96), 204, 150, 180},  // rounded to whole pixels
        {"144 dpi", DisplayScale::ForDpi(144), 305, 225, 270},
        {"120 dpi", DisplayScale::ForDpi(120), 254, 188, 225},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CaretPlace in_window = caret->InWindow(c.scale);
        EXPECT_DOUBLE_EQ(in_window.left, c.left);
        EXPECT_DOUBLE_EQ(in_window.top, c.top);
        EXPECT_DOUBLE_EQ(in_window.bottom, c.bottom);
    }
}

TEST(CaretPlace, NoFocusedFieldOrABrokenAnswerIsNoPlace) {
    for (const char* answer :
         {"null", "{}", "[1,2,3]", R"({"left":1,"top":2})", R"({"left":"1","top":2,"bottom":3})",
          R"({"left":1,"top":30,"bottom":20})"}) {
        EXPECT_FALSE(CaretPlace::Read(Json::parse(answer))) << answer;
    }
}

}  // namespace
