// Tests of XTriangle: plane set-up, point-in-triangle, sphere contact, segment hits, classification, scaling.
#include "math/XTriangle.h"

#include "VectorMatchers.h"

#include <gtest/gtest.h>

#include <cmath> // cos, sin, isfinite

namespace {

// A large floor triangle in the plane y = 0, normal straight up. Edge 0 runs along x = -100, edge 1 is the
// diagonal x + z = 0, edge 2 runs along z = -100.
XTriangle Floor()
{
    return XTriangle(XVector3(-100.0f, 0.0f, -100.0f), XVector3(-100.0f, 0.0f, 100.0f), XVector3(100.0f, 0.0f, -100.0f));
}

// A unit triangle in y = 0, normal up; edge 0 runs from the origin along the z axis (x = 0, length 1).
XTriangle Unit()
{
    return XTriangle(XVector3(0.0f, 0.0f, 0.0f), XVector3(0.0f, 0.0f, 1.0f), XVector3(1.0f, 0.0f, 0.0f));
}

// A triangle whose normal is tilted from straight up by the angle (degrees) towards +x.
XTriangle Tilted(double degrees)
{
    const double a = degrees * 3.141592653589793 / 180.0;
    // Edges 10 * (0, 0, 1) and 10 * (cos a, -sin a, 0): their cross product is 100 * (sin a, cos a, 0).
    return XTriangle(XVector3(0.0f, 0.0f, 0.0f), XVector3(0.0f, 0.0f, 10.0f),
                     XVector3(static_cast<float>(10.0 * std::cos(a)), static_cast<float>(-10.0 * std::sin(a)), 10.0f));
}

} // namespace

TEST(XTrianglePlane, NormalFollowsTheWinding)
{
    EXPECT_TRUE(VectorEq(Unit().normal, XVector3(0.0f, 1.0f, 0.0f)));
    const XTriangle reversed(XVector3(0.0f, 0.0f, 0.0f), XVector3(1.0f, 0.0f, 0.0f), XVector3(0.0f, 0.0f, 1.0f));
    EXPECT_TRUE(VectorEq(reversed.normal, XVector3(0.0f, -1.0f, 0.0f)));
}

TEST(XTrianglePlane, DistanceIsSignedAndMeasuredFromThePlane)
{
    const XTriangle raised(XVector3(0.0f, 2.0f, 0.0f), XVector3(0.0f, 2.0f, 30.0f), XVector3(30.0f, 2.0f, 0.0f));
    EXPECT_EQ(raised.d, -2.0f);
    EXPECT_EQ(raised.PlaneDistance(XVector3(55.0f, 7.0f, -40.0f)), 5.0f);
    EXPECT_EQ(raised.PlaneDistance(XVector3(1.0f, -1.0f, 1.0f)), -3.0f);
}

TEST(XTrianglePlane, NormalIsUnitLength)
{
    const XTriangle t(XVector3(1.0f, 2.0f, 3.0f), XVector3(-4.0f, 7.0f, 0.5f), XVector3(9.0f, -3.0f, 2.0f));
    EXPECT_NEAR(t.normal.Length(), 1.0f, 1e-7);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(t.PlaneDistance(t.vertex[i]), 0.0f, 1e-5);
    }
}

TEST(XTriangleContainsProjectedPoint, VerticesEdgesAndInterior)
{
    const XTriangle t = Unit();
    EXPECT_TRUE(t.ContainsProjectedPoint(XVector3(0.25f, 0.0f, 0.25f)));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(t.ContainsProjectedPoint(t.vertex[i])) << "vertex " << i;
    }
    EXPECT_TRUE(t.ContainsProjectedPoint(XVector3(0.5f, 0.0f, 0.5f)));
    EXPECT_FALSE(t.ContainsProjectedPoint(XVector3(0.6f, 0.0f, 0.6f)));
    EXPECT_FALSE(t.ContainsProjectedPoint(XVector3(-1.0f, 0.0f, -1.0f)));
}

