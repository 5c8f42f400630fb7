// Tests of XVector3: arithmetic, products, lengths, angles and the rotation about an axis.
#include "math/XVector3.h"

#include "VectorMatchers.h"

#include <gtest/gtest.h>

#include <cmath> // cos, sin, isfinite

TEST(XVector3Arithmetic, DefaultIsZero)
{
    const XVector3 v;
    EXPECT_TRUE(VectorEq(v, XVector3(0.0f, 0.0f, 0.0f)));
}

TEST(XVector3Arithmetic, IndexReadsAndWritesTheNamedComponent)
{
    XVector3 v(1.0f, 2.0f, 3.0f);
    v[1] = 7.0f;
    v[2] += 1.0f;
    EXPECT_EQ(v.y, 7.0f);
    EXPECT_EQ(v.z, 4.0f);
    const XVector3 c = v;
    EXPECT_EQ(c[0], 1.0f);
    EXPECT_EQ(c[1], 7.0f);
    EXPECT_EQ(c[2], 4.0f);
}

TEST(XVector3Arithmetic, ComponentWiseOperators)
{
    const XVector3 a(1.0f, 2.0f, 3.0f);
    const XVector3 b(4.0f, -5.0f, 0.5f);
    EXPECT_TRUE(VectorEq(a + b, XVector3(5.0f, -3.0f, 3.5f)));
    EXPECT_TRUE(VectorEq(a - b, XVector3(-3.0f, 7.0f, 2.5f)));
    EXPECT_TRUE(VectorEq(-a, XVector3(-1.0f, -2.0f, -3.0f)));
    EXPECT_TRUE(VectorEq(MultiplyComponents(a, b), XVector3(4.0f, -10.0f, 1.5f)));
    XVector3 c = a;
    c.MultiplyComponents(b);
    EXPECT_TRUE(VectorEq(c, XVector3(4.0f, -10.0f, 1.5f)));
}

TEST(XVector3Arithmetic, ScalarOperators)
{
    const XVector3 a(1.0f, 2.0f, -3.0f);
    EXPECT_TRUE(VectorEq(a * 2.0f, XVector3(2.0f, 4.0f, -6.0f)));
    EXPECT_TRUE(VectorEq(2.0f * a, XVector3(2.0f, 4.0f, -6.0f)));
    EXPECT_TRUE(VectorEq(a / 4.0f, XVector3(0.25f, 0.5f, -0.75f)));
    // Adding a scalar adds it to every component.
    EXPECT_TRUE(VectorEq(a + 1.0f, XVector3(2.0f, 3.0f, -2.0f)));
}

TEST(XVector3Arithmetic, InPlaceOperatorsChangeTheLeftOperand)
{
    XVector3 v(1.0f, 1.0f, 1.0f);
    v += XVector3(1.0f, 2.0f, 3.0f);
    EXPECT_TRUE(VectorEq(v, XVector3(2.0f, 3.0f, 4.0f)));
    v -= XVector3(0.5f, 0.5f, 0.5f);
    EXPECT_TRUE(VectorEq(v, XVector3(1.5f, 2.5f, 3.5f)));
    v *= 2.0f;
    EXPECT_TRUE(VectorEq(v, XVector3(3.0f, 5.0f, 7.0f)));
    v.Scale(-1.0f);
    EXPECT_TRUE(VectorEq(v, XVector3(-3.0f, -5.0f, -7.0f)));
}

TEST(XVector3Products, DotAndRightHandedCross)
{
    EXPECT_EQ(Dot(XVector3(1.0f, 2.0f, 3.0f), XVector3(4.0f, -5.0f, 6.0f)), 12.0f);
    EXPECT_TRUE(VectorEq(Cross(XVector3(1.0f, 0.0f, 0.0f), XVector3(0.0f, 1.0f, 0.0f)), XVector3(0.0f, 0.0f, 1.0f)));
    EXPECT_TRUE(VectorEq(Cross(XVector3(0.0f, 1.0f, 0.0f), XVector3(0.0f, 0.0f, 1.0f)), XVector3(1.0f, 0.0f, 0.0f)));
    EXPECT_TRUE(VectorEq(Cross(XVector3(2.0f, 3.0f, 4.0f), XVector3(5.0f, 6.0f, 7.0f)), XVector3(-3.0f, 6.0f, -3.0f)));
}

// Sums evaluated in float would lose the 1 against 1e8 (and give 0); the result must be the true value.
TEST(XVector3Products, DotIsEvaluatedInHigherPrecision)
{
    EXPECT_EQ(Dot(XVector3(1.0e8f, 1.0f, -1.0e8f), XVector3(1.0f, 1.0f, 1.0f)), 1.0f);
}

TEST(XVector3Length, LengthDistanceAndNormalize)
{
    EXPECT_EQ(XVector3(3.0f, 4.0f, 12.0f).Length(), 13.0f);
    EXPECT_EQ(Distance(XVector3(1.0f, 1.0f, 1.0f), XVector3(4.0f, 5.0f, 13.0f)), 13.0f);
    XVector3 v(0.0f, 3.0f, -4.0f);
    v.Normalize();
    EXPECT_TRUE(VectorNear(v, XVector3(0.0f, 0.6f, -0.8f), 1e-7));
    EXPECT_TRUE(VectorNear(XVector3(0.0f, 0.0f, -9.0f).Normalized(), XVector3(0.0f, 0.0f, -1.0f), 0.0));
}

