// The engine's reports of processes that ended under a page: the one place that knows their
// method names and fields. Free of Win32.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "devtools/connection.h"

namespace cef_detail {

namespace events {
// Browser-level (with target discovery on): a target's renderer process ended.
inline constexpr std::string_view kTargetCrashed = "Target.targetCrashed";
}  // namespace events

// Target.targetCrashed: which page lost its renderer, and how the process ended.
struct TargetCrashed {
    std::string target_id;
    // The engine's words for the end ("killed", "crashed", "oom", "abnormal", ...).
    std::string status;
    int error_code = 0;  // the process's exit code or signal
};
// Empty when params do not name a target.
std::optional<TargetCrashed> ReadTargetCrashed(const Json& params);

}  // namespace cef_detail
