// A browser's display scale, free of Win32: the page's device pixel ratio from its window's DPI,
// its CSS viewport from the window's pixels, and window pixels as CSS pixels for input.
#pragma once

namespace cef_detail {

// The DPI of a window at 100 %.
inline constexpr int kDefaultDpi = 96;

class DisplayScale {
  public:
    // ratio 1 (a 96-DPI window).
    DisplayScale() = default;
    // A window of dpi dots per inch, as a browser on Windows lays out for it: DPI / 96. A DPI
    // that is not positive (not known) counts as 96.
    static DisplayScale ForDpi(int dpi);
    // A fixed ratio; one that is not positive counts as 1.
    static DisplayScale Fixed(double ratio);

    // The page's devicePixelRatio.
    double ratio() const { return ratio_; }
    // The CSS pixels that cover pixels window pixels: rounded up, so the page covers the whole
    // window (the last CSS pixel may reach past its edge).
    int CssLength(int pixels) const;
    // A window position in CSS pixels (input goes to the page at fractions of a CSS pixel).
    double ToCss(int pixels) const { return pixels / ratio_; }

    bool operator==(const DisplayScale&) const = default;

  private:
    explicit DisplayScale(double ratio) : ratio_(ratio) {}
    double ratio_ = 1;
};

}  // namespace cef_detail
