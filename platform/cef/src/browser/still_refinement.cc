#include "browser/still_refinement.h"

namespace cef_detail {

void StillRefinement::OnStreamFrame(Clock::time_point now) {
    lossy_ = true;
    ++generation_;
    last_frame_ = now;
}

void StillRefinement::Reset() {
    lossy_ = false;
    awaiting_.reset();
    ++generation_;  // a capture still on its way is stale
}

StillRefinement::Clock::time_point StillRefinement::Due() const {
    // A capture asked for before the last frame is stale whether or not it is answered.
    if (!lossy_ || awaiting_ == generation_) return Clock::time_point::max();
    return last_frame_ + kSettle;
}

std::optional<std::uint64_t> StillRefinement::TakeCapture(Clock::time_point now) {
    if (now < Due()) return std::nullopt;
    awaiting_ = generation_;
    return generation_;
}

bool StillRefinement::AcceptCapture(std::uint64_t token) {
    if (awaiting_ == token) awaiting_.reset();
    // A frame came (or the stream was reset) after the capture was asked for: the capture is
    // older than what is shown, and that frame's own quiet time decides the next one.
    if (token != generation_) return false;
    lossy_ = false;
    return true;
}

void StillRefinement::CaptureFailed(std::uint64_t token) {
    if (awaiting_ == token) awaiting_.reset();
    if (token == generation_) lossy_ = false;  // not refined; the next frame starts afresh
}

}  // namespace cef_detail
