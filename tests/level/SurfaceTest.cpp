// The surface of a union of solids: faces between solids vanish, coplanar faces are never doubled, and no
// vertex lies on another polygon's edge without being one of its corners.
#include "tools/levelc/XCsg.h"
#include "tools/levelc/XLevelParser.h"
#include "tools/levelc/XSurface.h"

#include <gtest/gtest.h>

#include <cmath> // fabs

namespace {

XLevelSource Parse(const std::string& shapes)
{
    return XLevelParser::Parse("material m m.jpg 4\nspawn 0 0 0\n" + shapes, "surface.level");
}

double TotalArea(const std::vector<XFragment>& fragments)
{
    double area = 0.0;
    for (const XFragment& f : fragments) {
        area += f.polygon.Area();
    }
    return area;
}

} // namespace

TEST(VisibleSurface, TouchingBoxesLoseTheFacesBetweenThem)
{
    const XLevelSource level = Parse("box 0 0 0 2 1 1 mat m\nbox 2 0 0 3 1 1 mat m\n");
    // One 3 x 1 x 1 block: 2 * 3 + 2 * 3 + 2 * 1.
    EXPECT_NEAR(TotalArea(XCsg::VisibleFragments(level.solids)), 14.0, 1e-9);
}

TEST(VisibleSurface, OverlappingBoxesShowTheirUnionOnce)
{
    // A 2 x 2 x 2 cube and a 2 x 2 x 2 cube shifted by 1 along x, with coplanar top, bottom and sides.
    const XLevelSource level = Parse("box 0 0 0 2 2 2 mat m\nbox 1 0 0 3 2 2 mat m\n");
    const std::vector<XFragment> fragments = XCsg::VisibleFragments(level.solids);
    // The union is a 3 x 2 x 2 box: area 2 * (6 + 6 + 4) = 32.
    EXPECT_NEAR(TotalArea(fragments), 32.0, 1e-9);
    // Where the two tops overlap, only the later solid's face is kept.
    for (const XFragment& f : fragments) {
        if (f.plane.normal.y > 0.5 && f.polygon.Centroid().x > 1.0 && f.polygon.Centroid().x < 2.0) {
            EXPECT_EQ(f.solid, 1);
        }
    }
}

TEST(VisibleSurface, SolidsInsideOthersDisappear)
{
    const XLevelSource level = Parse("box 0 0 0 4 4 4 mat m\nbox 1 1 1 2 2 2 mat m\n");
    EXPECT_NEAR(TotalArea(XCsg::VisibleFragments(level.solids)), 96.0, 1e-9);
}

TEST(VisibleSurface, HasNoTJunctions)
{
    // A pillar on a floor cuts the floor into pieces whose corners lie on each other's edges.
    const XLevelSource level =
        Parse("box -5 -1 -5 5 0 5 mat m\npillar 1 1 0 3 radius 1 sides 8 mat m\nbox -5 0 -5 -4 3 5 mat m\n");
    const XSurface surface = XSurface::Build(XCsg::VisibleFragments(level.solids));
    for (const XSurfacePolygon& polygon : surface.polygons) {
        const size_t n = polygon.corners.size();
        for (size_t i = 0; i < n; ++i) {
            const XVector3d& a = surface.vertices[static_cast<size_t>(polygon.corners[i])];
            const XVector3d& b = surface.vertices[static_cast<size_t>(polygon.corners[(i + 1) % n])];
            const XVector3d d = b - a;
            for (size_t v = 0; v < surface.vertices.size(); ++v) {
                const XVector3d& p = surface.vertices[v];
                const double t = Dot(p - a, d) / Dot(d, d);
                if (t <= 1e-6 || t >= 1.0 - 1e-6) {
                    continue;
                }
                EXPECT_GT((a + d * t - p).Length(), 1e-3) << "vertex " << v << " lies inside an edge";
            }
        }
    }
}

TEST(VisibleSurface, TrianglesCoverEachPolygonWithoutSlivers)
{
    const XLevelSource level = Parse("box -5 -1 -5 5 0 5 mat m\npillar 0 0 0 3 radius 1 sides 8 mat m\n");
    const XSurface surface = XSurface::Build(XCsg::VisibleFragments(level.solids));
    for (const XSurfacePolygon& polygon : surface.polygons) {
        std::vector<XVector3d> points;
        for (const int c : polygon.corners) {
            points.push_back(surface.vertices[static_cast<size_t>(c)]);
        }
        double triangleArea = 0.0;
        for (const std::array<int, 3>& t : polygon.triangles) {
            const XVector3d& p0 = surface.vertices[static_cast<size_t>(t[0])];
            const XVector3d& p1 = surface.vertices[static_cast<size_t>(t[1])];
            const XVector3d& p2 = surface.vertices[static_cast<size_t>(t[2])];
            const XVector3d cross = Cross(p1 - p0, p2 - p1);
            EXPECT_GT(Dot(cross, polygon.plane.normal), 0.0); // same winding as the face
            triangleArea += cross.Length() * 0.5;
        }
        EXPECT_NEAR(triangleArea, XConvexPolygon(points).Area(), 1e-6);
    }
}
