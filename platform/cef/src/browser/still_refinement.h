// When the screencast's lossy picture is replaced by the engine's lossless capture of the page.
// The stream sends a frame only when the page's picture changes; once none has come for
// kSettle, one capture is asked for, and its answer is shown only if no newer frame arrived
// after it was asked for (the newest picture wins). The next frame that differs goes back to
// the stream. Free of Win32; one per view, used under its decoder's lock.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

namespace cef_detail {

class StillRefinement {
  public:
    using Clock = std::chrono::steady_clock;
    // Quiet time after the last frame before the capture is asked for: longer than the gap
    // between the frames of an animation at 10 fps, short enough that the capture (encoded,
    // sent and decoded in about 100 ms at 1912 x 1036) is shown within 300 ms of the last
    // change.
    static constexpr std::chrono::milliseconds kSettle{120};

    // A stream frame that differs from the last one arrived: the picture is lossy and moving.
    void OnStreamFrame(Clock::time_point now);
    // The stream stopped or started afresh (the view hidden or shown): nothing is due until
    // the next frame.
    void Reset();

    // When a capture is next due; Clock::time_point::max() when none is.
    Clock::time_point Due() const;
    // A capture to ask for now (its token), once, when one is due at now.
    std::optional<std::uint64_t> TakeCapture(Clock::time_point now);
    // The capture asked for with token came back: true when it is to be shown (no frame came
    // after it was asked for). Either way the capture is no longer awaited.
    bool AcceptCapture(std::uint64_t token);
    // The capture asked for with token failed or could not be asked for: none is asked for
    // again until the next frame.
    void CaptureFailed(std::uint64_t token);

    // No frame and no reset since the capture with token was asked for: it is still the
    // newest picture.
    bool Current(std::uint64_t token) const { return token == generation_; }
    bool lossy() const { return lossy_; }
    // A capture of the picture now shown has been asked for and not answered.
    bool awaiting_capture() const { return awaiting_ == generation_; }

  private:
    bool lossy_ = false;  // what is shown came from the stream
    // Counts the frames and resets; a capture carries the count it was asked for at.
    std::uint64_t generation_ = 0;
    std::optional<std::uint64_t> awaiting_;  // the capture asked for and not answered
    Clock::time_point last_frame_{};
};

}  // namespace cef_detail
