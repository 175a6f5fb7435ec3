#include "browser/display_scale.h"

#include <cmath>

namespace cef_detail {

DisplayScale DisplayScale::ForDpi(int dpi) {
    return DisplayScale(dpi > 0 ? double(dpi) / kDefaultDpi : 1.0);
}

DisplayScale DisplayScale::Fixed(double ratio) {
    return DisplayScale(ratio > 0 && std::isfinite(ratio) ? ratio : 1.0);
}

int DisplayScale::CssLength(int pixels) const {
    if (pixels <= 0) return 0;
    // A hair below the next whole pixel still rounds down: 1500 pixels at 1.5 are 1000, not
    // 1001 through the division's rounding.
    return int(std::ceil(pixels / ratio_ - 1e-6));
}

}  // namespace cef_detail
