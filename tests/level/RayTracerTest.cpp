// The light baker's ray tests agree with the engine's own triangle test, XTriangle::SegmentHit.
#include "math/XTriangle.h"
#include "tools/levelc/XRayTracer.h"

#include <gtest/gtest.h>

#include <cstdint> // uint32_t

namespace {

uint32_t state = 12345u;
double Next()
{
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / 16777216.0;
}

XVector3d RandomPoint(double extent)
{
    return XVector3d((Next() - 0.5) * extent, (Next() - 0.5) * extent, (Next() - 0.5) * extent);
}

} // namespace

TEST(BakerRayTests, AgreeWithTheEngineTriangleTest)
{
    std::vector<XRayTracer::Triangle> triangles;
    std::vector<XTriangle> engine;
    for (int i = 0; i < 300; ++i) {
        const XVector3d c = RandomPoint(40.0);
        XRayTracer::Triangle t = {c + RandomPoint(6.0), c + RandomPoint(6.0), c + RandomPoint(6.0)};
        triangles.push_back(t);
        engine.emplace_back(t.p0.ToFloat(), t.p1.ToFloat(), t.p2.ToFloat());
    }
    const XRayTracer tracer(triangles);
    int blocked = 0;
    for (int s = 0; s < 2000; ++s) {
        const XVector3d from = RandomPoint(50.0);
        const XVector3d to = RandomPoint(50.0);
        bool expected = false;
        XVector3 hit;
        for (const XTriangle& t : engine) {
            if (t.SegmentHit(from.ToFloat(), (to - from).ToFloat(), 0.0f, hit)) {
                expected = true;
            }
        }
        EXPECT_EQ(tracer.Blocked(from, to, 0.0), expected) << "segment " << s;
        blocked += expected ? 1 : 0;
    }
    // The scene is dense enough that both answers occur often.
    EXPECT_GT(blocked, 200);
    EXPECT_LT(blocked, 1800);
}

TEST(BakerRayTests, NearestHitIsTheClosestTriangle)
{
    // Three parallel squares across the x axis at x = 2, 5 and 9.
    std::vector<XRayTracer::Triangle> triangles;
    for (const double x : {9.0, 2.0, 5.0}) {
        triangles.push_back({XVector3d(x, -1, -1), XVector3d(x, 1, -1), XVector3d(x, 1, 1)});
        triangles.push_back({XVector3d(x, -1, -1), XVector3d(x, 1, 1), XVector3d(x, -1, 1)});
    }
    const XRayTracer tracer(triangles);
    XRayHit hit;
    ASSERT_TRUE(tracer.Nearest(XVector3d(0, 0.1, 0.2), XVector3d(1, 0, 0), 0.0, 100.0, hit));
    EXPECT_NEAR(hit.distance, 2.0, 1e-9);
    ASSERT_TRUE(tracer.Nearest(XVector3d(3, 0.1, 0.2), XVector3d(1, 0, 0), 0.0, 100.0, hit));
    EXPECT_NEAR(hit.distance, 2.0, 1e-9);
    EXPECT_FALSE(tracer.Nearest(XVector3d(3, 0.1, 0.2), XVector3d(-1, 0, 0), 0.0, 0.5, hit));
    EXPECT_FALSE(tracer.Blocked(XVector3d(3, 0, 0), XVector3d(4.5, 0, 0), 0.0));
    EXPECT_TRUE(tracer.Blocked(XVector3d(3, 0, 0), XVector3d(5.5, 0, 0), 0.0));
}
