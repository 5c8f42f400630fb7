// XShapeBuilder: the source shapes as convex prisms.
#include "tools/levelc/XShapeBuilder.h"

#include "math/XPi.h"

#include <algorithm> // max
#include <cmath>     // cos, sin

namespace {

// A point in the wall plane: `along` the wall's horizontal axis, at height y, at the wall's near face.
XVector3d WallPoint(int across, double along, double y, double nearFace)
{
    return across == 0 ? XVector3d(nearFace, y, along) : XVector3d(along, y, nearFace);
}

XVector3d Thickness(int across, double thickness)
{
    return across == 0 ? XVector3d(thickness, 0.0, 0.0) : XVector3d(0.0, 0.0, thickness);
}

} // namespace

XSolid XShapeBuilder::Box(const XVector3d& min, const XVector3d& max, const XSolidMaterials& materials, int line)
{
    const std::vector<XVector3d> loop = {XVector3d(min.x, min.y, min.z), XVector3d(max.x, min.y, min.z),
                                         XVector3d(max.x, min.y, max.z), XVector3d(min.x, min.y, max.z)};
    return XSolid::Extrude(loop, XVector3d(0.0, max.y - min.y, 0.0), materials, line);
}

XSolid XShapeBuilder::Wedge(const XVector3d& min, const XVector3d& max, XDirection up, const XSolidMaterials& materials,
                            int line)
{
    // The triangle in the vertical plane of the rise, swept across the other horizontal axis.
    const int side = up.axis == 0 ? 2 : 0;
    const double low = Component(min, up.axis);
    const double high = Component(max, up.axis);
    const double tallEnd = up.sign > 0 ? high : low;
    XVector3d a = min;
    XVector3d b = min;
    XVector3d c = min;
    Component(a, up.axis) = low;
    Component(b, up.axis) = high;
    Component(c, up.axis) = tallEnd;
    c.y = max.y;
    XVector3d extrusion;
    Component(extrusion, side) = Component(max, side) - Component(min, side);
    return XSolid::Extrude({a, b, c}, extrusion, materials, line);
}

std::vector<XSolid> XShapeBuilder::Stairs(const XVector3d& min, const XVector3d& max, XDirection up, int steps,
                                          const XSolidMaterials& materials, int line)
{
    std::vector<XSolid> solids;
    const double length = Component(max, up.axis) - Component(min, up.axis);
    const double depth = length / steps;
    const double rise = (max.y - min.y) / steps;
    for (int i = 0; i < steps; ++i) {
        XVector3d stepMin = min;
        XVector3d stepMax = max;
        const double start = up.sign > 0 ? Component(min, up.axis) + depth * i : Component(max, up.axis) - depth * (i + 1);
        Component(stepMin, up.axis) = start;
        Component(stepMax, up.axis) = start + depth;
        stepMax.y = i + 1 == steps ? max.y : min.y + rise * (i + 1);
        solids.push_back(Box(stepMin, stepMax, materials, line));
    }
    return solids;
}

XSolid XShapeBuilder::Pillar(double cx, double cz, double y0, double y1, double radius, int sides,
                             const XSolidMaterials& materials, int line)
{
    std::vector<XVector3d> loop;
    for (int i = 0; i < sides; ++i) {
        const double angle = kPi * (2.0 * i + 1.0) / sides;
        loop.emplace_back(cx + radius * std::cos(angle), y0, cz + radius * std::sin(angle));
    }
    return XSolid::Extrude(loop, XVector3d(0.0, y1 - y0, 0.0), materials, line);
}

std::vector<XSolid> XShapeBuilder::Doorway(const XVector3d& min, const XVector3d& max, int across, double centre,
                                           double width, double height, const XSolidMaterials& materials, int line)
{
    const int along = across == 0 ? 2 : 0;
    const double a0 = Component(min, along);
    const double a1 = Component(max, along);
    const double left = centre - width * 0.5;
    const double right = centre + width * 0.5;
    std::vector<XSolid> solids;
    XVector3d jambMax = max;
    Component(jambMax, along) = left;
    if (left > a0) {
        solids.push_back(Box(min, jambMax, materials, line));
    }
    XVector3d jambMin = min;
    Component(jambMin, along) = right;
    if (right < a1) {
        solids.push_back(Box(jambMin, max, materials, line));
    }
    if (min.y + height < max.y) {
        XVector3d lintelMin = min;
        XVector3d lintelMax = max;
        Component(lintelMin, along) = left;
        Component(lintelMax, along) = right;
        lintelMin.y = min.y + height;
        solids.push_back(Box(lintelMin, lintelMax, materials, line));
    }
    return solids;
}

std::vector<XSolid> XShapeBuilder::Arch(const XVector3d& min, const XVector3d& max, int across, double centre,
                                        double width, double spring, int segments, const XSolidMaterials& materials,
                                        int line)
{
    // Straight jambs, then one narrow piece under each segment of the half circle, up to the wall's top.
    std::vector<XSolid> solids = Doorway(min, max, across, centre, width, max.y - min.y, materials, line);
    const double radius = width * 0.5;
    const double springY = min.y + spring;
    const double nearFace = Component(min, across);
    const XVector3d thickness = Thickness(across, Component(max, across) - nearFace);
    for (int k = 0; k < segments; ++k) {
        const double angle0 = kPi * k / segments;
        const double angle1 = kPi * (k + 1) / segments;
        const double x0 = centre + radius * std::cos(angle0);
        const double x1 = centre + radius * std::cos(angle1);
        const double y0 = springY + radius * std::sin(angle0);
        const double y1 = springY + radius * std::sin(angle1);
        if (std::max(y0, y1) >= max.y - 1e-6) {
            continue;
        }
        const std::vector<XVector3d> loop = {WallPoint(across, x0, y0, nearFace), WallPoint(across, x1, y1, nearFace),
                                             WallPoint(across, x1, max.y, nearFace),
                                             WallPoint(across, x0, max.y, nearFace)};
        solids.push_back(XSolid::Extrude(loop, thickness, materials, line));
    }
    // The straight part between the floor and the spring line is open; the jambs close the sides.
    return solids;
}
