// The engine reports network failures by name ("net::ERR_CONNECTION_REFUSED"); handlers get
// the numeric code and the name without its namespace.
#pragma once

#include <string>
#include <string_view>

namespace cef_detail {

// The code for an engine error name, with or without the "net::" prefix. Names missing from
// the table, and an empty name, give ERR_FAILED (-2): a failure never reads as success (0).
int NetErrorCode(std::string_view engine_text);
// "net::ERR_X" -> "ERR_X"; an empty name -> "ERR_FAILED", matching its code; other text
// unchanged.
std::string NetErrorName(std::string_view engine_text);

}  // namespace cef_detail
