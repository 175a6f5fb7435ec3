#include "browser/caret_place.h"

#include <cmath>

namespace cef_detail {

std::string CaretPlace::Script() {
    return "(() => {"
           " let e = document.activeElement;"
           " while (e && e.shadowRoot && e.shadowRoot.activeElement) e = "
           "e.shadowRoot.activeElement;"
           " if (!e) return null;"
           " const t = e.tagName;"
           " const plain = "
           "['button','submit','checkbox','radio','reset','image','file','color','range'];"
           " const field = t === 'TEXTAREA' || (t === 'INPUT' && !plain.includes(e.type));"
           " if (!field && !e.isContentEditable && t !== 'IFRAME' && t !== 'FRAME') return null;"
           " const s = getSelection();"
           " if (e.isContentEditable && s.rangeCount) {"
           "   const rects = s.getRangeAt(0).getClientRects();"
           "   const r = rects.length ? rects[rects.length - 1] : null;"
           "   if (r) return { left: r.right, top: r.top, bottom: r.bottom };"
           " }"
           " const b = e.getBoundingClientRect(), c = getComputedStyle(e);"
           " let x = 0;"
           " if (t === 'INPUT' && typeof e.selectionStart === 'number') {"
           "   const g = document.createElement('canvas').getContext('2d');"
           "   g.font = c.font;"
           "   const before = e.type === 'password' ? '\\u2022'.repeat(e.selectionStart)"
           "     : e.value.slice(0, e.selectionStart);"
           "   x = Math.max(0, g.measureText(before).width - e.scrollLeft);"
           " }"
           " const left = Math.min(b.right, b.left + (parseFloat(c.borderLeftWidth) || 0) +"
           "   (parseFloat(c.paddingLeft) || 0) + x);"
           " return { left, top: b.top, bottom: b.bottom }; })()";
}

std::optional<CaretPlace> CaretPlace::Read(const Json& value) {
    if (!value.is_object()) return std::nullopt;
    CaretPlace place;
    for (auto [name, field] : {std::pair{"left", &place.left}, std::pair{"top", &place.top},
                               std::pair{"bottom", &place.bottom}}) {
        auto it = value.find(name);
        if (it == value.end() || !it->is_number()) return std::nullopt;
        *field = it->get<double>();
        if (!std::isfinite(*field)) return std::nullopt;
    }
    if (place.bottom < place.top) return std::nullopt;
    return place;
}

CaretPlace CaretPlace::InWindow(const DisplayScale& scale) const {
    const double ratio = scale.ratio();
    return {std::round(left * ratio), std::round(top * ratio), std::round(bottom * ratio)};
}

}  // namespace cef_detail
