// The surface of a union of solids: faces between solids vanish, coplanar faces are never doubled, and no
// vertex lies on another polygon's edge without being one of its corners.
#include "tools/levelc/XCsg.h"
#include "tools/levelc/XLevelParser.h"
#include "tools/levelc/XSurface.h"

#include <gtest/gtest.h>

#include <cmath> // fabs
#include <string>

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

TEST(VisibleSurface, NoCornerTouchesATriangleItDoesNotBelongTo)
{
    // A floor cut by a row of pillars gets many corners along its edges; a triangle whose side runs through
    // one of them is a T-junction inside the polygon, and the rasteriser leaves pixel cracks there.
    std::string shapes = "box -20 -1 -3 20 0 3 mat m\n";
    for (int i = -18; i <= 18; i += 3) {
        shapes += "box " + std::to_string(i) + " 0 2.5 " + std::to_string(i + 1) + " 3 3 mat m\n";
        shapes += "box " + std::to_string(i) + ".5 0 -3 " + std::to_string(i + 1) + ".5 3 -2.5 mat m\n";
    }
    const XSurface surface = XSurface::Build(XCsg::VisibleFragments(Parse(shapes).solids));
    for (const XSurfacePolygon& polygon : surface.polygons) {
        const XVector3d& normal = polygon.plane.normal;
        for (const std::array<int, 3>& t : polygon.triangles) {
            for (const int c : polygon.corners) {
                if (c == t[0] || c == t[1] || c == t[2]) {
                    continue;
                }
                const XVector3d& p = surface.vertices[static_cast<size_t>(c)];
                bool inside = true;
                for (int e = 0; e < 3; ++e) {
                    const XVector3d& a = surface.vertices[static_cast<size_t>(t[e])];
                    const XVector3d& b = surface.vertices[static_cast<size_t>(t[(e + 1) % 3])];
                    const XVector3d edge = b - a;
                    // Signed distance of p from the edge, positive inside the triangle.
                    const double distance = Dot(Cross(edge, p - a), normal) / edge.Length();
                    inside = inside && distance > -1e-5;
                }
                EXPECT_FALSE(inside) << "corner " << c << " touches triangle " << t[0] << " " << t[1] << " "
                                     << t[2] << " of the polygon from line " << polygon.sourceLine;
            }
        }
    }
}
