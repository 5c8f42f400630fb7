// Frame timer: game time, frame time, pausing and the frame counter, on the manual clock.
#include "shell/XTimer.h"

#include <gtest/gtest.h>

namespace {

XTimer ManualTimer()
{
    XTimer timer;
    timer.UseManualClock();
    return timer;
}

} // namespace

TEST(TimerGameTime, CountsWholeMillisecondsTruncated)
{
    XTimer timer = ManualTimer();
    EXPECT_EQ(timer.GetTime(), 0);
    timer.AdvanceManualClock(1.5);
    EXPECT_EQ(timer.GetTime(), 1);
    timer.AdvanceManualClock(0.4);
    EXPECT_EQ(timer.GetTime(), 1) << "1.9 ms is still 1 whole millisecond";
    timer.AdvanceManualClock(0.1);
    EXPECT_EQ(timer.GetTime(), 2);
}

TEST(TimerGameTime, ResetStartsAgainAtZero)
{
    XTimer timer = ManualTimer();
    timer.AdvanceManualClock(750.0);
    timer.Pause();
    timer.Reset();
    EXPECT_EQ(timer.GetTime(), 0);
    EXPECT_FALSE(timer.IsPaused());
}

TEST(TimerFrameTime, MeasuresThePassBetweenUpdates)
{
    XTimer timer = ManualTimer();
    timer.AdvanceManualClock(16.0);
    timer.Update();
    EXPECT_FLOAT_EQ(timer.GetFrameTime(), 16.0f) << "the first update measures from the start";
    timer.AdvanceManualClock(33.25);
    timer.Update();
    EXPECT_FLOAT_EQ(timer.GetFrameTime(), 33.25f);
}

TEST(TimerFrameTime, ResetFrameRestartsTheMeasurement)
{
    XTimer timer = ManualTimer();
    timer.AdvanceManualClock(100.0);
    timer.ResetFrame();
    timer.AdvanceManualClock(10.0);
    timer.Update();
    EXPECT_FLOAT_EQ(timer.GetFrameTime(), 10.0f);
}

TEST(TimerPause, FrameTimeIsZeroWhilePausedAndGameTimeStepsBackOnResume)
{
    XTimer timer = ManualTimer();
    timer.AdvanceManualClock(2000.0);
    timer.Update();
    timer.Pause();
    EXPECT_FLOAT_EQ(timer.GetFrameTime(), 0.0f);
    timer.AdvanceManualClock(500.0);
    timer.Update();
    EXPECT_FLOAT_EQ(timer.GetFrameTime(), 0.0f);
    EXPECT_EQ(timer.GetTime(), 2500) << "game time keeps running during the pause";
    timer.Resume();
    EXPECT_EQ(timer.GetTime(), 2000) << "resuming takes the pause out of game time";
    timer.AdvanceManualClock(16.0);
    timer.Update();
    EXPECT_FLOAT_EQ(timer.GetFrameTime(), 16.0f);
    EXPECT_EQ(timer.GetTime(), 2016);
}

TEST(TimerPause, TwoPausesAddUp)
{
    XTimer timer = ManualTimer();
    timer.AdvanceManualClock(100.0);
    timer.Pause();
    timer.AdvanceManualClock(50.0);
    timer.Resume();
    timer.AdvanceManualClock(100.0);
    timer.Pause();
    timer.AdvanceManualClock(70.0);
    timer.Resume();
    EXPECT_EQ(timer.GetTime(), 200);
}

TEST(TimerFps, TruncatesThousandOverFrameTime)
{
    XTimer timer = ManualTimer();
    timer.AdvanceManualClock(16.0);
    timer.Update();
    EXPECT_EQ(timer.GetFps(), 62);
    timer.AdvanceManualClock(3.0);
    timer.Update();
    EXPECT_EQ(timer.GetFps(), 333);
}

TEST(TimerFps, NoRateWithoutAFrameTime)
{
    XTimer timer = ManualTimer();
    EXPECT_EQ(timer.GetFps(), 0) << "before the first measurement";
    timer.Update();
    EXPECT_EQ(timer.GetFps(), 0) << "after a pass the clock did not advance";
    timer.AdvanceManualClock(0.000001);
    timer.Update();
    EXPECT_EQ(timer.GetFps(), 1000000000) << "the shortest frame the clock can measure";
}

TEST(TimerMarks, SpanBetweenTheTwoMarks)
{
    XTimer timer = ManualTimer();
    timer.AdvanceManualClock(40.0);
    EXPECT_EQ(timer.MarkA(), 40u);
    timer.AdvanceManualClock(125.0);
    EXPECT_EQ(timer.MarkB(), 165u);
    EXPECT_EQ(timer.GetMarkedSpan(), 125u);
}

TEST(TimerRealClock, NeverGoesBackwards)
{
    XTimer timer;
    int32_t previous = timer.GetTime();
    for (int i = 0; i < 10000; ++i) {
        const int32_t now = timer.GetTime();
        ASSERT_GE(now, previous);
        previous = now;
    }
}
