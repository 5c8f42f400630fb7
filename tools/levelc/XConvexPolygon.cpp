// XConvexPolygon: splitting and measuring convex polygons.
#include "tools/levelc/XConvexPolygon.h"

#include <cmath> // fabs

XPlaneD XPlaneD::FromPoints(const XVector3d& a, const XVector3d& b, const XVector3d& c)
{
    XVector3d n = Cross(b - a, c - b);
    n = n / n.Length();
    XPlaneD plane;
    plane.normal = n;
    plane.distance = Dot(n, a);
    return plane;
}

double XConvexPolygon::Area() const
{
    if (points.size() < 3) {
        return 0.0;
    }
    XVector3d sum;
    for (size_t i = 1; i + 1 < points.size(); ++i) {
        sum = sum + Cross(points[i] - points[0], points[i + 1] - points[0]);
    }
    return sum.Length() * 0.5;
}

XVector3d XConvexPolygon::Centroid() const
{
    XVector3d sum;
    for (const XVector3d& p : points) {
        sum = sum + p;
    }
    return points.empty() ? sum : sum / static_cast<double>(points.size());
}

XVector3d XConvexPolygon::Normal() const
{
    XVector3d sum;
    for (size_t i = 1; i + 1 < points.size(); ++i) {
        sum = sum + Cross(points[i] - points[0], points[i + 1] - points[0]);
    }
    const double length = sum.Length();
    return length > 0.0 ? sum / length : sum;
}

bool XConvexPolygon::LiesIn(const XPlaneD& plane) const
{
    for (const XVector3d& p : points) {
        if (std::fabs(plane.SignedDistance(p)) > kOnPlane) {
            return false;
        }
    }
    return true;
}

void XConvexPolygon::Split(const XPlaneD& plane, XConvexPolygon& front, XConvexPolygon& back) const
{
    front.points.clear();
    back.points.clear();
    const size_t n = points.size();
    std::vector<double> distances(n);
    std::vector<int> sides(n); // 1 front, -1 back, 0 on the plane
    bool anyFront = false;
    bool anyBack = false;
    for (size_t i = 0; i < n; ++i) {
        distances[i] = plane.SignedDistance(points[i]);
        sides[i] = distances[i] > kOnPlane ? 1 : (distances[i] < -kOnPlane ? -1 : 0);
        anyFront = anyFront || sides[i] == 1;
        anyBack = anyBack || sides[i] == -1;
    }
    if (!anyFront && !anyBack) {
        return;
    }
    if (!anyBack) {
        front = *this;
        return;
    }
    if (!anyFront) {
        back = *this;
        return;
    }
    for (size_t i = 0; i < n; ++i) {
        const size_t j = (i + 1) % n;
        const XVector3d& p = points[i];
        if (sides[i] >= 0) {
            front.points.push_back(p);
        }
        if (sides[i] <= 0) {
            back.points.push_back(p);
        }
        if ((sides[i] == 1 && sides[j] == -1) || (sides[i] == -1 && sides[j] == 1)) {
            const double t = distances[i] / (distances[i] - distances[j]);
            XVector3d cut = p + (points[j] - p) * t;
            // Snap the cut onto the plane's axis when the plane is axis-aligned, so that cuts made from either
            // side of a shared edge land on exactly the same coordinate.
            for (int axis = 0; axis < 3; ++axis) {
                const double component = axis == 0 ? plane.normal.x : (axis == 1 ? plane.normal.y : plane.normal.z);
                if (std::fabs(std::fabs(component) - 1.0) < 1e-12) {
                    const double value = plane.distance * component;
                    if (axis == 0) {
                        cut.x = value;
                    } else if (axis == 1) {
                        cut.y = value;
                    } else {
                        cut.z = value;
                    }
                }
            }
            front.points.push_back(cut);
            back.points.push_back(cut);
        }
    }
    if (front.Area() < 1e-9) {
        front.points.clear();
    }
    if (back.Area() < 1e-9) {
        back.points.clear();
    }
}
