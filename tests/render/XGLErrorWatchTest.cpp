// Tests of the OpenGL error watch: it looks only every N frames, still sees an error raised in between,
// remembers the first error and its frame, and counts the later ones.
#include "render/XGLErrorWatch.h"

#include "RenderTestSupport.h"

#include <gtest/gtest.h>

namespace {

class GLErrorWatch : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    // An invalid enum, as a pass asking for a capability the driver lacks would raise.
    static void RaiseInvalidEnum() { glEnable(0x1234); }
};

TEST_F(GLErrorWatch, ChecksEveryNthFrameAndSeesErrorsRaisedInBetween)
{
    XGLErrorWatch watch(3);
    watch.AfterFrame(1);
    RaiseInvalidEnum();
    watch.AfterFrame(2);
    EXPECT_EQ(watch.Checks(), 0);
    watch.AfterFrame(3);
    EXPECT_EQ(watch.Checks(), 1);
    EXPECT_EQ(watch.ChecksWithErrors(), 1);
    EXPECT_EQ(watch.FirstError(), static_cast<GLenum>(GL_INVALID_ENUM));
    EXPECT_EQ(watch.FirstErrorFrame(), 3);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "the check consumed the error";
}

TEST_F(GLErrorWatch, KeepsTheFirstErrorAndCountsLaterOnes)
{
    XGLErrorWatch watch(1);
    EXPECT_FALSE(watch.Check(1));
    EXPECT_EQ(watch.FirstError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(watch.FirstErrorFrame(), 0);
    glLineWidth(-1.0f); // GL_INVALID_VALUE
    EXPECT_TRUE(watch.Check(2));
    RaiseInvalidEnum();
    EXPECT_TRUE(watch.Check(3));
    EXPECT_FALSE(watch.Check(4));
    EXPECT_EQ(watch.Checks(), 4);
    EXPECT_EQ(watch.ChecksWithErrors(), 2);
    EXPECT_EQ(watch.FirstError(), static_cast<GLenum>(GL_INVALID_VALUE));
    EXPECT_EQ(watch.FirstErrorFrame(), 2);
}

TEST_F(GLErrorWatch, AnIntervalBelowOneChecksEveryFrame)
{
    XGLErrorWatch watch(0);
    watch.AfterFrame(1);
    watch.AfterFrame(2);
    EXPECT_EQ(watch.Checks(), 2);
}

} // namespace
