// Tests of the flare pass's kept blocking answers: kept for one collision build and one eye, each with its
// light's position, all compared bit for bit.
#include "render/XFlareVisibility.h"

#include <gtest/gtest.h>

namespace {

const XVector3 kEye(1.0f, 4.0f, -2.0f);
const XVector3 kLamp(10.0f, 20.0f, 30.0f);

TEST(FlareVisibility, KeepsAnAnswerForTheSameBuildEyeAndLightPosition)
{
    XFlareVisibility memo;
    bool blocked = false;
    memo.Begin(7, kEye);
    EXPECT_FALSE(memo.Find(0, kLamp, blocked)); // nothing asked yet
    memo.Keep(0, kLamp, true);
    memo.Keep(3, kLamp, false); // a later light first: the ones between stay unknown
    EXPECT_FALSE(memo.Find(1, kLamp, blocked));

    memo.Begin(7, kEye); // the next frame, nothing moved
    ASSERT_TRUE(memo.Find(0, kLamp, blocked));
    EXPECT_TRUE(blocked);
    ASSERT_TRUE(memo.Find(3, kLamp, blocked));
    EXPECT_FALSE(blocked);
    EXPECT_FALSE(memo.Find(0, XVector3(10.0f, 20.0f, 30.5f), blocked)); // the lamp was moved
    EXPECT_FALSE(memo.Find(4, kLamp, blocked));
    EXPECT_FALSE(memo.Find(-1, kLamp, blocked));
}

TEST(FlareVisibility, AnotherEyeAnotherBuildOrAClearForgetsEveryAnswer)
{
    XFlareVisibility memo;
    bool blocked = false;
    const auto keptAfter = [&](uint64_t serial, const XVector3& eye) {
        memo.Begin(7, kEye);
        memo.Keep(0, kLamp, true);
        memo.Begin(serial, eye);
        return memo.Find(0, kLamp, blocked);
    };
    EXPECT_TRUE(keptAfter(7, kEye));
    EXPECT_FALSE(keptAfter(8, kEye));
    EXPECT_FALSE(keptAfter(7, XVector3(1.0f, 4.0f, -2.0001f)));
    // 0 and -0 are equal numbers but not the same bits: the answer is not kept across them.
    memo.Begin(7, XVector3(0.0f, 0.0f, 0.0f));
    memo.Keep(0, kLamp, true);
    memo.Begin(7, XVector3(-0.0f, 0.0f, 0.0f));
    EXPECT_FALSE(memo.Find(0, kLamp, blocked));

    memo.Begin(7, kEye);
    memo.Keep(0, kLamp, true);
    memo.Clear();
    memo.Begin(7, kEye);
    EXPECT_FALSE(memo.Find(0, kLamp, blocked));
}

} // namespace
