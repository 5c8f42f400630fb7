// XCsg: cutting faces against solids.
#include "tools/levelc/XCsg.h"

#include <cmath> // fabs

namespace {

bool BoxesTouch(const XSolid& a, const XVector3d& min, const XVector3d& max)
{
    const double e = 1e-4;
    return a.Min().x <= max.x + e && a.Max().x >= min.x - e && a.Min().y <= max.y + e && a.Max().y >= min.y - e &&
           a.Min().z <= max.z + e && a.Max().z >= min.z - e;
}

void PolygonBox(const XConvexPolygon& polygon, XVector3d& min, XVector3d& max)
{
    min = XVector3d(1e30, 1e30, 1e30);
    max = XVector3d(-1e30, -1e30, -1e30);
    for (const XVector3d& p : polygon.Points()) {
        min = XVector3d(std::fmin(min.x, p.x), std::fmin(min.y, p.y), std::fmin(min.z, p.z));
        max = XVector3d(std::fmax(max.x, p.x), std::fmax(max.y, p.y), std::fmax(max.z, p.z));
    }
}

} // namespace

void XCsg::ClipOutside(const XConvexPolygon& polygon, const XPlaneD& facePlane, int self, const XSolid& other,
                       int otherIndex, std::vector<XConvexPolygon>& outside)
{
    XConvexPolygon inside = polygon;
    for (const XSolidFace& face : other.Faces()) {
        const double alignment = Dot(face.plane.normal, facePlane.normal);
        if (std::fabs(alignment) > 1.0 - 1e-9 && inside.LiesIn(face.plane)) {
            if (alignment > 0.0 && otherIndex < self) {
                // Same plane, same facing, and the other solid came first: this face is the one that stays.
                outside.push_back(inside);
                return;
            }
            // Facing each other (the solids touch here), or the later solid's face wins: counts as inside.
            continue;
        }
        XConvexPolygon front;
        XConvexPolygon back;
        inside.Split(face.plane, front, back);
        if (!front.IsEmpty()) {
            outside.push_back(front);
        }
        if (back.IsEmpty()) {
            return;
        }
        inside = back;
    }
    // What is left lies inside the other solid (or on its surface): dropped.
}

std::vector<XFragment> XCsg::VisibleFragments(const std::vector<XSolid>& solids)
{
    std::vector<XFragment> result;
    const int count = static_cast<int>(solids.size());
    for (int s = 0; s < count; ++s) {
        for (const XSolidFace& face : solids[s].Faces()) {
            std::vector<XConvexPolygon> pieces = {face.polygon};
            for (int o = 0; o < count && !pieces.empty(); ++o) {
                if (o == s) {
                    continue;
                }
                std::vector<XConvexPolygon> kept;
                for (const XConvexPolygon& piece : pieces) {
                    XVector3d min;
                    XVector3d max;
                    PolygonBox(piece, min, max);
                    if (!BoxesTouch(solids[o], min, max)) {
                        kept.push_back(piece);
                        continue;
                    }
                    ClipOutside(piece, face.plane, s, solids[o], o, kept);
                }
                pieces.swap(kept);
            }
            for (const XConvexPolygon& piece : pieces) {
                if (piece.Area() < 1e-6) {
                    continue;
                }
                XFragment fragment;
                fragment.polygon = piece;
                fragment.plane = face.plane;
                fragment.material = face.material;
                fragment.solid = s;
                fragment.sourceLine = solids[s].SourceLine();
                result.push_back(fragment);
            }
        }
    }
    return result;
}
