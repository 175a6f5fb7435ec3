// Whether a page whose renderer ended is loaded again: once, at once; a page that loses its
// renderer again within a minute of the last time is not (its error page is shown instead, and
// a later load by the application starts over).
#pragma once

#include <chrono>
#include <optional>

namespace cef_detail {

class CrashReloadPolicy {
  public:
    using Clock = std::chrono::steady_clock;
    enum class Action { kReload, kShowError };
    static constexpr std::chrono::seconds kWindow{60};

    // One end of the page's renderer, at now.
    Action OnCrash(Clock::time_point now);

  private:
    std::optional<Clock::time_point> last_crash_;
};

}  // namespace cef_detail
