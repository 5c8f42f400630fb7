// XSurface: the level's visible polygons over one shared, welded vertex list, with their triangles.
//
// Polygons that meet share vertex numbers, and a vertex of one polygon that lies on another polygon's edge
// is inserted into that edge (no T-junctions, so no pixel cracks between neighbours). Each polygon is cut
// into triangles without slivers of zero area, none with a corner of the polygon on its sides. Coplanar
// polygons that touch form one chart: one piece of light map, so that lighting runs on across them without
// seams.
// Depends on: XCsg (XFragment).
#pragma once

#include "tools/levelc/XCsg.h"

#include <array>
#include <vector>

struct XSurfacePolygon {
    std::vector<int> corners;             // welded vertex numbers, in winding order
    std::vector<std::array<int, 3>> triangles; // welded vertex numbers, same winding
    XPlaneD plane;
    int material = 0;
    int chart = 0;
    int sourceLine = 0;
};

struct XSurface {
    std::vector<XVector3d> vertices;
    std::vector<XSurfacePolygon> polygons;
    int chartCount = 0;

    // Welds, removes T-junctions, triangulates and groups into charts.
    static XSurface Build(const std::vector<XFragment>& fragments);

    // Vertices closer than this are one vertex.
    static constexpr double kWeldDistance = 1e-4;
};
