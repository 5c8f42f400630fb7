// Value animators: linear tweens in game time, delays, restarts and arrival reports.
#include "shell/XAnimationManager.h"
#include "shell/XTimer.h"
#include "shell/XVectorAnimator.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class AnimationTest : public testing::Test {
protected:
    void SetUp() override
    {
        GetTimer()->UseManualClock();
        GetAnimationManager()->SetFinishedHandler([this](int kind) { reports.push_back(kind); });
    }
    void TearDown() override { GetAnimationManager()->SetFinishedHandler(nullptr); }

    // Moves game time to `time` ms and ticks the manager.
    void TickAt(int time)
    {
        GetTimer()->AdvanceManualClock(time - GetTimer()->GetTime());
        GetAnimationManager()->Tick();
    }

    std::vector<int> reports;
};

} // namespace

TEST_F(AnimationTest, MovesLinearlyAndArrivesOneTickAfterItsEndTime)
{
    TickAt(1000);
    XVectorAnimator animator;
    animator.SetValue(XVector3(1.0f, 0.0f, 0.0f));
    animator.Start(XVector3(10.0f, 0.0f, 0.0f), 0, 300, true);
    TickAt(1150);
    EXPECT_FLOAT_EQ(animator.GetValue().x, 5.5f);
    TickAt(1300);
    EXPECT_FLOAT_EQ(animator.GetValue().x, 10.0f);
    EXPECT_TRUE(animator.IsActive()) << "at exactly the end time the animation is still running";
    EXPECT_TRUE(reports.empty());
    TickAt(1301);
    EXPECT_FLOAT_EQ(animator.GetValue().x, 10.0f);
    EXPECT_FALSE(animator.IsActive());
    EXPECT_EQ(reports, std::vector<int>{3});
    TickAt(1500);
    EXPECT_EQ(reports.size(), 1u) << "an arrived animation reports once";
}

TEST_F(AnimationTest, DelayLeavesTheValueUntouched)
{
    TickAt(2000);
    XVectorAnimator animator;
    animator.SetValue(XVector3(0.0f, 500.0f, 0.0f));
    animator.Start(XVector3(0.0f, 75.0f, 0.0f), 100, 300, false);
    TickAt(2050);
    EXPECT_FLOAT_EQ(animator.GetValue().y, 500.0f);
    TickAt(2100);
    EXPECT_FLOAT_EQ(animator.GetValue().y, 500.0f);
    TickAt(2250);
    EXPECT_FLOAT_EQ(animator.GetValue().y, 287.5f);
    TickAt(2401);
    EXPECT_FLOAT_EQ(animator.GetValue().y, 75.0f);
    EXPECT_TRUE(reports.empty()) << "started without notify";
}

TEST_F(AnimationTest, RestartContinuesFromWhereTheValueStands)
{
    TickAt(3000);
    XVectorAnimator animator;
    animator.SetValue(XVector3(0.0f, 500.0f, 0.0f));
    animator.Start(XVector3(0.0f, 75.0f, 0.0f), 0, 300, false);
    TickAt(3150);
    ASSERT_FLOAT_EQ(animator.GetValue().y, 287.5f);
    animator.Start(XVector3(0.0f, 500.0f, 0.0f), 0, 300, true);
    TickAt(3300);
    EXPECT_FLOAT_EQ(animator.GetValue().y, 393.75f);
    TickAt(3451);
    EXPECT_FLOAT_EQ(animator.GetValue().y, 500.0f);
    EXPECT_EQ(reports, std::vector<int>{3});
}

TEST_F(AnimationTest, AnimationsAdvanceDuringAClockPause)
{
    TickAt(4000);
    GetTimer()->Pause();
    XVectorAnimator animator;
    animator.SetValue(XVector3(0.0f, 0.0f, 0.0f));
    animator.Start(XVector3(0.0f, 0.0f, 30.0f), 0, 300, false);
    GetTimer()->AdvanceManualClock(100.0);
    GetAnimationManager()->Tick();
    EXPECT_FLOAT_EQ(animator.GetValue().z, 10.0f);
    GetTimer()->Resume();
}