// Squares of 1e20 overflow float; the length must still be right.
TEST(XVector3Length, LargeComponentsDoNotOverflow)
{
    EXPECT_FLOAT_EQ(XVector3(3.0e20f, 4.0e20f, 0.0f).Length(), 5.0e20f);
}

TEST(XVector3Length, NormalizingZeroGivesNonFiniteComponents)
{
    const XVector3 v = XVector3().Normalized();
    EXPECT_FALSE(std::isfinite(v.x));
    EXPECT_FALSE(std::isfinite(v.y));
    EXPECT_FALSE(std::isfinite(v.z));
}

TEST(XVector3Angle, AnglesInDegreesWhateverTheLengths)
{
    EXPECT_FLOAT_EQ(AngleBetween(XVector3(2.0f, 0.0f, 0.0f), XVector3(0.0f, 0.0f, 5.0f)), 90.0f);
    EXPECT_FLOAT_EQ(AngleBetween(XVector3(1.0f, 0.0f, 0.0f), XVector3(-3.0f, 0.0f, 0.0f)), 180.0f);
    EXPECT_FLOAT_EQ(AngleBetween(XVector3(1.0f, 1.0f, 0.0f), XVector3(0.0f, 7.0f, 0.0f)), 45.0f);
}

// The cosine of a vector with itself can round to just above 1; the angle must still be (nearly) 0, not NaN.
TEST(XVector3Angle, ParallelVectorsGiveZeroNotNaN)
{
    for (int i = 1; i < 200; ++i) {
        const XVector3 v(0.1f * static_cast<float>(i), 1.0f / static_cast<float>(i), 0.37f * static_cast<float>(i % 7));
        const float angle = AngleBetween(v, v * 3.0f);
        ASSERT_TRUE(std::isfinite(angle)) << "i = " << i;
        EXPECT_LT(angle, 0.01f) << "i = " << i;
    }
}

// The rotation converts degrees with 3.14152, slightly short of pi: a quarter turn of (0, 0, 1) about the y axis
// ends very nearly, but not exactly, at (1, 0, 0), leaving z = cos(90 / 180 * 3.14152).
TEST(XVector3Rotation, QuarterTurnUsesTheShortPiConstant)
{
    XVector3 v(0.0f, 0.0f, 1.0f);
    RotateAroundAxis(v, 90.0f, XVector3(0.0f, 1.0f, 0.0f));
    const double leftOver = std::cos(90.0 / 180.0 * 3.14152);
    EXPECT_GT(leftOver, 3.6e-5);
    EXPECT_FLOAT_EQ(v.x, 1.0f);
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_NEAR(v.z, leftOver, 1e-10);
}

TEST(XVector3Rotation, FullTurnFallsShortOfTheStart)
{
    const XVector3 v = RotatedAroundAxis(XVector3(1.0f, 0.0f, 0.0f), 360.0f, XVector3(0.0f, 0.0f, 1.0f));
    EXPECT_NEAR(v.y, std::sin(2.0 * 3.14152), 1e-9);
    EXPECT_LT(v.y, -1.4e-4);
}

TEST(XVector3Rotation, AxisLengthDoesNotMatter)
{
    const XVector3 v(0.3f, -1.2f, 2.5f);
    const XVector3 unitAxis = XVector3(1.0f, 2.0f, 2.0f) / 3.0f;
    const XVector3 byUnit = RotatedAroundAxis(v, 37.0f, unitAxis);
    const XVector3 byLong = RotatedAroundAxis(v, 37.0f, XVector3(10.0f, 20.0f, 20.0f));
    EXPECT_TRUE(VectorNear(byLong, byUnit, 1e-6));
    EXPECT_FLOAT_EQ(byLong.Length(), v.Length());
    // The component along the axis is unchanged by the turn.
    EXPECT_NEAR(Dot(byLong, unitAxis), Dot(v, unitAxis), 1e-6);
}

// Seen from the tip of the axis, a positive angle turns counter-clockwise: x goes to y about z, y to z about x.
TEST(XVector3Rotation, PositiveAngleTurnsCounterClockwiseFromTheAxisTip)
{
    EXPECT_TRUE(VectorNear(RotatedAroundAxis(XVector3(1.0f, 0.0f, 0.0f), 90.0f, XVector3(0.0f, 0.0f, 1.0f)),
                           XVector3(0.0f, 1.0f, 0.0f), 1e-4));
    EXPECT_TRUE(VectorNear(RotatedAroundAxis(XVector3(0.0f, 1.0f, 0.0f), 90.0f, XVector3(1.0f, 0.0f, 0.0f)),
                           XVector3(0.0f, 0.0f, 1.0f), 1e-4));
    EXPECT_TRUE(VectorNear(RotatedAroundAxis(XVector3(1.0f, 0.0f, 0.0f), -90.0f, XVector3(0.0f, 0.0f, 1.0f)),
                           XVector3(0.0f, -1.0f, 0.0f), 1e-4));
}

TEST(XVector3Rotation, InPlaceFormMatchesTheCopyingForm)
{
    XVector3 v(4.0f, 5.0f, 6.0f);
    const XVector3 expected = RotatedAroundAxis(v, 123.0f, XVector3(-1.0f, 0.5f, 2.0f));
    RotateAroundAxis(v, 123.0f, XVector3(-1.0f, 0.5f, 2.0f));
    EXPECT_TRUE(VectorEq(v, expected));
}
