#include "controls/image_button_layout.h"

#include <algorithm>

namespace korvex {

std::size_t ImageButtonCaptionLength(std::size_t length) {
    return std::min(length, kImageButtonCaptionUnits - 1);
}

ImageButtonLook ChooseImageButtonLook(ImageButtonState state, ImageButtonPictures pictures) {
    const ImageButtonPicture normal =
        pictures.normal ? ImageButtonPicture::Normal : ImageButtonPicture::None;
    if (!state.enabled) return {pictures.disabled ? ImageButtonPicture::Disabled : normal, 0};
    if (!state.hover) return {normal, 0};
    const ImageButtonPicture picture = pictures.hover ? ImageButtonPicture::Hover : normal;
    if (picture == ImageButtonPicture::None) return {};
    return {picture, state.pressed ? kImageButtonPressedShift : 0};
}

ImageButtonPicture ImageButtonSizingPicture(ImageButtonPictures pictures) {
    if (pictures.normal) return ImageButtonPicture::Normal;
    if (pictures.disabled) return ImageButtonPicture::Disabled;
    return ImageButtonPicture::None;
}

PixelSize ImageButtonSize(PixelSize picture, bool hasCaption, PixelSize caption) {
    if (!hasCaption) return {picture.cx + 1, picture.cy + 1};
    return {picture.cx + caption.cx + kImageButtonCaptionGap + 1,
            std::max(picture.cy, caption.cy) + 1};
}

ImageButtonPlacement PlaceImageButtonContent(int buttonHeight, PixelSize picture, int captionHeight,
                                             int shift) {
    return {
        {shift, shift + (buttonHeight - picture.cy) / 2},
        {picture.cx + shift + kImageButtonCaptionGap, shift + (buttonHeight - captionHeight) / 2}};
}

}  // namespace korvex
