#include "base/clipboard_text.h"

#include <cstring>

#include "base/scoped_clipboard.h"

namespace korvex {

std::optional<std::u16string> ReadClipboardText(HWND owner) {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return std::nullopt;
    ScopedClipboard clipboard(owner);
    if (!clipboard) return std::nullopt;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data) return std::nullopt;
    const SIZE_T units = GlobalSize(data) / sizeof(char16_t);
    const auto* text = static_cast<const char16_t*>(GlobalLock(data));
    if (!text) return std::nullopt;
    std::u16string result(text, units);
    GlobalUnlock(data);
    if (const std::size_t end = result.find(u'\0'); end != std::u16string::npos) result.resize(end);
    return result;
}

bool WriteClipboardText(HWND owner, std::u16string_view text) {
    ScopedGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t)));
    if (!memory) return false;
    auto* units = static_cast<char16_t*>(GlobalLock(memory.get()));
    if (!units) return false;
    std::memcpy(units, text.data(), text.size() * sizeof(char16_t));
    units[text.size()] = u'\0';
    GlobalUnlock(memory.get());
    ScopedClipboard clipboard(owner);
    if (!clipboard || !EmptyClipboard()) return false;
    if (!SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
    memory.release();  // the clipboard's now
    return true;
}

}  // namespace korvex
