// What becomes of the browsers when the engine's process has died: the engine is started
// again (same profile, same switches) and every browser gets its page back, at most
// kRestarts times within kWindow. One death more within that window starts the engine one last
// time with the browsers on their error page (so the application can still load a page again);
// a death of that engine within the window ends it: no more engines. Free of Win32.
#pragma once

#include <chrono>
#include <deque>
#include <optional>

namespace cef_detail {

class RestartBudget {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kRestarts = 3;
    static constexpr std::chrono::seconds kWindow{60};

    enum class Decision {
        kRestore,    // start the engine, every browser back on its last address
        kShowError,  // start the engine, every browser on its error page
        kGiveUp,     // no engine any more
    };

    // The engine died at now.
    Decision OnEngineGone(Clock::time_point now);

  private:
    std::deque<Clock::time_point> restores_;  // within kWindow of the latest death
    std::optional<Clock::time_point> last_error_start_;
};

}  // namespace cef_detail
