// SphereTriangle: nearest points on a triangle and the first touch of a moving sphere (face, edges, corners).
// Depends on: XVector3d.
#include "math/SphereTriangle.h"

#include <algorithm> // std::min, std::max
#include <cmath>     // sqrt, fabs

namespace {

// Below this (relative to the squared edge lengths) a triangle's area counts as none.
const double kFlatArea = 1e-12;

XVector3d ClosestPointOnSegmentD(const XVector3d& p, const XVector3d& a, const XVector3d& b)
{
    const XVector3d along = b - a;
    const double squaredLength = Dot(along, along);
    if (squaredLength == 0.0) {
        return a;
    }
    const double t = std::max(0.0, std::min(1.0, Dot(p - a, along) / squaredLength));
    return a + along * t;
}

double SquaredLength(const XVector3d& v)
{
    return Dot(v, v);
}

// Whether the triangle has so little area that its face means nothing beside its edges.
bool IsFlat(const XTriangleCorners& t)
{
    const XVector3d ab = t.b - t.a;
    const XVector3d ac = t.c - t.a;
    const double scale = std::max(SquaredLength(ab), SquaredLength(ac));
    return SquaredLength(Cross(ab, ac)) <= kFlatArea * scale * scale;
}

// The earlier root of a t^2 + b t + c = 0 where the moving point enters the region c < 0 describes; false when
// it never enters. A point already inside (c < 0) enters at 0.
bool EnteringTime(double a, double b, double c, double& t)
{
    if (c < 0.0) {
        t = 0.0;
        return true;
    }
    if (a <= 0.0) {
        return false; // no relative motion: what is outside stays outside
    }
    const double discriminant = b * b - 4.0 * a * c;
    if (discriminant < 0.0) {
        return false;
    }
    t = (-b - std::sqrt(discriminant)) / (2.0 * a);
    return t >= 0.0;
}

// First touch of the moving sphere with the point v, or false.
bool SweepAgainstCorner(const XVector3d& start, const XVector3d& move, double radius, const XVector3d& v, double& t)
{
    const XVector3d fromCorner = start - v;
    return EnteringTime(Dot(move, move), 2.0 * Dot(move, fromCorner), SquaredLength(fromCorner) - radius * radius,
                        t);
}

// First touch of the moving sphere with the inside of the segment p-q (the corners are tested on their own), or
// false: the time at which the centre enters the cylinder of the radius around the edge's line, kept when the
// nearest point of the line then lies on the edge.
bool SweepAgainstEdge(const XVector3d& start, const XVector3d& move, double radius, const XVector3d& p,
                      const XVector3d& q, double& t)
{
    const XVector3d edge = q - p;
    const XVector3d w = start - p;
    const double ee = Dot(edge, edge);
    if (ee == 0.0) {
        return false;
    }
    const double em = Dot(edge, move);
    const double ew = Dot(edge, w);
    const double a = ee * Dot(move, move) - em * em;
    const double b = 2.0 * (ee * Dot(w, move) - ew * em);
    const double c = ee * Dot(w, w) - ew * ew - radius * radius * ee;
    if (!EnteringTime(a, b, c, t)) {
        return false;
    }
    const double along = (ew + em * t) / ee;
    return along >= 0.0 && along <= 1.0;
}

// Whether the point x of the triangle's plane lies inside the triangle (edges included).
bool InsideTriangle(const XVector3d& x, const XTriangleCorners& t, const XVector3d& normal)
{
    const XVector3d corners[3] = {t.a, t.b, t.c};
    for (int i = 0; i < 3; ++i) {
        const XVector3d& from = corners[i];
        const XVector3d& to = corners[(i + 1) % 3];
        if (Dot(Cross(to - from, x - from), normal) < 0.0) {
            return false;
        }
    }
    return true;
}

} // namespace

