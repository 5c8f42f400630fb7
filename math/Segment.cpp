// Segment: closest points, segment-plane crossing and projection onto a plane.
// Depends on: XVector3d.
#include "math/Segment.h"

#include "math/XVector3d.h"

XVector3 ClosestPointOnSegment(const XVector3& a, const XVector3& b, const XVector3& p)
{
    const XVector3d start(a);
    const XVector3d along = XVector3d(b) - start;
    const double squaredLength = Dot(along, along);
    if (squaredLength == 0.0) {
        return a;
    }
    double t = Dot(XVector3d(p) - start, along) / squaredLength;
    if (t < 0.0) {
        t = 0.0;
    } else if (t > 1.0) {
        t = 1.0;
    }
    return (start + along * t).ToFloat();
}

float DistanceToSegment(const XVector3& a, const XVector3& b, const XVector3& p)
{
    return Distance(p, ClosestPointOnSegment(a, b, p));
}

bool SegmentPlane(const XVector3& a, const XVector3& b, const XVector3& n, const XVector3& q, XVector3& point)
{
    const XVector3d normal(n);
    const XVector3d start(a);
    const XVector3d along = XVector3d(b) - start;
    const double denominator = Dot(normal, along);
    if (denominator == 0.0) {
        return false;
    }
    const double t = -(Dot(normal, start) - Dot(normal, XVector3d(q))) / denominator;
    // Written so that a non-finite t (from non-finite input) also counts as no crossing.
    if (!(t >= 0.0 && t <= 1.0)) {
        return false;
    }
    point = (start + along * t).ToFloat();
    return true;
}

XVector3 ProjectOntoPlane(const XVector3& n, const XVector3& q, const XVector3& p)
{
    const XVector3d normal(n);
    const XVector3d point(p);
    return (point - normal * (Dot(normal, point) - Dot(normal, XVector3d(q)))).ToFloat();
}
