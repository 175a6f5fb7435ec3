#include "core/restart_budget.h"

namespace cef_detail {

RestartBudget::Decision RestartBudget::OnEngineGone(Clock::time_point now) {
    while (!restores_.empty() && now - restores_.front() >= kWindow) restores_.pop_front();
    if (last_error_start_) {
        if (now - *last_error_start_ < kWindow) return Decision::kGiveUp;
        last_error_start_.reset();  // that engine ran a while: start over
    }
    if (static_cast<int>(restores_.size()) < kRestarts) {
        restores_.push_back(now);
        return Decision::kRestore;
    }
    last_error_start_ = now;
    return Decision::kShowError;
}

}  // namespace cef_detail
