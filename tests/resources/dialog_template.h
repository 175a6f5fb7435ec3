// Reader of extended dialog templates (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A name or an ordinal, as templates store menus, classes and titles.
struct NameOrOrdinal {
    std::wstring name;
    std::optional<std::uint16_t> ordinal;
};

struct DialogItem {
    std::uint32_t helpId = 0, exStyle = 0, style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t id = 0;
    NameOrOrdinal windowClass, title;
    // The class name, with the predefined ordinals spelt out ("Button", "Static", ...).
    std::wstring className() const;
};

struct DialogTemplate {
    std::uint32_t helpId = 0, exStyle = 0, style = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu, windowClass;
    std::wstring title;
    std::uint16_t pointSize = 0, weight = 0;
    std::uint8_t italic = 0, charset = 0;
    std::wstring typeface;
    std::vector<DialogItem> items;
};

// Parses an extended template; nullopt for another format or a template cut short.
std::optional<DialogTemplate> ParseDialogTemplate(std::span<const std::uint8_t> bytes);
