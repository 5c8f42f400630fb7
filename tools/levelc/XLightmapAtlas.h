// XLightmapAtlas: the light-map charts of the level's surface and where they lie on the light-map pages.
//
// A chart is a group of touching coplanar polygons, mapped straight onto its plane at one texel per
// `texel` units and surrounded by a border of kPadding texels, so that bilinear filtering and the first
// mipmap levels never reach into a neighbour. Charts are packed into square pages, tallest first, in rows.
// Page rows count from the bottom: row 0 is t = 0, the bottom of the picture.
// Depends on: XSurface.
#pragma once

#include "math/XVector2.h"
#include "tools/levelc/XSurface.h"

#include <vector>

struct XChart {
    XVector3d normal;
    XVector3d axisU;
    XVector3d axisV;
    double planeDistance = 0.0;
    double minU = 0.0;     // smallest coordinates of the chart's polygons along the axes
    double minV = 0.0;
    double texel = 0.35;   // units per texel (raised for charts too large for a page)
    int width = 0;         // in texels, border included
    int height = 0;
    int page = 0;
    int x = 0;             // lower-left texel on the page
    int y = 0;
    std::vector<int> polygons;

    // The point of the chart's plane at texel coordinates (tx, ty) of the chart (texel centres at i + 0.5).
    XVector3d PointAt(double tx, double ty) const;
    // The chart's texel coordinates of a point of its plane.
    void TexelOf(const XVector3d& p, double& tx, double& ty) const;
};

class XLightmapAtlas {
public:
    static const int kPadding = 2;

    // Two axes across a plane with the given normal: along x and z for floors and ceilings, otherwise one
    // horizontal and one pointing up the plane. With the normal they form a right-handed orthonormal set.
    static void PlaneAxes(const XVector3d& normal, XVector3d& axisU, XVector3d& axisV);

    void Build(const XSurface& surface, double texel, int pageSize);

    const std::vector<XChart>& Charts() const { return charts; }
    int PageCount() const { return pageCount; }
    int PageSize() const { return pageSize; }

    // Page coordinates (0..1) of a point of chart c's plane.
    XVector2 PageCoordinates(int c, const XVector3d& p) const;

    // Share of the pages' texels that charts cover.
    double Usage() const;

private:
    std::vector<XChart> charts;
    int pageCount = 0;
    int pageSize = 1024;
};
