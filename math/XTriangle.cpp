// XTriangle: plane set-up, the point, sphere and segment contact tests, classification and splitting.
// Depends on: XVector3d, Segment.
#include "math/XTriangle.h"

#include "math/Segment.h"
#include "math/XVector3d.h"

#include <algorithm> // std::max
#include <cmath>     // fabs

namespace {

// How far outside an edge (scaled by the edge length) a point may lie and still count as inside.
const double edgeTolerance = 0.00001;
// The body radius of the collision code, fixed into the sphere test.
const float sphereRadius = 10.0f;
// How far behind the plane a sphere centre may be and still touch the face.
const float sphereBehindLimit = -0.5f;
// Corners closer than this to the line of the other two make a split piece worthless.
const float degenerateDistance = 0.0001f;
// Classify's limit between floor or ceiling and wall, in degrees.
const float slopeLimit = 45.0f;

// Whether every corner lies so far from the line through the other two that each of KeepProperPiece's three
// measurements must come out above degenerateDistance. A side is part of its line, so a corner is at least its
// height above the side; the measured distance differs from the true one only by rounding the closest point to
// float (a few units in the last place of the largest coordinate) and the float distance's own rounding. Twice
// the limit plus a millionth of the largest coordinate covers both many times over. Non-finite corners fail.
bool ClearlyProper(const XVector3& a, const XVector3& b, const XVector3& c)
{
    const XVector3d pa(a);
    const XVector3d ab = XVector3d(b) - pa;
    const XVector3d ac = XVector3d(c) - pa;
    const XVector3d bc = XVector3d(c) - XVector3d(b);
    const double longest = std::max(std::max(Dot(ab, ab), Dot(ac, ac)), Dot(bc, bc));
    const XVector3d cross = Cross(ab, ac);
    const auto reach = [](const XVector3& v) {
        return std::max(std::max(std::fabs(v.x), std::fabs(v.y)), std::fabs(v.z));
    };
    const float largest = std::max(std::max(1.0f, reach(a)), std::max(reach(b), reach(c)));
    // The smallest height is |cross| / longest side; compared squared.
    const double least = 2.0 * degenerateDistance + 1e-6 * static_cast<double>(largest);
    return Dot(cross, cross) > least * least * longest;
}

// Appends the split piece a, b, c unless one of its corners lies within degenerateDistance of the opposite side.
void KeepProperPiece(const XVector3& a, const XVector3& b, const XVector3& c, XCornerSplit& result)
{
    if (ClearlyProper(a, b, c) ||
        (DistanceToSegment(b, c, a) > degenerateDistance && DistanceToSegment(c, a, b) > degenerateDistance &&
         DistanceToSegment(a, b, c) > degenerateDistance)) {
        result.pieces[result.count] = XCorners{{a, b, c}};
        ++result.count;
    }
}

} // namespace

XTriangle::XTriangle(const XVector3& p0, const XVector3& p1, const XVector3& p2) : vertex{p0, p1, p2}
{
    const XVector3d cross = Cross(XVector3d(p1) - XVector3d(p0), XVector3d(p2) - XVector3d(p1));
    normal = (cross / cross.Length()).ToFloat();
    d = static_cast<float>(-Dot(XVector3d(normal), XVector3d(p0)));
}

bool XTriangle::ContainsProjectedPoint(const XVector3& p) const
{
    const XVector3d point(p);
    const XVector3d n(normal);
    // The point is inside when it is on the same side of all three edges, whichever side that is. Asking "all
    // sides agree" rather than counting disagreeing sides makes a non-finite point (or normal) come out outside.
    bool noneOutsidePositive = true;
    bool noneOutsideNegative = true;
    for (int i = 0; i < 3; ++i) {
        const XVector3d start(vertex[i]);
        const XVector3d edgeNormal = Cross(XVector3d(vertex[(i + 1) % 3]) - start, n);
        const double side = Dot(point, edgeNormal) - Dot(start, edgeNormal);
        noneOutsidePositive = noneOutsidePositive && side <= edgeTolerance;
        noneOutsideNegative = noneOutsideNegative && side >= -edgeTolerance;
    }
    return noneOutsidePositive || noneOutsideNegative;
}

bool XTriangle::SphereContact(const XVector3& p, XVector3& contact) const
{
    const float distance = PlaneDistance(p);
    if (!(distance >= sphereBehindLimit && distance <= sphereRadius)) {
        return false;
    }
    const XVector3 projected = ProjectOntoPlane(normal, vertex[0], p);
    if (ContainsProjectedPoint(projected)) {
        contact = projected;
        return true;
    }

    XVector3 nearest;
    float nearestDistance = 0.0f;
    bool found = false;
    for (int i = 0; i < 3; ++i) {
        const XVector3 onEdge = ClosestPointOnSegment(vertex[i], vertex[(i + 1) % 3], p);
        const float edgeDistance = Distance(p, onEdge);
        // Strictly nearer only, so that the lower edge wins a tie.
        if (edgeDistance <= sphereRadius && (!found || edgeDistance < nearestDistance)) {
            nearest = onEdge;
            nearestDistance = edgeDistance;
            found = true;
        }
    }
    if (found) {
        contact = nearest;
    }
    return found;
}

