// Tests of XCube: corners, inclusive containment and the sphere and segment overlap tests.
#include "math/XCube.h"

#include "VectorMatchers.h"

#include <gtest/gtest.h>

TEST(XCubeSet, CornersFollowCentreAndHalfSize)
{
    XCube cube;
    cube.Set(XVector3(1.0f, 2.0f, 3.0f), 2.0f);
    EXPECT_TRUE(VectorEq(cube.Center(), XVector3(1.0f, 2.0f, 3.0f)));
    EXPECT_EQ(cube.HalfSize(), 2.0f);
    EXPECT_TRUE(VectorEq(cube.Min(), XVector3(-1.0f, 0.0f, 1.0f)));
    EXPECT_TRUE(VectorEq(cube.Max(), XVector3(3.0f, 4.0f, 5.0f)));
    cube.Set(XVector3(), 0.5f);
    EXPECT_TRUE(VectorEq(cube.Min(), XVector3(-0.5f, -0.5f, -0.5f)));
    EXPECT_TRUE(VectorEq(cube.Max(), XVector3(0.5f, 0.5f, 0.5f)));
}

TEST(XCubeContains, FacesAndCornersAreInside)
{
    const XCube cube(XVector3(1.0f, 2.0f, 3.0f), 2.0f);
    EXPECT_TRUE(cube.Contains(XVector3(1.0f, 2.0f, 3.0f)));
    EXPECT_TRUE(cube.Contains(XVector3(-1.0f, 2.0f, 3.0f)));
    EXPECT_TRUE(cube.Contains(XVector3(1.0f, 4.0f, 3.0f)));
    EXPECT_TRUE(cube.Contains(XVector3(3.0f, 4.0f, 5.0f)));
    EXPECT_TRUE(cube.Contains(XVector3(-1.0f, 0.0f, 1.0f)));
}

TEST(XCubeContains, JustOutsideAFaceIsOutside)
{
    const XCube cube(XVector3(1.0f, 2.0f, 3.0f), 2.0f);
    EXPECT_FALSE(cube.Contains(XVector3(3.0001f, 2.0f, 3.0f)));
    EXPECT_FALSE(cube.Contains(XVector3(1.0f, -0.0001f, 3.0f)));
    EXPECT_FALSE(cube.Contains(XVector3(1.0f, 2.0f, 5.0001f)));
}

TEST(XCubeIntersectsSphere, TouchingAFaceOrCornerCounts)
{
    const XCube cube(XVector3(1.0f, 2.0f, 3.0f), 2.0f);
    EXPECT_TRUE(cube.IntersectsSphere(XVector3(6.0f, 2.0f, 3.0f), 3.0f));
    EXPECT_FALSE(cube.IntersectsSphere(XVector3(6.0f, 2.0f, 3.0f), 2.999f));
    // 3 and 4 beyond the corner (3, 4, 5) on x and y: distance 5.
    EXPECT_TRUE(cube.IntersectsSphere(XVector3(6.0f, 8.0f, 5.0f), 5.0f));
    EXPECT_FALSE(cube.IntersectsSphere(XVector3(6.0f, 8.0f, 5.0f), 4.99f));
}

TEST(XCubeIntersectsSphere, CentreInsideAlwaysMeets)
{
    const XCube cube(XVector3(), 1.0f);
    EXPECT_TRUE(cube.IntersectsSphere(XVector3(0.5f, -0.5f, 0.9f), 0.0f));
}

TEST(XCubeIntersectsSegment, SegmentsThroughAndPast)
{
    const XCube cube(XVector3(), 1.0f);
    EXPECT_TRUE(cube.IntersectsSegment(XVector3(-5.0f, 0.0f, 0.0f), XVector3(5.0f, 0.0f, 0.0f)));
    EXPECT_TRUE(cube.IntersectsSegment(XVector3(-5.0f, -4.0f, -3.0f), XVector3(5.0f, 4.0f, 3.0f)));
    EXPECT_FALSE(cube.IntersectsSegment(XVector3(-5.0f, 2.0f, 0.0f), XVector3(5.0f, 2.0f, 0.0f)));
    // Heading for the cube but ending short of it.
    EXPECT_FALSE(cube.IntersectsSegment(XVector3(-5.0f, 0.0f, 0.0f), XVector3(-2.0f, 0.0f, 0.0f)));
}

// The line x + y = 2.5 passes the edge at (1, 1) without touching; each face test alone would let it through.
TEST(XCubeIntersectsSegment, DiagonalPastAnEdgeMisses)
{
    const XCube cube(XVector3(), 1.0f);
    EXPECT_FALSE(cube.IntersectsSegment(XVector3(-2.0f, 4.5f, 0.0f), XVector3(4.5f, -2.0f, 0.0f)));
    EXPECT_TRUE(cube.IntersectsSegment(XVector3(-2.0f, 3.9f, 0.0f), XVector3(3.9f, -2.0f, 0.0f)));
}

TEST(XCubeIntersectsSegment, AnEndInsideCounts)
{
    const XCube cube(XVector3(), 1.0f);
    EXPECT_TRUE(cube.IntersectsSegment(XVector3(0.5f, 0.0f, 0.0f), XVector3(50.0f, 50.0f, 50.0f)));
    EXPECT_TRUE(cube.IntersectsSegment(XVector3(50.0f, -50.0f, 50.0f), XVector3(1.0f, 1.0f, 1.0f)));
    EXPECT_TRUE(cube.IntersectsSegment(XVector3(0.1f, 0.2f, 0.3f), XVector3(-0.3f, 0.2f, 0.1f)));
}

TEST(XCubeIntersectsSegment, ParallelToAFace)
{
    const XCube cube(XVector3(), 1.0f);
    // Running along the face y = 1: touching counts, as for points on a face.
    EXPECT_TRUE(cube.IntersectsSegment(XVector3(-5.0f, 1.0f, 0.0f), XVector3(5.0f, 1.0f, 0.0f)));
    EXPECT_FALSE(cube.IntersectsSegment(XVector3(-5.0f, 1.001f, 0.0f), XVector3(5.0f, 1.001f, 0.0f)));
    EXPECT_FALSE(cube.IntersectsSegment(XVector3(-5.0f, 0.0f, 1.5f), XVector3(5.0f, 0.0f, 1.5f)));
}

TEST(XCubeIntersectsSegment, ZeroLengthSegmentIsAPoint)
{
    const XCube cube(XVector3(), 1.0f);
    EXPECT_FALSE(cube.IntersectsSegment(XVector3(3.0f, 3.0f, 3.0f), XVector3(3.0f, 3.0f, 3.0f)));
    EXPECT_TRUE(cube.IntersectsSegment(XVector3(0.5f, 0.5f, 0.5f), XVector3(0.5f, 0.5f, 0.5f)));
}
