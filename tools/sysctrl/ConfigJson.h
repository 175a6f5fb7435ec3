// The record as a JSON object, member for member, and back, with every member checked.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "config/ConfigRecord.h"

namespace sysctrl {

// Input that does not describe a record; what() names the member and the problem.
class ConfigJsonError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Member names in the order of the record.
const std::vector<std::string>& ConfigMemberNames();

// Throws ConfigJsonError when a text field holds an unpaired surrogate (damaged file or wrong
// key). Texts without a terminator are cut at 299 characters.
nlohmann::ordered_json RecordToJson(const SysCtrlConfig& record);

// Throws ConfigJsonError for a missing or unknown member, a wrong type, a rectangle that is not
// four integers, an integer outside 32 bits, or a text over 299 UTF-16 units or holding NUL.
SysCtrlConfig RecordFromJson(const nlohmann::json& object);

}  // namespace sysctrl
