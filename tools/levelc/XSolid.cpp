// XSolid: building convex prisms with outward faces.
#include "tools/levelc/XSolid.h"

#include <algorithm> // min, max, reverse

namespace {

int MaterialFor(const XVector3d& normal, const XSolidMaterials& materials)
{
    if (normal.y > XSolid::kTopFacing) {
        return materials.top;
    }
    if (normal.y < -XSolid::kTopFacing) {
        return materials.bottom;
    }
    return materials.side;
}

} // namespace

XSolid XSolid::Extrude(const std::vector<XVector3d>& loop, const XVector3d& extrusion,
                       const XSolidMaterials& materials, int sourceLine)
{
    XSolid solid;
    solid.line = sourceLine;
    const size_t n = loop.size();
    std::vector<std::vector<XVector3d>> polygons;
    polygons.push_back(loop);
    std::vector<XVector3d> top;
    for (const XVector3d& p : loop) {
        top.push_back(p + extrusion);
    }
    polygons.push_back(top);
    for (size_t i = 0; i < n; ++i) {
        const size_t j = (i + 1) % n;
        polygons.push_back({loop[i], loop[j], loop[j] + extrusion, loop[i] + extrusion});
    }
    XVector3d centre;
    for (const XVector3d& p : loop) {
        centre = centre + p + extrusion * 0.5;
    }
    centre = centre / static_cast<double>(n);
    solid.boxMin = XVector3d(1e30, 1e30, 1e30);
    solid.boxMax = XVector3d(-1e30, -1e30, -1e30);
    for (std::vector<XVector3d>& points : polygons) {
        XConvexPolygon polygon(points);
        XVector3d normal = polygon.Normal();
        if (Dot(normal, polygon.Centroid() - centre) < 0.0) {
            std::reverse(points.begin(), points.end());
            polygon = XConvexPolygon(points);
            normal = polygon.Normal();
        }
        XSolidFace face;
        face.polygon = polygon;
        face.plane.normal = normal;
        face.plane.distance = Dot(normal, polygon.Centroid());
        face.material = MaterialFor(normal, materials);
        solid.faces.push_back(face);
        for (const XVector3d& p : points) {
            solid.boxMin = XVector3d(std::min(solid.boxMin.x, p.x), std::min(solid.boxMin.y, p.y),
                                     std::min(solid.boxMin.z, p.z));
            solid.boxMax = XVector3d(std::max(solid.boxMax.x, p.x), std::max(solid.boxMax.y, p.y),
                                     std::max(solid.boxMax.z, p.z));
        }
    }
    return solid;
}

bool XSolid::Contains(const XVector3d& p, double margin) const
{
    for (const XSolidFace& face : faces) {
        if (face.plane.SignedDistance(p) > -margin) {
            return false;
        }
    }
    return true;
}
