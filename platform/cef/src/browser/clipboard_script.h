// The player's clipboard keys and the page scripts that carry them out, free of Win32.
//
// The engine keeps a clipboard of its own, which the player's system never sees. So a clipboard
// key never reaches the engine: the browser runs one of these scripts in the page instead. The
// page gets its ordinary clipboard event (paste, copy, cut) carrying a DataTransfer, may handle
// it itself or cancel it, and only what the script hands back goes to the system clipboard. A
// page's own clipboard writes (navigator.clipboard, execCommand from a timer) stay inside the
// engine.
#pragma once

#include <string>
#include <string_view>

namespace cef_detail {

enum class ClipboardAction { kNone, kCopy, kCut, kPaste };

// What a key press means for the clipboard, as on Windows: Ctrl+C and Ctrl+Insert copy, Ctrl+X
// and Shift+Delete cut, Ctrl+V (also with Shift) and Shift+Insert paste. modifiers are the
// protocol's bits (ModifierBits); Alt (AltGr is Ctrl+Alt) or a Windows key held makes any of
// them an ordinary key.
ClipboardAction ClipboardActionFor(int virtual_key, int modifiers);

// text as a JavaScript string literal of printable ASCII only: quotes, backslashes, line
// breaks (U+2028 and U+2029 too) and every unit outside printable ASCII written as \uXXXX, so
// any text, broken surrogate pairs included, arrives exactly as given.
std::string JsStringLiteral(std::u16string_view text);

// Windows text ends lines with CR LF, a page with LF alone.
std::u16string ToPageLineEnds(std::u16string_view system_text);
std::u16string ToSystemLineEnds(std::u16string_view page_text);

// Pastes text (page line ends) into the focused element: the focused document is found through
// same-site frames and shadow roots, a paste event carrying text goes to the focused element, and
// unless cancelled, text is inserted there as typed text (only an editable place takes it). Its
// value: true, or false when the focus lies in a frame of another site the page cannot reach.
std::string PasteScript(std::u16string_view text);

// Copies (or, cut, cuts) the focused document's selection: a copy or cut event carrying an empty
// DataTransfer goes to the focused element. Its value is the text for the system clipboard: what
// the page put into the event when it cancelled it, otherwise the selected text (none from a
// password field; a cut only where the selection can be edited, which loses it). null: nothing.
std::string CopyScript(bool cut);

}  // namespace cef_detail
