// XConvexPolygon: a convex polygon in space, in double precision, and the plane it lies in.
//
// The level compiler cuts solids' faces against each other; doing it in double keeps the cut points of
// neighbouring faces equal to well below the welding tolerance.
// Depends on: XVector3d.
#pragma once

#include "math/XVector3d.h"

#include <vector>

// A plane n . p = distance, with n of unit length; its front side is where n . p > distance.
struct XPlaneD {
    XVector3d normal;
    double distance = 0.0;

    double SignedDistance(const XVector3d& p) const { return Dot(normal, p) - distance; }

    // The plane through three points wound counter-clockwise as seen from its front.
    static XPlaneD FromPoints(const XVector3d& a, const XVector3d& b, const XVector3d& c);
};

class XConvexPolygon {
public:
    // Points closer to a plane than this count as lying on it.
    static constexpr double kOnPlane = 1e-5;

    XConvexPolygon() = default;
    explicit XConvexPolygon(std::vector<XVector3d> corners) : points(std::move(corners)) {}

    const std::vector<XVector3d>& Points() const { return points; }
    bool IsEmpty() const { return points.size() < 3; }
    double Area() const;
    XVector3d Centroid() const;
    // The unit normal by the right-hand rule over the winding.
    XVector3d Normal() const;

    // Cuts the polygon by the plane: front receives the part on the plane's front side, back the rest. A
    // polygon wholly on one side goes there whole; one lying in the plane goes nowhere (both empty) and
    // the caller decides. Pieces without area are dropped.
    void Split(const XPlaneD& plane, XConvexPolygon& front, XConvexPolygon& back) const;

    // Whether every point is within kOnPlane of the plane.
    bool LiesIn(const XPlaneD& plane) const;

private:
    std::vector<XVector3d> points;
};
