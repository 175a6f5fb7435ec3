#include "browser/crash_reload_policy.h"

namespace cef_detail {

CrashReloadPolicy::Action CrashReloadPolicy::OnCrash(Clock::time_point now) {
    const bool again = last_crash_ && now - *last_crash_ < kWindow;
    last_crash_ = now;
    return again ? Action::kShowError : Action::kReload;
}

}  // namespace cef_detail
