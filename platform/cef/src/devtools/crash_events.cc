#include "devtools/crash_events.h"

namespace cef_detail {

std::optional<TargetCrashed> ReadTargetCrashed(const Json& params) {
    if (!params.is_object()) return std::nullopt;
    auto text = [&params](const char* field) {
        auto it = params.find(field);
        return it != params.end() && it->is_string() ? it->get<std::string>() : std::string();
    };
    TargetCrashed crashed;
    crashed.target_id = text("targetId");
    if (crashed.target_id.empty()) return std::nullopt;
    crashed.status = text("status");
    if (auto code = params.find("errorCode"); code != params.end() && code->is_number_integer())
        crashed.error_code = code->get<int>();
    return crashed;
}

}  // namespace cef_detail