// Edge 0 has length 1, so the edge test's value equals the distance outside it.
TEST(XTriangleContainsProjectedPoint, ToleranceOfOneHundredThousandthOutsideAnEdge)
{
    const XTriangle t = Unit();
    EXPECT_TRUE(t.ContainsProjectedPoint(XVector3(-0.000009f, 0.0f, 0.5f)));
    EXPECT_TRUE(t.ContainsProjectedPoint(XVector3(-0.00001f, 0.0f, 0.5f)));
    EXPECT_FALSE(t.ContainsProjectedPoint(XVector3(-0.000011f, 0.0f, 0.5f)));
    EXPECT_FALSE(t.ContainsProjectedPoint(XVector3(-0.0001f, 0.0f, 0.5f)));
}

TEST(XTriangleContainsProjectedPoint, IgnoresTheDistanceFromThePlane)
{
    EXPECT_TRUE(Unit().ContainsProjectedPoint(XVector3(0.25f, 50.0f, 0.25f)));
}

TEST(XTriangleSphereContact, WindowFromHalfBehindToTenInFront)
{
    const XTriangle t = Floor();
    XVector3 contact;
    ASSERT_TRUE(t.SphereContact(XVector3(-50.0f, 10.0f, -50.0f), contact));
    EXPECT_TRUE(VectorEq(contact, XVector3(-50.0f, 0.0f, -50.0f)));
    EXPECT_FALSE(t.SphereContact(XVector3(-50.0f, 10.001f, -50.0f), contact));
    ASSERT_TRUE(t.SphereContact(XVector3(-50.0f, -0.5f, -50.0f), contact));
    EXPECT_TRUE(VectorEq(contact, XVector3(-50.0f, 0.0f, -50.0f)));
    EXPECT_FALSE(t.SphereContact(XVector3(-50.0f, -0.6f, -50.0f), contact));
}

TEST(XTriangleSphereContact, BesideAnEdgeTouchesTheEdge)
{
    const XTriangle t = Floor();
    XVector3 contact;
    ASSERT_TRUE(t.SphereContact(XVector3(-105.0f, 3.0f, 0.0f), contact));
    EXPECT_TRUE(VectorEq(contact, XVector3(-100.0f, 0.0f, 0.0f)));
    // Exactly 10.0 from the edge still touches; a little more does not, though the plane is near.
    ASSERT_TRUE(t.SphereContact(XVector3(-110.0f, 0.0f, 0.0f), contact));
    EXPECT_TRUE(VectorEq(contact, XVector3(-100.0f, 0.0f, 0.0f)));
    EXPECT_FALSE(t.SphereContact(XVector3(-110.001f, 0.0f, 0.0f), contact));
    EXPECT_FALSE(t.SphereContact(XVector3(-109.0f, 5.0f, 0.0f), contact));
}

// Edge 0 is within reach (8.5 away) but edge 1 is nearer (3.7): the nearest edge gives the point, not the first.
TEST(XTriangleSphereContact, NearestEdgeWinsOverTheFirstInReach)
{
    XVector3 contact;
    ASSERT_TRUE(Floor().SphereContact(XVector3(-92.0f, 3.0f, 95.0f), contact));
    EXPECT_TRUE(VectorEq(contact, XVector3(-93.5f, 0.0f, 93.5f)));
}

// Beyond a corner, the two edges meeting there tie at that corner; the corner is the contact point.
TEST(XTriangleSphereContact, BeyondACornerTouchesTheCorner)
{
    const XTriangle t = Floor();
    XVector3 contact;
    ASSERT_TRUE(t.SphereContact(XVector3(-105.0f, 2.0f, -105.0f), contact));
    EXPECT_TRUE(VectorEq(contact, t.vertex[0]));
    ASSERT_TRUE(t.SphereContact(XVector3(-104.0f, 1.0f, 106.0f), contact));
    EXPECT_TRUE(VectorEq(contact, t.vertex[1]));
    ASSERT_TRUE(t.SphereContact(XVector3(103.0f, -0.25f, -104.0f), contact));
    EXPECT_TRUE(VectorEq(contact, t.vertex[2]));
}

