// Tests of XTriangle::Split, the cut of a triangle by an octree's splitting plane.
#include "math/XTriangle.h"

#include "math/Segment.h"

#include "VectorMatchers.h"

#include <gtest/gtest.h>

#include <cmath> // sqrt

namespace {

const XVector3 planeX(1.0f, 0.0f, 0.0f);

double Area(const XTriangle& t)
{
    const double ux = static_cast<double>(t.vertex[1].x) - t.vertex[0].x;
    const double uy = static_cast<double>(t.vertex[1].y) - t.vertex[0].y;
    const double uz = static_cast<double>(t.vertex[1].z) - t.vertex[0].z;
    const double vx = static_cast<double>(t.vertex[2].x) - t.vertex[0].x;
    const double vy = static_cast<double>(t.vertex[2].y) - t.vertex[0].y;
    const double vz = static_cast<double>(t.vertex[2].z) - t.vertex[0].z;
    const double cx = uy * vz - uz * vy;
    const double cy = uz * vx - ux * vz;
    const double cz = ux * vy - uy * vx;
    return 0.5 * std::sqrt(cx * cx + cy * cy + cz * cz);
}

testing::AssertionResult PiecesEqual(const XTriangle& piece, const XVector3& a, const XVector3& b, const XVector3& c)
{
    const XVector3 expected[3] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
        const testing::AssertionResult same = VectorEq(piece.vertex[i], expected[i]);
        if (!same) {
            return testing::AssertionFailure() << "corner " << i << ": " << same.message();
        }
    }
    return testing::AssertionSuccess();
}

// The pieces keep the original's facing and together cover exactly its area.
void ExpectFaithfulPieces(const XTriangle& original, const XSplitResult& result)
{
    double area = 0.0;
    for (int i = 0; i < result.count; ++i) {
        EXPECT_TRUE(VectorNear(result.pieces[i].normal, original.normal, 1e-6)) << "piece " << i;
        EXPECT_NEAR(result.pieces[i].d, original.d, 1e-6) << "piece " << i;
        area += Area(result.pieces[i]);
    }
    EXPECT_NEAR(area, Area(original), 1e-5);
}

} // namespace

// P1 alone beyond x = 0: edges 0 (P0-P1) and 1 (P1-P2) are cut, at X0 = (0, 0.5) and X1 = (0, 1.5).
TEST(XTriangleSplit, EdgesZeroAndOneCut)
{
    const XVector3 p0(-2.0f, 0.0f, 0.0f);
    const XVector3 p1(2.0f, 1.0f, 0.0f);
    const XVector3 p2(-2.0f, 2.0f, 0.0f);
    const XVector3 x0(0.0f, 0.5f, 0.0f);
    const XVector3 x1(0.0f, 1.5f, 0.0f);
    const XTriangle t(p0, p1, p2);
    const XSplitResult result = t.Split(planeX, XVector3());
    ASSERT_TRUE(result.split);
    ASSERT_EQ(result.count, 3);
    EXPECT_TRUE(PiecesEqual(result.pieces[0], p0, x0, x1));
    EXPECT_TRUE(PiecesEqual(result.pieces[1], p0, x1, p2));
    EXPECT_TRUE(PiecesEqual(result.pieces[2], x0, p1, x1));
    ExpectFaithfulPieces(t, result);
}

// P2 alone beyond x = 0: edges 1 (P1-P2) and 2 (P2-P0) are cut, at X1 = (0, 1.5) and X2 = (0, 0.5).
TEST(XTriangleSplit, EdgesOneAndTwoCut)
{
    const XVector3 p0(-2.0f, 0.0f, 0.0f);
    const XVector3 p1(-2.0f, 2.0f, 0.0f);
    const XVector3 p2(2.0f, 1.0f, 0.0f);
    const XVector3 x1(0.0f, 1.5f, 0.0f);
    const XVector3 x2(0.0f, 0.5f, 0.0f);
    const XTriangle t(p0, p1, p2);
    const XSplitResult result = t.Split(planeX, XVector3());
    ASSERT_TRUE(result.split);
    ASSERT_EQ(result.count, 3);
    EXPECT_TRUE(PiecesEqual(result.pieces[0], p0, p1, x2));
    EXPECT_TRUE(PiecesEqual(result.pieces[1], p1, x1, x2));
    EXPECT_TRUE(PiecesEqual(result.pieces[2], x1, p2, x2));
    ExpectFaithfulPieces(t, result);
}

