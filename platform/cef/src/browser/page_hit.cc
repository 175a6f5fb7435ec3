#include "browser/page_hit.h"

namespace cef_detail {
namespace {

std::string Text(const Json& value, const char* name) {
    auto it = value.find(name);
    return it != value.end() && it->is_string() ? it->get<std::string>() : std::string();
}

bool Flag(const Json& value, const char* name) {
    auto it = value.find(name);
    return it != value.end() && it->is_boolean() && it->get<bool>();
}

}  // namespace

std::string PageHit::Script(int x, int y) {
    return "(() => { const e = document.elementFromPoint(" + std::to_string(x) + ", " +
           std::to_string(y) +
           ");"
           " const a = e && e.closest ? e.closest('a[href]') : null;"
           " const t = e ? e.tagName : '';"
           " const plain = "
           "['button','submit','checkbox','radio','reset','image','file','color','range'];"
           " const editable = !!e && (e.isContentEditable || t === 'TEXTAREA' ||"
           "   (t === 'INPUT' && !plain.includes(e.type)));"
           " const frame = t === 'IFRAME' || t === 'FRAME';"
           " return { link: a ? a.href : '', selection: String(getSelection()), editable,"
           "   media: /^(IMG|VIDEO|AUDIO|CANVAS)$/.test(t), frame,"
           "   frameUrl: frame ? (e.src || '') : location.href, pageUrl: location.href }; })()";
}

PageHit PageHit::Read(const Json& value) {
    if (!value.is_object()) return {};
    return {Text(value, "link"),      Text(value, "pageUrl"),  Text(value, "frameUrl"),
            Text(value, "selection"), Flag(value, "editable"), Flag(value, "media"),
            Flag(value, "frame")};
}

}  // namespace cef_detail