TEST(XTriangleSegmentHit, HitsWithinTheSegment)
{
    const XTriangle t = Floor();
    XVector3 hit;
    ASSERT_TRUE(t.SegmentHit(XVector3(-50.0f, 10.0f, -50.0f), XVector3(0.0f, -10.0f, 0.0f), 0.0f, hit));
    EXPECT_TRUE(VectorEq(hit, XVector3(-50.0f, 0.0f, -50.0f)));
    ASSERT_TRUE(t.SegmentHit(XVector3(-60.0f, 10.0f, -60.0f), XVector3(20.0f, -20.0f, 0.0f), 0.0f, hit));
    EXPECT_TRUE(VectorEq(hit, XVector3(-50.0f, 0.0f, -60.0f)));
    // The side the segment comes from does not matter.
    ASSERT_TRUE(t.SegmentHit(XVector3(-50.0f, -10.0f, -50.0f), XVector3(0.0f, 20.0f, 0.0f), 0.0f, hit));
    EXPECT_TRUE(VectorEq(hit, XVector3(-50.0f, 0.0f, -50.0f)));
}

// With tolerance 1 the segment counts from t = -1 to t = 2, both inclusive.
TEST(XTriangleSegmentHit, ToleranceWidensTheSegmentAtBothEnds)
{
    const XTriangle t = Floor();
    XVector3 hit;
    EXPECT_TRUE(t.SegmentHit(XVector3(-50.0f, 10.0f, -50.0f), XVector3(0.0f, -5.0f, 0.0f), 1.0f, hit));
    EXPECT_TRUE(VectorEq(hit, XVector3(-50.0f, 0.0f, -50.0f)));
    EXPECT_FALSE(t.SegmentHit(XVector3(-50.0f, 10.0f, -50.0f), XVector3(0.0f, -4.0f, 0.0f), 1.0f, hit));
    EXPECT_TRUE(t.SegmentHit(XVector3(-50.0f, -5.0f, -50.0f), XVector3(0.0f, -5.0f, 0.0f), 1.0f, hit));
    EXPECT_FALSE(t.SegmentHit(XVector3(-50.0f, -6.0f, -50.0f), XVector3(0.0f, -5.0f, 0.0f), 1.0f, hit));
    // t = 1.0005: inside a tolerance of 0.001, outside one of 0.0001 and outside none.
    const XVector3 start(-50.0f, 10.0f, -50.0f);
    const XVector3 dir(0.0f, -9.995f, 0.0f);
    EXPECT_TRUE(t.SegmentHit(start, dir, 0.001f, hit));
    EXPECT_FALSE(t.SegmentHit(start, dir, 0.0001f, hit));
    EXPECT_FALSE(t.SegmentHit(start, dir, 0.0f, hit));
}

TEST(XTriangleSegmentHit, ParallelOrBesideTheTriangleMisses)
{
    const XTriangle t = Floor();
    XVector3 hit(7.0f, 7.0f, 7.0f);
    // Lying in the plane over the triangle: the direction is exactly parallel, so no hit.
    EXPECT_FALSE(t.SegmentHit(XVector3(-50.0f, 0.0f, -50.0f), XVector3(1.0f, 0.0f, 0.0f), 1.0f, hit));
    EXPECT_FALSE(t.SegmentHit(XVector3(-50.0f, 1.0f, -50.0f), XVector3(0.0f, 0.0f, 5.0f), 1.0f, hit));
    EXPECT_FALSE(t.SegmentHit(XVector3(50.0f, 10.0f, 50.0f), XVector3(0.0f, -20.0f, 0.0f), 1.0f, hit));
    EXPECT_TRUE(VectorEq(hit, XVector3(7.0f, 7.0f, 7.0f)));
}

