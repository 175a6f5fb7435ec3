#include "controls/layered_button_state.h"

namespace korvex {

namespace {

// Low style bits that name the button's kind (BS_TYPEMASK).
constexpr std::uint32_t kButtonTypeMask = 0x0F;
constexpr std::uint32_t kCheckBox = 0x2, kAutoCheckBox = 0x3, kRadioButton = 0x4,
                        kAutoRadioButton = 0x9;

}  // namespace

LayeredImage ChooseLayeredImage(const LayeredButtonState& state,
                                const LayeredImagesPresent& present) {
    LayeredImage wanted = LayeredImage::Normal;
    if (state.hover)
        wanted = state.pressed ? LayeredImage::Pressed : LayeredImage::Hover;
    else if (state.disabled)
        wanted = LayeredImage::Disabled;
    else if (state.checked)
        wanted = LayeredImage::Checked;
    return present[static_cast<std::size_t>(wanted)] ? wanted : LayeredImage::Normal;
}

bool IsCheckStyle(std::uint32_t windowStyle) {
    switch (windowStyle & kButtonTypeMask) {
        case kCheckBox:
        case kAutoCheckBox:
        case kRadioButton:
        case kAutoRadioButton:
            return true;
        default:
            return false;
    }
}

bool DisabledByEnableFlag(std::uintptr_t enableFlag) { return enableFlag != 1; }

LayeredButtonState ReleasedState(LayeredButtonState state, bool inside, bool checkStyle) {
    state.pressed = false;
    if (!inside)
        state.hover = false;
    else
        state.checked = checkStyle && !state.checked;
    return state;
}

}  // namespace korvex