bool XTriangle::SegmentHit(const XVector3& p, const XVector3& dir, float tolerance, XVector3& hit) const
{
    double t = 0.0;
    return SegmentHit(p, dir, tolerance, hit, t);
}

bool XTriangle::SegmentHit(const XVector3& p, const XVector3& dir, float tolerance, XVector3& hit, double& t) const
{
    const XVector3d n(normal);
    const XVector3d start(p);
    const XVector3d along(dir);
    const double denominator = Dot(n, along);
    if (denominator == 0.0) {
        return false;
    }
    t = -(Dot(n, start) - Dot(n, XVector3d(vertex[0]))) / denominator;
    const double tol = tolerance;
    if (!(t >= -tol && t <= 1.0 + tol)) {
        return false;
    }
    const XVector3 point = (start + along * t).ToFloat();
    if (!ContainsProjectedPoint(point)) {
        return false;
    }
    hit = point;
    return true;
}

int XTriangle::Classify() const
{
    // Most faces are plainly level or plainly upright, and need no angles: for a normal of about unit length, a
    // height above 0.9 lies within 27 degrees of straight up, and one from -0.5 to 0.5 more than 59 degrees from
    // both up and down.
    const float lengthSquared = normal.x * normal.x + normal.y * normal.y + normal.z * normal.z;
    if (lengthSquared > 0.99f && lengthSquared < 1.01f) {
        if (normal.y > 0.9f) {
            return Floor;
        }
        if (normal.y >= -0.5f && normal.y <= 0.5f) {
            return Wall;
        }
    }
    if (AngleBetween(normal, XVector3(0.0f, 1.0f, 0.0f)) < slopeLimit) {
        return Floor;
    }
    if (normal.y < 0.0f && AngleBetween(normal, XVector3(0.0f, -1.0f, 0.0f)) < slopeLimit) {
        return Ceiling;
    }
    return Wall;
}

XVector3 CentroidOf(const XCorners& triangle)
{
    const XVector3* const v = triangle.vertex;
    return ((XVector3d(v[0]) + XVector3d(v[1]) + XVector3d(v[2])) / 3.0).ToFloat();
}

XVector3 XTriangle::Centroid() const
{
    return CentroidOf(Corners());
}

XTriangle XTriangle::Scaled(const XVector3& s) const
{
    return XTriangle(MultiplyComponents(vertex[0], s), MultiplyComponents(vertex[1], s),
                     MultiplyComponents(vertex[2], s));
}

XCornerSplit SplitCorners(const XCorners& triangle, const XVector3& planeNormal, const XVector3& planePoint)
{
    const XVector3& p0 = triangle.vertex[0];
    const XVector3& p1 = triangle.vertex[1];
    const XVector3& p2 = triangle.vertex[2];
    XVector3 x0;
    XVector3 x1;
    XVector3 x2;
    const bool cut0 = SegmentPlane(p0, p1, planeNormal, planePoint, x0);
    const bool cut1 = SegmentPlane(p1, p2, planeNormal, planePoint, x1);
    const bool cut2 = SegmentPlane(p2, p0, planeNormal, planePoint, x2);

    if (!((cut0 && cut1) || (cut1 && cut2) || (cut2 && cut0))) {
        return XCornerSplit();
    }
    // The corner orders keep every piece wound like the original triangle.
    XCornerSplit result;
    result.split = true;
    if (cut0 && cut1) {
        KeepProperPiece(p0, x0, x1, result);
        KeepProperPiece(p0, x1, p2, result);
        KeepProperPiece(x0, p1, x1, result);
    } else if (cut1 && cut2) {
        KeepProperPiece(p0, p1, x2, result);
        KeepProperPiece(p1, x1, x2, result);
        KeepProperPiece(x1, p2, x2, result);
    } else {
        KeepProperPiece(p0, x0, x2, result);
        KeepProperPiece(x0, p1, p2, result);
        KeepProperPiece(x0, p2, x2, result);
    }
    return result;
}

XSplitResult XTriangle::Split(const XVector3& planeNormal, const XVector3& planePoint) const
{
    const XCornerSplit cut = SplitCorners(Corners(), planeNormal, planePoint);
    XSplitResult result;
    result.split = cut.split;
    result.count = cut.count;
    for (int i = 0; i < cut.count; ++i) {
        result.pieces[i] = XTriangle(cut.pieces[i]);
    }
    return result;
}
