// Camera: angles, view axes, and the projection and view that Apply sets.
#include "support/GLTestContext.h"

#include "render/XCamera.h"

#include <GL/gl.h>
#include <array>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// The matrix OpenGL holds for `mode` (column order).
std::array<float, 16> CurrentMatrix(GLenum mode)
{
    std::array<float, 16> m = {};
    glGetFloatv(mode, m.data());
    return m;
}

// The vertical field of view of a perspective projection matrix, in degrees.
double FieldOfViewOf(const std::array<float, 16>& projection)
{
    return 2.0 * std::atan(1.0 / projection[5]) * 180.0 / 3.14159265358979;
}

} // namespace

TEST(CameraAngles, PitchIsClampedToEightyDegreesAndYawIsFree)
{
    XCamera camera;
    camera.SetPitch(95.0f);
    EXPECT_FLOAT_EQ(camera.GetPitch(), 80.0f);
    camera.SetPitch(-80.0f);
    EXPECT_FLOAT_EQ(camera.GetPitch(), -80.0f);
    camera.SetPitch(-80.5f);
    EXPECT_FLOAT_EQ(camera.GetPitch(), -80.0f);
    camera.SetYaw(725.0f);
    EXPECT_FLOAT_EQ(camera.GetYaw(), 725.0f);
}

TEST(CameraAxes, YawZeroLooksAlongPlusZWithRightAlongMinusX)
{
    XCamera camera;
    camera.UpdateAxes();
    EXPECT_NEAR(camera.GetForward().z, 1.0f, 1e-6f);
    EXPECT_NEAR(camera.GetRight().x, -1.0f, 1e-6f);
    EXPECT_NEAR(camera.GetRight().z, 0.0f, 1e-6f);
}

TEST(CameraAxes, YawNinetyLooksAlongPlusX)
{
    XCamera camera;
    camera.SetYaw(90.0f);
    camera.UpdateAxes();
    EXPECT_NEAR(camera.GetForward().x, 1.0f, 1e-4f);
    EXPECT_NEAR(camera.GetForward().z, 0.0f, 1e-4f);
}

TEST(CameraAxes, PitchTiltsTheViewButNotTheRightAxis)
{
    XCamera camera;
    camera.SetPitch(30.0f);
    camera.UpdateAxes();
    EXPECT_NEAR(camera.GetForward().y, std::sin(30.0 * 3.14152 / 180.0), 1e-5);
    EXPECT_NEAR(camera.GetRight().y, 0.0f, 1e-6f);
}

TEST(CameraMoves, StrafeAdvanceAndRaiseFollowTheAxes)
{
    XCamera camera;
    camera.SetPosition(0.0f, 0.0f, 0.0f);
    camera.UpdateAxes();
    camera.Advance(2.0f);
    camera.Strafe(3.0f);
    camera.Raise(1.5f);
    EXPECT_NEAR(camera.GetPosition().x, -3.0f, 1e-5f);
    EXPECT_NEAR(camera.GetPosition().y, 1.5f, 1e-5f);
    EXPECT_NEAR(camera.GetPosition().z, 2.0f, 1e-5f);
}

class CameraApplyTest : public GLContextTest {};

TEST_F(CameraApplyTest, PerspectiveFieldOfViewIsSixtyOverTheZoom)
{
    XCamera camera;
    camera.Apply(false, 0.0f, 1.0f);
    EXPECT_NEAR(FieldOfViewOf(CurrentMatrix(GL_PROJECTION_MATRIX)), 60.0, 1e-3);
    camera.SetValue(XVector3(2.0f, 0.0f, 0.0f));
    camera.Apply(false, 0.0f, 1.0f);
    const std::array<float, 16> projection = CurrentMatrix(GL_PROJECTION_MATRIX);
    EXPECT_NEAR(FieldOfViewOf(projection), 30.0, 1e-3);
    EXPECT_NEAR(projection[5] / projection[0], 1.33, 1e-5) << "the aspect ratio is the fixed 1.33";
}

TEST_F(CameraApplyTest, OrthographicViewIsEightyBySixtyWithDepthFromMinusToPlusForty)
{
    XCamera camera;
    camera.Apply(true, 0.0f, 0.0f);
    const std::array<float, 16> projection = CurrentMatrix(GL_PROJECTION_MATRIX);
    EXPECT_NEAR(projection[0], 2.0f / 80.0f, 1e-7f);
    EXPECT_NEAR(projection[5], 2.0f / 60.0f, 1e-7f);
    EXPECT_NEAR(projection[10], -2.0f / 80.0f, 1e-7f);
}

TEST_F(CameraApplyTest, ViewLooksFromTheEyeAlongTheViewDirectionAndForwardBecomesHorizontal)
{
    XCamera camera;
    camera.SetPosition(2.0f, 3.0f, 4.0f);
    camera.SetPitch(-20.0f);
    camera.Apply(false, 0.0f, 1.0f);
    const std::array<float, 16> view = CurrentMatrix(GL_MODELVIEW_MATRIX);
    // The eye (2, 4, 4) maps to the origin of eye space.
    const double ex = view[0] * 2 + view[4] * 4 + view[8] * 4 + view[12];
    const double ey = view[1] * 2 + view[5] * 4 + view[9] * 4 + view[13];
    const double ez = view[2] * 2 + view[6] * 4 + view[10] * 4 + view[14];
    EXPECT_NEAR(ex, 0.0, 1e-5);
    EXPECT_NEAR(ey, 0.0, 1e-5);
    EXPECT_NEAR(ez, 0.0, 1e-5);
    EXPECT_LT(camera.GetViewDirection().y, -0.3f) << "looking down";
    EXPECT_NEAR(camera.GetForward().y, 0.0f, 1e-6f);
    EXPECT_NEAR(camera.GetForward().z, 1.0f, 1e-6f);
}