TEST(XTriangleClassify, FloorWithinFortyFiveDegreesOfUp)
{
    EXPECT_EQ(Floor().Classify(), XTriangle::Floor);
    EXPECT_EQ(Tilted(0.0).Classify(), XTriangle::Floor);
    EXPECT_EQ(Tilted(44.9).Classify(), XTriangle::Floor);
    EXPECT_EQ(Tilted(-44.9).Classify(), XTriangle::Floor);
    EXPECT_EQ(Tilted(45.1).Classify(), XTriangle::Wall);
    EXPECT_EQ(Tilted(-45.1).Classify(), XTriangle::Wall);
}

TEST(XTriangleClassify, CeilingWithinFortyFiveDegreesOfDown)
{
    const XTriangle t = Floor();
    EXPECT_EQ(XTriangle(t.vertex[0], t.vertex[2], t.vertex[1]).Classify(), XTriangle::Ceiling);
    EXPECT_EQ(Tilted(180.0).Classify(), XTriangle::Ceiling);
    EXPECT_EQ(Tilted(135.1).Classify(), XTriangle::Ceiling);
    EXPECT_EQ(Tilted(224.9).Classify(), XTriangle::Ceiling);
    EXPECT_EQ(Tilted(134.9).Classify(), XTriangle::Wall);
    EXPECT_EQ(Tilted(225.1).Classify(), XTriangle::Wall);
}

TEST(XTriangleClassify, UprightIsWall)
{
    EXPECT_EQ(Tilted(90.0).Classify(), XTriangle::Wall);
    EXPECT_EQ(Tilted(-90.0).Classify(), XTriangle::Wall);
}

TEST(XTriangleShape, CentroidIsTheMeanOfTheCorners)
{
    const XTriangle t(XVector3(0.0f, 0.0f, 0.0f), XVector3(3.0f, 0.0f, 0.0f), XVector3(0.0f, 6.0f, 3.0f));
    EXPECT_TRUE(VectorEq(t.Centroid(), XVector3(1.0f, 2.0f, 1.0f)));
}

TEST(XTriangleShape, ScaledRecomputesNormalAndD)
{
    const XTriangle raised(XVector3(0.0f, 2.0f, 0.0f), XVector3(0.0f, 2.0f, 30.0f), XVector3(30.0f, 2.0f, 0.0f));
    const XTriangle tall = raised.Scaled(XVector3(1.0f, 5.0f, 1.0f));
    EXPECT_TRUE(VectorEq(tall.vertex[1], XVector3(0.0f, 10.0f, 30.0f)));
    EXPECT_TRUE(VectorEq(tall.normal, XVector3(0.0f, 1.0f, 0.0f)));
    EXPECT_EQ(tall.d, -10.0f);

    // The plane x + y = 0 stretched by 2 along x becomes x + 2y = 0.
    const XTriangle slope(XVector3(0.0f, 0.0f, 0.0f), XVector3(0.0f, 0.0f, 1.0f), XVector3(1.0f, -1.0f, 0.0f));
    const XTriangle stretched = slope.Scaled(XVector3(2.0f, 1.0f, 1.0f));
    EXPECT_TRUE(VectorNear(stretched.normal, XVector3(1.0f, 2.0f, 0.0f) / std::sqrt(5.0f), 1e-7));
    EXPECT_NEAR(stretched.d, 0.0f, 1e-7);
}

// Corners on one line have no plane: every test must then report nothing rather than a point made of NaNs.
TEST(XTriangleDegenerate, CollinearCornersTouchNothing)
{
    const XTriangle t(XVector3(0.0f, 0.0f, 0.0f), XVector3(1.0f, 1.0f, 1.0f), XVector3(2.0f, 2.0f, 2.0f));
    XVector3 point;
    EXPECT_FALSE(t.ContainsProjectedPoint(XVector3(1.0f, 1.0f, 1.0f)));
    EXPECT_FALSE(t.SphereContact(XVector3(1.0f, 1.5f, 1.0f), point));
    EXPECT_FALSE(t.SegmentHit(XVector3(1.0f, 5.0f, 1.0f), XVector3(0.0f, -10.0f, 0.0f), 1.0f, point));
    EXPECT_EQ(t.Classify(), XTriangle::Wall);
}
