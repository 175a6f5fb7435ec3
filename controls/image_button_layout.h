// What an image button shows and how large it is, decided without a window: the picture for
// its state, the one-pixel pressed shift, where picture and caption go, and the button's size.
// Sizes and positions are in pixels of the button's own client area.
#pragma once

#include <cstddef>

namespace korvex {

struct PixelSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

struct PixelPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// The caption buffer holds this many UTF-16 units, its terminator included.
inline constexpr std::size_t kImageButtonCaptionUnits = 260;
// Units of a caption of `length` units that the button keeps: longer captions keep their start.
std::size_t ImageButtonCaptionLength(std::size_t length);

// Space between the picture's right edge and the caption.
inline constexpr int kImageButtonCaptionGap = 2;
// How far the pressed look moves picture and caption, right and down.
inline constexpr int kImageButtonPressedShift = 1;

enum class ImageButtonPicture { None, Normal, Hover, Disabled };

// Which pictures the button holds.
struct ImageButtonPictures {
    bool normal = false;
    bool hover = false;
    bool disabled = false;
};

struct ImageButtonState {
    bool enabled = true;
    bool hover = false;
    bool pressed = false;
};

struct ImageButtonLook {
    ImageButtonPicture picture = ImageButtonPicture::None;  // None: the button shows black only
    int shift = 0;                                          // 0 or kImageButtonPressedShift
    friend bool operator==(const ImageButtonLook&, const ImageButtonLook&) = default;
};

// Disabled shows the disabled picture (else the normal one) unshifted; hover shows the hover
// picture (else the normal one), shifted while pressed; otherwise the normal picture.
ImageButtonLook ChooseImageButtonLook(ImageButtonState state, ImageButtonPictures pictures);

// The picture the button is sized to: the normal one, else the disabled one, else none.
ImageButtonPicture ImageButtonSizingPicture(ImageButtonPictures pictures);

// The button's size for a picture and, when it has one, its caption's extent: picture, gap and
// caption side by side, one pixel of room for the pressed shift.
PixelSize ImageButtonSize(PixelSize picture, bool hasCaption, PixelSize caption);

struct ImageButtonPlacement {
    PixelPoint picture;  // top-left corner of the picture
    PixelPoint caption;  // start of the caption's text cell
    friend bool operator==(const ImageButtonPlacement&, const ImageButtonPlacement&) = default;
};

// Picture and caption centred vertically in a button `buttonHeight` high (halves truncate
// toward zero), the caption right of the picture, both moved by `shift`.
ImageButtonPlacement PlaceImageButtonContent(int buttonHeight, PixelSize picture, int captionHeight,
                                             int shift);

}  // namespace korvex
