// Tests of XBoundingBox::FromPoints, including its fixed starting bounds of -10000 and 10000.
#include "math/XBoundingBox.h"

#include "VectorMatchers.h"

#include <gtest/gtest.h>

TEST(XBoundingBoxFromPoints, OrdinaryPointsGiveCentreAndFullSize)
{
    const XVector3 points[] = {XVector3(-1.0f, 2.0f, 3.0f), XVector3(4.0f, -5.0f, 6.0f), XVector3(0.0f, 0.0f, 0.0f)};
    const XBoundingBox box = XBoundingBox::FromPoints(points, 3);
    EXPECT_TRUE(VectorEq(box.center, XVector3(1.5f, -1.5f, 3.0f)));
    EXPECT_TRUE(VectorEq(box.size, XVector3(5.0f, 7.0f, 6.0f)));
}

TEST(XBoundingBoxFromPoints, OnePointHasNoSize)
{
    const XVector3 point(3.0f, -4.0f, 5.0f);
    const XBoundingBox box = XBoundingBox::FromPoints(&point, 1);
    EXPECT_TRUE(VectorEq(box.center, point));
    EXPECT_TRUE(VectorEq(box.size, XVector3()));
}

TEST(XBoundingBoxFromPoints, NoPointsGiveTheStartingBox)
{
    const XBoundingBox box = XBoundingBox::FromPoints(nullptr, 0);
    EXPECT_TRUE(VectorEq(box.center, XVector3(0.0f, 0.0f, 0.0f)));
    EXPECT_TRUE(VectorEq(box.size, XVector3(20000.0f, 20000.0f, 20000.0f)));
}

// Points wholly beyond +10000 (or -10000) never move the starting minimum (maximum), so the box reaches back.
TEST(XBoundingBoxFromPoints, PointsBeyondTenThousandReachBackToIt)
{
    const XVector3 points[] = {XVector3(20000.0f, 0.0f, -30000.0f), XVector3(25000.0f, 1.0f, -20000.0f)};
    const XBoundingBox box = XBoundingBox::FromPoints(points, 2);
    EXPECT_TRUE(VectorEq(box.center, XVector3(17500.0f, 0.5f, -20000.0f)));
    EXPECT_TRUE(VectorEq(box.size, XVector3(15000.0f, 1.0f, 20000.0f)));
}
