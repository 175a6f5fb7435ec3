// The state of a layered button and the image it calls for, decided without a window.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace korvex {

// Slots of a layered button's images, in the order its owner lists them.
enum class LayeredImage : std::size_t {
    Normal = 0,
    Disabled = 1,
    Hover = 2,
    Pressed = 3,
    Checked = 4
};
inline constexpr std::size_t kLayeredImageCount = 5;

// Which slots hold an image.
using LayeredImagesPresent = std::array<bool, kLayeredImageCount>;

struct LayeredButtonState {
    bool hover = false;     // the mouse rests over the button
    bool pressed = false;   // the left button went down on it and has not come up
    bool disabled = false;  // the last enable change disabled it
    bool checked = false;   // check state of the check-box and radio-button styles
    friend bool operator==(const LayeredButtonState&, const LayeredButtonState&) = default;
};

// Hover (pressed while the button is down) beats disabled, which beats checked; a state whose
// slot is empty, or no such state, shows the normal image.
LayeredImage ChooseLayeredImage(const LayeredButtonState& state,
                                const LayeredImagesPresent& present);

// Check boxes and radio buttons (BS_CHECKBOX, BS_AUTOCHECKBOX, BS_RADIOBUTTON,
// BS_AUTORADIOBUTTON), whatever other style bits come with them.
bool IsCheckStyle(std::uint32_t windowStyle);

// WM_ENABLE's flag: anything but exactly TRUE (1) disables.
bool DisabledByEnableFlag(std::uintptr_t enableFlag);

// The state after the left button comes up, `inside` the button's client area or not. A release
// inside toggles a check style's check state and leaves other styles unchecked; a release
// outside ends hover at once.
LayeredButtonState ReleasedState(LayeredButtonState state, bool inside, bool checkStyle);

}  // namespace korvex
