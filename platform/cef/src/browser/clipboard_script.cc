#include "browser/clipboard_script.h"

#include "devtools/commands.h"

namespace cef_detail {
namespace {

constexpr int kInsert = 0x2D;  // VK_INSERT
constexpr int kDelete = 0x2E;  // VK_DELETE

// The focused document and element, through same-site frames and shadow roots; null when the
// focus lies in a frame of another site.
constexpr std::string_view kFindFocus = R"js(
  const findFocus = () => {
    let doc = document, el = doc.activeElement;
    for (;;) {
      while (el && el.shadowRoot && el.shadowRoot.activeElement) el = el.shadowRoot.activeElement;
      if (!el || (el.tagName !== 'IFRAME' && el.tagName !== 'FRAME')) break;
      let inner = null;
      try { inner = el.contentDocument; } catch (e) {}
      if (!inner) return null;
      doc = inner;
      el = doc.activeElement;
    }
    return {doc, el, win: doc.defaultView, target: el || doc.body || doc.documentElement};
  };
  const focus = findFocus();
)js";

}  // namespace

ClipboardAction ClipboardActionFor(int virtual_key, int modifiers) {
    if (modifiers & (kModifierAlt | kModifierMeta)) return ClipboardAction::kNone;
    const bool ctrl = (modifiers & kModifierCtrl) != 0;
    const bool shift = (modifiers & kModifierShift) != 0;
    if (ctrl && !shift) {
        if (virtual_key == 'C' || virtual_key == kInsert) return ClipboardAction::kCopy;
        if (virtual_key == 'X') return ClipboardAction::kCut;
    }
    if (ctrl && virtual_key == 'V') return ClipboardAction::kPaste;
    if (shift && !ctrl) {
        if (virtual_key == kInsert) return ClipboardAction::kPaste;
        if (virtual_key == kDelete) return ClipboardAction::kCut;
    }
    return ClipboardAction::kNone;
}

std::string JsStringLiteral(std::u16string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string literal = "\"";
    literal.reserve(text.size() + 2);
    for (const char16_t unit : text) {
        if (unit >= 0x20 && unit < 0x7F && unit != '"' && unit != '\\') {
            literal += char(unit);
            continue;
        }
        literal += "\\u";
        for (int shift = 12; shift >= 0; shift -= 4) literal += kHex[(unit >> shift) & 0xF];
    }
    literal += '"';
    return literal;
}

std::u16string ToPageLineEnds(std::u16string_view system_text) {
    std::u16string text;
    text.reserve(system_text.size());
    for (std::size_t i = 0; i < system_text.size(); ++i) {
        if (system_text[i] == u'\r' && i + 1 < system_text.size() && system_text[i + 1] == u'\n')
            continue;
        text += system_text[i];
    }
    return text;
}

std::u16string ToSystemLineEnds(std::u16string_view page_text) {
    std::u16string text;
    text.reserve(page_text.size());
    for (std::size_t i = 0; i < page_text.size(); ++i) {
        if (page_text[i] == u'\n' && (i == 0 || page_text[i - 1] != u'\r')) text += u'\r';
        text += page_text[i];
    }
    return text;
}

std::string PasteScript(std::u16string_view text) {
    std::string script = "(() => {\n  const text = " + JsStringLiteral(text) + ";";
    script += kFindFocus;
    script += R"js(
  if (!focus) return false;
  const data = new focus.win.DataTransfer();
  data.setData('text/plain', text);
  const event = new focus.win.ClipboardEvent('paste',
      {clipboardData: data, bubbles: true, cancelable: true, composed: true});
  if (focus.target.dispatchEvent(event)) focus.doc.execCommand('insertText', false, text);
  return true;
})())js";
    return script;
}

std::string CopyScript(bool cut) {
    std::string script = std::string("(() => {\n  const cut = ") + (cut ? "true" : "false") + ";";
    script += kFindFocus;
    script += R"js(
  if (!focus) return null;
  const el = focus.el, win = focus.win;
  const field = el && (el instanceof win.HTMLInputElement || el instanceof win.HTMLTextAreaElement);
  let selected = '';
  if (field) {
    if (el.type !== 'password' && typeof el.selectionStart === 'number')
      selected = el.value.substring(el.selectionStart, el.selectionEnd);
  } else {
    selected = String(win.getSelection() || '');
  }
  const data = new win.DataTransfer();
  const event = new win.ClipboardEvent(cut ? 'cut' : 'copy',
      {clipboardData: data, bubbles: true, cancelable: true, composed: true});
  if (!focus.target.dispatchEvent(event))
    return data.types.includes('text/plain') ? data.getData('text/plain') : null;
  if (!selected) return null;
  if (cut) {
    const editable = field ? !el.readOnly && !el.disabled : !!(el && el.isContentEditable);
    if (!editable) return null;
    focus.doc.execCommand('delete');
  }
  return selected;
})())js";
    return script;
}

}  // namespace cef_detail
