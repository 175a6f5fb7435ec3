// When the lossy stream gives way to the engine's lossless picture of a still page, and back.
#include "browser/still_refinement.h"

#include <gtest/gtest.h>

namespace {

using cef_detail::StillRefinement;
using std::chrono::milliseconds;

const StillRefinement::Clock::time_point t0{std::chrono::seconds(1000)};

StillRefinement::Clock::time_point At(int ms) { return t0 + milliseconds(ms); }

TEST(StillRefinement, NothingIsDueBeforeTheFirstFrame) {
    StillRefinement still;
    EXPECT_EQ(still.Due(), StillRefinement::Clock::time_point::max());
    EXPECT_FALSE(still.TakeCapture(At(100000)));
    EXPECT_FALSE(still.lossy());
}

TEST(StillRefinement, OneCaptureIsAskedForOnceTheStreamHasBeenQuietForTheSettleTime) {
    StillRefinement still;
    still.OnStreamFrame(At(0));
    const int settle = int(StillRefinement::kSettle.count());
    EXPECT_EQ(still.Due(), At(settle));
    EXPECT_FALSE(still.TakeCapture(At(settle - 1)));
    const auto token = still.TakeCapture(At(settle));
    ASSERT_TRUE(token);
    EXPECT_TRUE(still.awaiting_capture());
    // Asked for once: nothing more is due while it is on its way.
    EXPECT_EQ(still.Due(), StillRefinement::Clock::time_point::max());
    EXPECT_FALSE(still.TakeCapture(At(10 * settle)));
    EXPECT_TRUE(still.AcceptCapture(*token));
    EXPECT_FALSE(still.lossy());
    EXPECT_FALSE(still.awaiting_capture());
    // Shown: a still page costs nothing more.
    EXPECT_FALSE(still.TakeCapture(At(100000)));
}

TEST(StillRefinement, AnAnimationNeverAsksForACapture) {
    // Frames every 33 ms (and one slow gap within the settle time), polled every millisecond.
    StillRefinement still;
    int next_frame = 0;
    for (int ms = 0; ms < 3000; ++ms) {
        if (ms == next_frame) {
            still.OnStreamFrame(At(ms));
            next_frame += ms == 990 ? int(StillRefinement::kSettle.count()) - 1 : 33;
        }
        ASSERT_FALSE(still.TakeCapture(At(ms))) << "at " << ms << " ms";
    }
}

TEST(StillRefinement, ACaptureOvertakenByAFrameIsNotShownAndTheNextQuietAsksAgain) {
    StillRefinement still;
    still.OnStreamFrame(At(0));
    const auto stale = still.TakeCapture(At(150));
    ASSERT_TRUE(stale);
    still.OnStreamFrame(At(170));  // the page moved while the capture was on its way
    EXPECT_FALSE(still.Current(*stale));
    // The unanswered capture does not hold back the one for the new picture.
    EXPECT_EQ(still.Due(), At(170) + StillRefinement::kSettle);
    const auto fresh = still.TakeCapture(At(320));
    ASSERT_TRUE(fresh);
    EXPECT_NE(*fresh, *stale);
    EXPECT_FALSE(still.AcceptCapture(*stale));
    EXPECT_TRUE(still.lossy());
    EXPECT_TRUE(still.awaiting_capture()) << "the fresh capture is still awaited";
    EXPECT_TRUE(still.AcceptCapture(*fresh));
    EXPECT_FALSE(still.lossy());
}

TEST(StillRefinement, AFrameAfterTheLosslessPictureGoesBackToTheStream) {
    StillRefinement still;
    still.OnStreamFrame(At(0));
    const auto first = still.TakeCapture(At(150));
    ASSERT_TRUE(first);
    ASSERT_TRUE(still.AcceptCapture(*first));
    still.OnStreamFrame(At(5000));
    EXPECT_TRUE(still.lossy());
    EXPECT_FALSE(still.Current(*first));
    const auto second = still.TakeCapture(At(5150));
    ASSERT_TRUE(second);
    EXPECT_TRUE(still.AcceptCapture(*second));
}

TEST(StillRefinement, AResetForgetsThePictureAndRefusesACaptureOnItsWay) {
    StillRefinement still;
    still.OnStreamFrame(At(0));
    const auto token = still.TakeCapture(At(150));
    ASSERT_TRUE(token);
    still.Reset();  // hidden
    EXPECT_FALSE(still.lossy());
    EXPECT_EQ(still.Due(), StillRefinement::Clock::time_point::max());
    EXPECT_FALSE(still.AcceptCapture(*token));
    EXPECT_FALSE(still.TakeCapture(At(100000)));
    still.OnStreamFrame(At(200000));  // shown again: the first frame starts afresh
    EXPECT_TRUE(still.TakeCapture(At(200150)));
}

TEST(StillRefinement, AFailedCaptureIsNotAskedForAgainUntilTheNextFrame) {
    StillRefinement still;
    still.OnStreamFrame(At(0));
    const auto token = still.TakeCapture(At(150));
    ASSERT_TRUE(token);
    still.CaptureFailed(*token);
    EXPECT_FALSE(still.awaiting_capture());
    EXPECT_FALSE(still.TakeCapture(At(100000)));
    still.OnStreamFrame(At(100001));
    EXPECT_TRUE(still.TakeCapture(At(100151)));
}

TEST(StillRefinement, AStaleFailureLeavesTheNewPictureAlone) {
    StillRefinement still;
    still.OnStreamFrame(At(0));
    const auto stale = still.TakeCapture(At(150));
    ASSERT_TRUE(stale);
    still.OnStreamFrame(At(160));
    still.CaptureFailed(*stale);
    EXPECT_TRUE(still.lossy());
    EXPECT_TRUE(still.TakeCapture(At(310)));
}

}  // namespace