// P0 alone beyond x = 0: edges 2 (P2-P0) and 0 (P0-P1) are cut, at X2 = (0, 1.5) and X0 = (0, 0.5).
TEST(XTriangleSplit, EdgesTwoAndZeroCut)
{
    const XVector3 p0(2.0f, 1.0f, 0.0f);
    const XVector3 p1(-2.0f, 0.0f, 0.0f);
    const XVector3 p2(-2.0f, 2.0f, 0.0f);
    const XVector3 x0(0.0f, 0.5f, 0.0f);
    const XVector3 x2(0.0f, 1.5f, 0.0f);
    const XTriangle t(p0, p1, p2);
    const XSplitResult result = t.Split(planeX, XVector3());
    ASSERT_TRUE(result.split);
    ASSERT_EQ(result.count, 3);
    EXPECT_TRUE(PiecesEqual(result.pieces[0], p0, x0, x2));
    EXPECT_TRUE(PiecesEqual(result.pieces[1], x0, p1, p2));
    EXPECT_TRUE(PiecesEqual(result.pieces[2], x0, p2, x2));
    ExpectFaithfulPieces(t, result);
}

TEST(XTriangleSplit, WindingIsKeptForEitherFacing)
{
    const XTriangle t(XVector3(-3.0f, 0.5f, 1.0f), XVector3(1.0f, -2.0f, 4.0f), XVector3(2.0f, 3.0f, -1.0f));
    const XTriangle back(t.vertex[0], t.vertex[2], t.vertex[1]);
    for (const XTriangle& triangle : {t, back}) {
        const XSplitResult result = triangle.Split(planeX, XVector3(0.25f, 0.0f, 0.0f));
        ASSERT_TRUE(result.split);
        EXPECT_EQ(result.count, 3);
        ExpectFaithfulPieces(triangle, result);
    }
}

TEST(XTriangleSplit, PiecesAreCutOnThePlane)
{
    const XTriangle t(XVector3(-3.0f, 0.5f, 1.0f), XVector3(1.0f, -2.0f, 4.0f), XVector3(2.0f, 3.0f, -1.0f));
    const XVector3 normalY(0.0f, 1.0f, 0.0f);
    const XSplitResult result = t.Split(normalY, XVector3(0.0f, 0.3f, 0.0f));
    ASSERT_TRUE(result.split);
    ASSERT_EQ(result.count, 3);
    for (int i = 0; i < 3; ++i) {
        bool above = false;
        bool below = false;
        for (int k = 0; k < 3; ++k) {
            above = above || result.pieces[i].vertex[k].y > 0.3f;
            below = below || result.pieces[i].vertex[k].y < 0.3f;
        }
        EXPECT_FALSE(above && below) << "piece " << i << " straddles the plane";
    }
}

TEST(XTriangleSplit, TriangleOnOneSideIsNotSplit)
{
    const XTriangle t(XVector3(1.0f, 0.0f, 0.0f), XVector3(2.0f, 1.0f, 0.0f), XVector3(3.0f, 0.0f, 1.0f));
    const XSplitResult result = t.Split(planeX, XVector3());
    EXPECT_FALSE(result.split);
    EXPECT_EQ(result.count, 0);
}

TEST(XTriangleSplit, TriangleInThePlaneIsNotSplit)
{
    const XTriangle t(XVector3(0.0f, 0.0f, 0.0f), XVector3(0.0f, 1.0f, 0.0f), XVector3(0.0f, 0.0f, 1.0f));
    EXPECT_FALSE(t.Split(planeX, XVector3()).split);
}

// Touching the plane at one corner cuts two edges at that corner: the pieces of no area are dropped and the
// one left is the triangle itself.
TEST(XTriangleSplit, TouchingAtACornerKeepsOnlyTheWholeTriangle)
{
    const XVector3 p0(0.0f, 0.0f, 0.0f);
    const XVector3 p1(1.0f, 1.0f, 0.0f);
    const XVector3 p2(1.0f, -1.0f, 0.0f);
    const XSplitResult result = XTriangle(p0, p1, p2).Split(planeX, XVector3());
    ASSERT_TRUE(result.split);
    ASSERT_EQ(result.count, 1);
    EXPECT_TRUE(PiecesEqual(result.pieces[0], p0, p1, p2));
}

TEST(XTriangleSplit, EdgeInThePlaneKeepsOnlyTheWholeTriangle)
{
    const XVector3 p0(0.0f, 0.0f, 0.0f);
    const XVector3 p1(0.0f, 2.0f, 0.0f);
    const XVector3 p2(1.0f, 1.0f, 0.0f);
    const XTriangle t(p0, p1, p2);
    const XSplitResult result = t.Split(planeX, XVector3());
    ASSERT_TRUE(result.split);
    ASSERT_EQ(result.count, 1);
    ExpectFaithfulPieces(t, result);
}

