// Nearest points on a triangle and the first touch of a moving sphere: checked against brute force (dense
// sampling of the triangle, small steps along the path) and on the cases that tell face, edge and corner apart.
#include "math/SphereTriangle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

const XTriangleCorners kTriangle{XVector3d(0.0, 0.0, 0.0), XVector3d(4.0, 0.0, 0.0), XVector3d(0.0, 0.0, 3.0)};

// The distance to the triangle by sampling it densely (an upper bound a little above the true distance).
double SampledDistance(const XVector3d& p, const XTriangleCorners& t)
{
    const int steps = 400;
    double best = 1e30;
    for (int i = 0; i <= steps; ++i) {
        for (int j = 0; i + j <= steps; ++j) {
            const double u = static_cast<double>(i) / steps;
            const double v = static_cast<double>(j) / steps;
            const XVector3d q = t.a + (t.b - t.a) * u + (t.c - t.a) * v;
            best = std::min(best, (q - p).Length());
        }
    }
    return best;
}

double ExactDistance(const XVector3d& p, const XTriangleCorners& t)
{
    return std::sqrt(SquaredDistanceToTriangle(p, t));
}

} // namespace

TEST(ClosestPointOnTriangle, AgreesWithDenseSamplingEverywhereAround)
{
    std::mt19937 random(3);
    std::uniform_real_distribution<double> around(-6.0, 8.0);
    for (int i = 0; i < 200; ++i) {
        const XVector3d p(around(random), around(random), around(random));
        const double exact = ExactDistance(p, kTriangle);
        const double sampled = SampledDistance(p, kTriangle);
        EXPECT_LE(exact, sampled + 1e-9) << "point " << i;
        EXPECT_NEAR(exact, sampled, 0.02) << "point " << i;
    }
}

TEST(ClosestPointOnTriangle, FindsTheFaceTheEdgesAndTheCorners)
{
    const auto near = [](const XVector3d& p) { return ClosestPointOnTriangle(p, kTriangle); };
    const XVector3d face = near(XVector3d(1.0, 5.0, 1.0));
    EXPECT_NEAR(face.x, 1.0, 1e-12);
    EXPECT_NEAR(face.y, 0.0, 1e-12);
    EXPECT_NEAR(face.z, 1.0, 1e-12);
    const XVector3d edge = near(XVector3d(2.0, 1.0, -2.0)); // below the edge along x
    EXPECT_NEAR(edge.x, 2.0, 1e-12);
    EXPECT_NEAR(edge.z, 0.0, 1e-12);
    const XVector3d corner = near(XVector3d(7.0, -1.0, -1.0));
    EXPECT_NEAR(corner.x, 4.0, 1e-12);
    EXPECT_NEAR(corner.z, 0.0, 1e-12);
    // A triangle without area: the nearest point of its segments.
    const XTriangleCorners flat{XVector3d(0.0, 0.0, 0.0), XVector3d(2.0, 0.0, 0.0), XVector3d(4.0, 0.0, 0.0)};
    EXPECT_NEAR(ExactDistance(XVector3d(3.0, 2.0, 0.0), flat), 2.0, 1e-12);
    EXPECT_NEAR(ExactDistance(XVector3d(6.0, 0.0, 0.0), flat), 2.0, 1e-12);
}

TEST(SweepSphere, TouchesTheFaceTheEdgeAndTheCornerWhereTheDistanceFirstReachesTheRadius)
{
    double fraction = -1.0;
    // Straight down onto the face from 5 above: the sphere of radius 1 touches after 4 of the 10 units.
    ASSERT_TRUE(SweepSphere(XVector3d(1.0, 5.0, 1.0), XVector3d(0.0, -10.0, 0.0), 1.0, kTriangle, fraction));
    EXPECT_NEAR(fraction, 0.4, 1e-12);
    // Along z towards the edge on z = 0, beside the face's plane: touches at distance 1 from the edge.
    ASSERT_TRUE(SweepSphere(XVector3d(2.0, 0.0, -5.0), XVector3d(0.0, 0.0, 10.0), 1.0, kTriangle, fraction));
    EXPECT_NEAR(fraction, 0.4, 1e-12);
    // Along x towards the corner (4, 0, 0) from beyond it.
    ASSERT_TRUE(SweepSphere(XVector3d(10.0, 0.0, -0.0), XVector3d(-10.0, 0.0, 0.0), 1.0, kTriangle, fraction));
    EXPECT_NEAR(fraction, 0.5, 1e-12);
    // Passing by a corner at 1.5: no touch; at 0.5: touch.
    EXPECT_FALSE(SweepSphere(XVector3d(-5.0, 0.0, -1.5), XVector3d(10.0, 0.0, -0.0), 1.0, kTriangle, fraction));
    EXPECT_TRUE(SweepSphere(XVector3d(-5.0, 0.0, -0.5), XVector3d(10.0, 0.0, 0.0), 1.0, kTriangle, fraction));
    // From below, through the back of the face: both sides count.
    ASSERT_TRUE(SweepSphere(XVector3d(1.0, -3.0, 1.0), XVector3d(0.0, 6.0, 0.0), 1.0, kTriangle, fraction));
    EXPECT_NEAR(fraction, 2.0 / 6.0, 1e-12);
    // Moving away, or stopping short: no touch. Already overlapping: a touch at 0.
    EXPECT_FALSE(SweepSphere(XVector3d(1.0, 2.0, 1.0), XVector3d(0.0, 5.0, 0.0), 1.0, kTriangle, fraction));
    EXPECT_FALSE(SweepSphere(XVector3d(1.0, 5.0, 1.0), XVector3d(0.0, -3.5, 0.0), 1.0, kTriangle, fraction));
    ASSERT_TRUE(SweepSphere(XVector3d(1.0, 0.5, 1.0), XVector3d(0.0, 5.0, 0.0), 1.0, kTriangle, fraction));
    EXPECT_EQ(fraction, 0.0);
}

TEST(SweepSphere, AgreesWithSmallStepsAlongRandomPaths)
{
    std::mt19937 random(11);
    std::uniform_real_distribution<double> around(-8.0, 10.0);
    int touches = 0;
    for (int i = 0; i < 400; ++i) {
        const XVector3d start(around(random), around(random) / 2.0, around(random));
        const XVector3d move = XVector3d(around(random), around(random) / 2.0, around(random)) - start;
        const double radius = 1.5;
        if (ExactDistance(start, kTriangle) < radius) {
            continue;
        }
        double fraction = -1.0;
        const bool touched = SweepSphere(start, move, radius, kTriangle, fraction);
        // The first step at which the distance comes within the radius.
        const int steps = 4000;
        double stepped = -1.0;
        for (int s = 0; s <= steps; ++s) {
            const double f = static_cast<double>(s) / steps;
            if (ExactDistance(start + move * f, kTriangle) <= radius) {
                stepped = f;
                break;
            }
        }
        ASSERT_EQ(touched, stepped >= 0.0) << "path " << i;
        if (touched) {
            ++touches;
            EXPECT_NEAR(fraction, stepped, 1.0 / steps + 1e-9) << "path " << i;
            EXPECT_NEAR(ExactDistance(start + move * fraction, kTriangle), radius, 1e-6) << "path " << i;
        }
    }
    EXPECT_GT(touches, 40);
}
