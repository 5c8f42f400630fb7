// Tests of the segment helpers: closest points, segment-plane crossings and projection onto a plane.
#include "math/Segment.h"

#include "VectorMatchers.h"

#include <gtest/gtest.h>

TEST(ClosestPointOnSegment, InteriorAndClampedToTheEnds)
{
    const XVector3 a(0.0f, 0.0f, 0.0f);
    const XVector3 b(4.0f, 0.0f, 0.0f);
    EXPECT_TRUE(VectorEq(ClosestPointOnSegment(a, b, XVector3(1.5f, 3.0f, -2.0f)), XVector3(1.5f, 0.0f, 0.0f)));
    EXPECT_TRUE(VectorEq(ClosestPointOnSegment(a, b, XVector3(-3.0f, 1.0f, 0.0f)), a));
    EXPECT_TRUE(VectorEq(ClosestPointOnSegment(a, b, XVector3(9.0f, -1.0f, 0.0f)), b));
}

TEST(ClosestPointOnSegment, DegenerateSegmentGivesItsStart)
{
    const XVector3 a(1.0f, 2.0f, 3.0f);
    EXPECT_TRUE(VectorEq(ClosestPointOnSegment(a, a, XVector3(5.0f, 5.0f, 5.0f)), a));
    EXPECT_EQ(DistanceToSegment(a, a, XVector3(1.0f, 2.0f, 7.0f)), 4.0f);
}

TEST(DistanceToSegment, MeasuresToTheNearestPointOfTheSegment)
{
    const XVector3 a(0.0f, 0.0f, 0.0f);
    const XVector3 b(0.0f, 10.0f, 0.0f);
    EXPECT_EQ(DistanceToSegment(a, b, XVector3(3.0f, 5.0f, 4.0f)), 5.0f);
    EXPECT_EQ(DistanceToSegment(a, b, XVector3(0.0f, 13.0f, 4.0f)), 5.0f);
    EXPECT_EQ(DistanceToSegment(a, b, XVector3(0.0f, 7.0f, 0.0f)), 0.0f);
}

TEST(SegmentPlane, CrossingPoint)
{
    XVector3 point;
    ASSERT_TRUE(SegmentPlane(XVector3(0.0f, -1.0f, 0.0f), XVector3(2.0f, 3.0f, 0.0f), XVector3(0.0f, 1.0f, 0.0f),
                             XVector3(7.0f, 0.0f, 7.0f), point));
    EXPECT_TRUE(VectorEq(point, XVector3(0.5f, 0.0f, 0.0f)));
}

TEST(SegmentPlane, BothEndsAreIncluded)
{
    const XVector3 n(1.0f, 0.0f, 0.0f);
    const XVector3 q(2.0f, 0.0f, 0.0f);
    XVector3 point;
    ASSERT_TRUE(SegmentPlane(XVector3(2.0f, 1.0f, 1.0f), XVector3(5.0f, 0.0f, 0.0f), n, q, point));
    EXPECT_TRUE(VectorEq(point, XVector3(2.0f, 1.0f, 1.0f)));
    ASSERT_TRUE(SegmentPlane(XVector3(-5.0f, 0.0f, 0.0f), XVector3(2.0f, 3.0f, 4.0f), n, q, point));
    EXPECT_TRUE(VectorEq(point, XVector3(2.0f, 3.0f, 4.0f)));
}

TEST(SegmentPlane, ShortOfThePlaneOrParallelIsNoCrossing)
{
    const XVector3 n(1.0f, 0.0f, 0.0f);
    const XVector3 q(2.0f, 0.0f, 0.0f);
    XVector3 point(9.0f, 9.0f, 9.0f);
    EXPECT_FALSE(SegmentPlane(XVector3(-5.0f, 0.0f, 0.0f), XVector3(1.999f, 0.0f, 0.0f), n, q, point));
    EXPECT_FALSE(SegmentPlane(XVector3(2.001f, 0.0f, 0.0f), XVector3(5.0f, 0.0f, 0.0f), n, q, point));
    // Lying in the plane is parallel too.
    EXPECT_FALSE(SegmentPlane(XVector3(2.0f, 0.0f, 0.0f), XVector3(2.0f, 5.0f, 0.0f), n, q, point));
    EXPECT_TRUE(VectorEq(point, XVector3(9.0f, 9.0f, 9.0f)));
}

// The crossing of an axis plane lies exactly on it, so that pieces cut at an octree boundary sort consistently.
TEST(SegmentPlane, CrossingOfAnAxisPlaneLiesExactlyOnIt)
{
    XVector3 point;
    ASSERT_TRUE(SegmentPlane(XVector3(0.1f, 0.3f, 0.7f), XVector3(0.9f, -0.2f, 0.5f), XVector3(1.0f, 0.0f, 0.0f),
                             XVector3(0.3f, 0.0f, 0.0f), point));
    EXPECT_EQ(point.x, 0.3f);
}

TEST(ProjectOntoPlane, MovesAlongTheNormalOntoThePlane)
{
    EXPECT_TRUE(VectorEq(ProjectOntoPlane(XVector3(0.0f, 1.0f, 0.0f), XVector3(5.0f, 3.0f, 5.0f),
                                          XVector3(1.0f, 5.0f, 2.0f)),
                         XVector3(1.0f, 3.0f, 2.0f)));
    EXPECT_TRUE(VectorNear(ProjectOntoPlane(XVector3(0.6f, 0.0f, 0.8f), XVector3(), XVector3(3.0f, 1.0f, 4.0f)),
                           XVector3(0.0f, 1.0f, 0.0f), 1e-6));
}
