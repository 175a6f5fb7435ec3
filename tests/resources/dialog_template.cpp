#include "dialog_template.h"

#include <windows.h>

#include <cstring>

namespace {

// Reads little-endian fields in order; any read past the end marks the reader as failed.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    template <typename T>
    T get() {
        T value{};
        if (m_pos + sizeof(T) > m_bytes.size()) {
            m_failed = true;
            m_pos = m_bytes.size();
            return value;
        }
        std::memcpy(&value, m_bytes.data() + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }
    std::wstring string() { return stringFrom(get<std::uint16_t>()); }
    NameOrOrdinal nameOrOrdinal() {
        const std::uint16_t first = get<std::uint16_t>();
        if (first == 0x0000) return {};
        if (first == 0xFFFF) return {L"", get<std::uint16_t>()};
        return {stringFrom(first), std::nullopt};
    }
    void alignTo(std::size_t n) { m_pos = (m_pos + n - 1) / n * n; }
    void skip(std::size_t n) {
        if (m_pos + n > m_bytes.size()) m_failed = true;
        m_pos = std::min(m_pos + n, m_bytes.size());
    }
    bool failed() const { return m_failed; }

  private:
    // A zero-terminated UTF-16 string whose first unit has been read already.
    std::wstring stringFrom(std::uint16_t first) {
        std::wstring text;
        for (std::uint16_t c = first; c != 0 && !m_failed; c = get<std::uint16_t>())
            text.push_back(static_cast<wchar_t>(c));
        return text;
    }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    bool m_failed = false;
};

}  // namespace

std::wstring DialogItem::className() const {
    if (!windowClass.ordinal) return windowClass.name;
    switch (*windowClass.ordinal) {
        case 0x0080:
            return L"Button";
        case 0x0081:
            return L"Edit";
        case 0x0082:
            return L"Static";
        case 0x0083:
            return L"ListBox";
        case 0x0084:
            return L"ScrollBar";
        case 0x0085:
            return L"ComboBox";
        default:
            return L"#" + std::to_wstring(*windowClass.ordinal);
    }
}

std::optional<DialogTemplate> ParseDialogTemplate(std::span<const std::uint8_t> bytes) {
    Reader in(bytes);
    if (in.get<std::uint16_t>() != 1 || in.get<std::uint16_t>() != 0xFFFF) return std::nullopt;
    DialogTemplate dlg;
    dlg.helpId = in.get<std::uint32_t>();
    dlg.exStyle = in.get<std::uint32_t>();
    dlg.style = in.get<std::uint32_t>();
    const std::uint16_t count = in.get<std::uint16_t>();
    dlg.x = in.get<std::int16_t>();
    dlg.y = in.get<std::int16_t>();
    dlg.cx = in.get<std::int16_t>();
    dlg.cy = in.get<std::int16_t>();
    dlg.menu = in.nameOrOrdinal();
    dlg.windowClass = in.nameOrOrdinal();
    dlg.title = in.string();
    if (dlg.style & (DS_SETFONT | DS_SHELLFONT)) {
        dlg.pointSize = in.get<std::uint16_t>();
        dlg.weight = in.get<std::uint16_t>();
        dlg.italic = in.get<std::uint8_t>();
        dlg.charset = in.get<std::uint8_t>();
        dlg.typeface = in.string();
    }
    for (std::uint16_t i = 0; i < count && !in.failed(); ++i) {
        in.alignTo(4);
        DialogItem item;
        item.helpId = in.get<std::uint32_t>();
        item.exStyle = in.get<std::uint32_t>();
        item.style = in.get<std::uint32_t>();
        item.x = in.get<std::int16_t>();
        item.y = in.get<std::int16_t>();
        item.cx = in.get<std::int16_t>();
        item.cy = in.get<std::int16_t>();
        item.id = in.get<std::uint32_t>();
        item.windowClass = in.nameOrOrdinal();
        item.title = in.nameOrOrdinal();
        in.skip(in.get<std::uint16_t>());  // creation data
        dlg.items.push_back(std::move(item));
    }
    if (in.failed()) return std::nullopt;
    return dlg;
}