XVector3d ClosestPointOnTriangle(const XVector3d& p, const XTriangleCorners& t)
{
    if (IsFlat(t)) {
        const XVector3d candidates[3] = {ClosestPointOnSegmentD(p, t.a, t.b), ClosestPointOnSegmentD(p, t.b, t.c),
                                         ClosestPointOnSegmentD(p, t.c, t.a)};
        XVector3d best = candidates[0];
        for (const XVector3d& candidate : candidates) {
            if (SquaredLength(candidate - p) < SquaredLength(best - p)) {
                best = candidate;
            }
        }
        return best;
    }
    // The regions of the triangle's corners, edges and face, told apart by the point's barycentric position.
    const XVector3d ab = t.b - t.a;
    const XVector3d ac = t.c - t.a;
    const XVector3d ap = p - t.a;
    const double d1 = Dot(ab, ap);
    const double d2 = Dot(ac, ap);
    if (d1 <= 0.0 && d2 <= 0.0) {
        return t.a;
    }
    const XVector3d bp = p - t.b;
    const double d3 = Dot(ab, bp);
    const double d4 = Dot(ac, bp);
    if (d3 >= 0.0 && d4 <= d3) {
        return t.b;
    }
    const double vc = d1 * d4 - d3 * d2;
    if (vc <= 0.0 && d1 >= 0.0 && d3 <= 0.0) {
        return t.a + ab * (d1 / (d1 - d3));
    }
    const XVector3d cp = p - t.c;
    const double d5 = Dot(ab, cp);
    const double d6 = Dot(ac, cp);
    if (d6 >= 0.0 && d5 <= d6) {
        return t.c;
    }
    const double vb = d5 * d2 - d1 * d6;
    if (vb <= 0.0 && d2 >= 0.0 && d6 <= 0.0) {
        return t.a + ac * (d2 / (d2 - d6));
    }
    const double va = d3 * d6 - d5 * d4;
    if (va <= 0.0 && d4 - d3 >= 0.0 && d5 - d6 >= 0.0) {
        return t.b + (t.c - t.b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    }
    const double denominator = va + vb + vc;
    return t.a + ab * (vb / denominator) + ac * (vc / denominator);
}

double SquaredDistanceToTriangle(const XVector3d& p, const XTriangleCorners& triangle)
{
    return SquaredLength(ClosestPointOnTriangle(p, triangle) - p);
}

bool SweepSphere(const XVector3d& start, const XVector3d& move, double radius, const XTriangleCorners& triangle,
                 double& fraction)
{
    if (SquaredDistanceToTriangle(start, triangle) < radius * radius) {
        fraction = 0.0;
        return true;
    }
    if (!IsFlat(triangle)) {
        const XVector3d cross = Cross(triangle.b - triangle.a, triangle.c - triangle.a);
        const XVector3d normal = cross / cross.Length();
        const double startDistance = Dot(normal, start - triangle.a);
        const double approach = Dot(normal, move);
        const double side = startDistance >= 0.0 ? 1.0 : -1.0;
        // The sphere touches nothing of the triangle while it stays a radius or more away from its plane.
        if (std::fabs(startDistance) >= radius) {
            if (side * approach >= 0.0) {
                return false;
            }
            const double t = (std::fabs(startDistance) - radius) / std::fabs(approach);
            if (t > 1.0) {
                return false;
            }
            const XVector3d touch = start + move * t - normal * (side * radius);
            if (InsideTriangle(touch, triangle, normal)) {
                fraction = t;
                return true;
            }
        }
    }
    // Not through the face: the first touch, if any, is with an edge or a corner.
    bool touched = false;
    double first = 2.0;
    const XVector3d corners[3] = {triangle.a, triangle.b, triangle.c};
    for (int i = 0; i < 3; ++i) {
        double t = 0.0;
        if (SweepAgainstCorner(start, move, radius, corners[i], t) && t < first) {
            first = t;
            touched = true;
        }
        if (SweepAgainstEdge(start, move, radius, corners[i], corners[(i + 1) % 3], t) && t < first) {
            first = t;
            touched = true;
        }
    }
    if (!touched || first > 1.0) {
        return false;
    }
    fraction = first;
    return true;
}
