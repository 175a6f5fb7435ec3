#include "ConfigJson.h"

#include <cstdint>
#include <limits>
#include <set>

#include "base/utf.h"

namespace sysctrl {
namespace {

using korvex::ConfigChar;
using korvex::ConfigRect;
using korvex::kConfigTextUnits;
using Text = ConfigChar[kConfigTextUnits];

struct RectMember {
    const char* name;
    ConfigRect SysCtrlConfig::*field;
};
struct IntMember {
    const char* name;
    std::int32_t SysCtrlConfig::*field;
};
struct TextMember {
    const char* name;
    Text SysCtrlConfig::*field;
};

constexpr RectMember kRects[] = {
    {"rcOfficialBtn", &SysCtrlConfig::rcOfficialBtn},
    {"rcRechargeBtn", &SysCtrlConfig::rcRechargeBtn},
    {"rcServiceBtn", &SysCtrlConfig::rcServiceBtn},
    {"rcForumBtn", &SysCtrlConfig::rcForumBtn},
    {"rcMinimizeBtn", &SysCtrlConfig::rcMinimizeBtn},
    {"rcCloseBtn", &SysCtrlConfig::rcCloseBtn},
};
constexpr IntMember kInts[] = {
    {"nBrowserLeft", &SysCtrlConfig::nBrowserLeft},
    {"nBrowserTop", &SysCtrlConfig::nBrowserTop},
    {"nBrowserWidth", &SysCtrlConfig::nBrowserWidth},
    {"nBrowserHeight", &SysCtrlConfig::nBrowserHeight},
};
constexpr TextMember kTexts[] = {
    {"szLoginUrl", &SysCtrlConfig::szLoginUrl},
    {"szOfficialUrl", &SysCtrlConfig::szOfficialUrl},
    {"szRechargeUrl", &SysCtrlConfig::szRechargeUrl},
    {"szServiceUrl", &SysCtrlConfig::szServiceUrl},
    {"szForumUrl", &SysCtrlConfig::szForumUrl},
};

std::int32_t ToInt32(const nlohmann::json& value, const std::string& where) {
    if (!value.is_number_integer())
        throw ConfigJsonError(where + ": expected an integer, found " +
                              std::string(value.type_name()) + " " + value.dump());
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    bool inRange;
    if (value.is_number_unsigned())
        inRange = value.get<std::uint64_t>() <= std::uint64_t(kMax);
    else
        inRange = value.get<std::int64_t>() >= kMin && value.get<std::int64_t>() <= kMax;
    if (!inRange)
        throw ConfigJsonError(where + ": " + value.dump() + " is outside the 32-bit integer range");
    return std::int32_t(value.get<std::int64_t>());
}

ConfigRect ToRect(const nlohmann::json& value, const std::string& name) {
    if (!value.is_array() || value.size() != 4)
        throw ConfigJsonError(name +
                              ": expected an array of four integers [left, top, right, "
                              "bottom], found " +
                              value.dump());
    std::int32_t v[4];
    for (std::size_t i = 0; i < 4; ++i)
        v[i] = ToInt32(value[i], name + "[" + std::to_string(i) + "]");
    ConfigRect rect{};
    rect.left = v[0], rect.top = v[1], rect.right = v[2], rect.bottom = v[3];
    return rect;
}

void ToText(const nlohmann::json& value, const std::string& name, Text& field) {
    if (!value.is_string())
        throw ConfigJsonError(name + ": expected a string, found " +
                              std::string(value.type_name()) + " " + value.dump());
    const auto units = korvex::Utf8ToUtf16Strict(value.get_ref<const std::string&>());
    if (!units) throw ConfigJsonError(name + ": the text is not well-formed UTF-8");
    if (units->find(u'\0') != std::u16string::npos)
        throw ConfigJsonError(name + ": the text contains a NUL character");
    if (units->size() > korvex::kConfigTextMaxChars)
        throw ConfigJsonError(name + ": the text is " + std::to_string(units->size()) +
                              " UTF-16 units long; at most " +
                              std::to_string(korvex::kConfigTextMaxChars) + " fit");
    std::copy(units->begin(), units->end(), field);
}

}  // namespace

const std::vector<std::string>& ConfigMemberNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const auto& m : kRects) n.push_back(m.name);
        for (const auto& m : kInts) n.push_back(m.name);
        for (const auto& m : kTexts) n.push_back(m.name);
        return n;
    }();
    return names;
}

nlohmann::ordered_json RecordToJson(const SysCtrlConfig& record) {
    nlohmann::ordered_json out = nlohmann::ordered_json::object();
    for (const auto& m : kRects) {
        const ConfigRect& r = record.*m.field;
        out[m.name] = {std::int32_t(r.left), std::int32_t(r.top), std::int32_t(r.right),
                       std::int32_t(r.bottom)};
    }
    for (const auto& m : kInts) out[m.name] = record.*m.field;
    for (const auto& m : kTexts) {
        const auto text = korvex::ConfigText(record.*m.field);
        std::size_t bad = 0;
        const auto utf8 = korvex::Utf16ToUtf8Strict(std::u16string(text.begin(), text.end()), bad);
        if (!utf8)
            throw ConfigJsonError(std::string(m.name) +
                                  ": the text holds an unpaired UTF-16 surrogate at unit " +
                                  std::to_string(bad) + " (damaged file or wrong key)");
        out[m.name] = *utf8;
    }
    return out;
}

SysCtrlConfig RecordFromJson(const nlohmann::json& object) {
    if (!object.is_object())
        throw ConfigJsonError("expected one JSON object, found " + std::string(object.type_name()));
    const auto& names = ConfigMemberNames();
    const std::set<std::string> known(names.begin(), names.end());
    for (const auto& item : object.items())
        if (!known.count(item.key()))
            throw ConfigJsonError("unknown member \"" + item.key() + "\"");
    for (const auto& name : names)
        if (!object.contains(name)) throw ConfigJsonError("missing member \"" + name + "\"");

    SysCtrlConfig record{};
    for (const auto& m : kRects) record.*m.field = ToRect(object.at(m.name), m.name);
    for (const auto& m : kInts) record.*m.field = ToInt32(object.at(m.name), m.name);
    for (const auto& m : kTexts) ToText(object.at(m.name), m.name, record.*m.field);
    return record;
}

}  // namespace sysctrl