// Through corner P0 and across the opposite edge: two proper halves, the zero-area piece dropped.
TEST(XTriangleSplit, ThroughACornerAndAcrossGivesTwoHalves)
{
    const XVector3 p0(0.0f, 2.0f, 0.0f);
    const XVector3 p1(-1.0f, 0.0f, 0.0f);
    const XVector3 p2(1.0f, 0.0f, 0.0f);
    const XVector3 middle(0.0f, 0.0f, 0.0f);
    const XTriangle t(p0, p1, p2);
    const XSplitResult result = t.Split(planeX, XVector3());
    ASSERT_TRUE(result.split);
    ASSERT_EQ(result.count, 2);
    EXPECT_TRUE(PiecesEqual(result.pieces[0], p0, middle, p2));
    EXPECT_TRUE(PiecesEqual(result.pieces[1], p0, p1, middle));
    ExpectFaithfulPieces(t, result);
}

// Through corner P1 the first matching edge pair (0 and 1) meets only at P1, so the triangle stays whole.
TEST(XTriangleSplit, ThroughTheSecondCornerStaysWhole)
{
    const XVector3 p0(-1.0f, 0.0f, 0.0f);
    const XVector3 p1(0.0f, 2.0f, 0.0f);
    const XVector3 p2(1.0f, 0.0f, 0.0f);
    const XSplitResult result = XTriangle(p0, p1, p2).Split(planeX, XVector3());
    ASSERT_TRUE(result.split);
    ASSERT_EQ(result.count, 1);
    EXPECT_TRUE(PiecesEqual(result.pieces[0], p0, p1, p2));
}

// A cut delta from the right-angled corner P1 cuts edges 0 and 1 a distance delta apart. Both the corner piece
// (X0, P1, X1) and the long piece (P0, X0, X1) on that short cut are then slivers whose corners stand about
// 0.9 delta from the opposite side: kept for delta = 0.0003, dropped for delta = 0.00005.
TEST(XTriangleSplit, SliversAreDropped)
{
    const XVector3 p0(-2.0f, -2.0f, 0.0f);
    const XVector3 p2(-2.0f, 2.0f, 0.0f);
    const XTriangle t(p0, XVector3(2.0f, 0.0f, 0.0f), p2);
    const XSplitResult kept = t.Split(planeX, XVector3(2.0f - 0.0003f, 0.0f, 0.0f));
    ASSERT_TRUE(kept.split);
    EXPECT_EQ(kept.count, 3);
    const XSplitResult dropped = t.Split(planeX, XVector3(2.0f - 0.00005f, 0.0f, 0.0f));
    ASSERT_TRUE(dropped.split);
    ASSERT_EQ(dropped.count, 1);
    EXPECT_TRUE(VectorEq(dropped.pieces[0].vertex[0], p0));
    EXPECT_TRUE(VectorEq(dropped.pieces[0].vertex[2], p2));
}

// Every piece a split keeps has each corner more than 0.0001 from the opposite side, as measured by
// DistanceToSegment, also for slivers about that thin and far from the origin, where the rounding of the measured
// distance is largest. Cuts near the corner of a long triangle make pieces of every thickness around the limit.
TEST(XTriangleSplit, KeptPiecesAreNeverThinnerThanTheLimit)
{
    int kept = 0;
    for (const float far : {0.0f, 700.0f, 5000.0f}) {
        const XVector3 p0(far - 40.0f, -2.0f, far);
        const XVector3 p2(far - 40.0f, 2.0f, far + 0.5f);
        const XTriangle t(p0, XVector3(far, 0.0f, far), p2);
        for (int step = 1; step <= 400; ++step) {
            const XSplitResult result = t.Split(planeX, XVector3(far - 2.5e-6f * static_cast<float>(step), 0.0f, 0.0f));
            for (int i = 0; i < result.count; ++i) {
                const XVector3* const v = result.pieces[i].vertex;
                EXPECT_GT(DistanceToSegment(v[1], v[2], v[0]), 0.0001f) << "far " << far << ", step " << step;
                EXPECT_GT(DistanceToSegment(v[2], v[0], v[1]), 0.0001f) << "far " << far << ", step " << step;
                EXPECT_GT(DistanceToSegment(v[0], v[1], v[2]), 0.0001f) << "far " << far << ", step " << step;
            }
            kept += result.count;
        }
    }
    EXPECT_GT(kept, 1200); // the whole triangle at the least, and the thicker slivers
}
