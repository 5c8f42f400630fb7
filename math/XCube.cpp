// XCube: placement and the sphere and segment overlap tests.
#include "math/XCube.h"

#include "math/XVector3d.h"

#include <cmath> // fabs

void XCube::Set(const XVector3& cubeCenter, float cubeHalfSize)
{
    center = cubeCenter;
    halfSize = cubeHalfSize;
    min = cubeCenter - XVector3(cubeHalfSize, cubeHalfSize, cubeHalfSize);
    max = cubeCenter + cubeHalfSize;
}

bool XCube::IntersectsSphere(const XVector3& sphereCenter, float radius) const
{
    double squaredDistance = 0.0;
    for (int axis = 0; axis < 3; ++axis) {
        const double c = sphereCenter[axis];
        if (c < min[axis]) {
            squaredDistance += (c - min[axis]) * (c - min[axis]);
        } else if (c > max[axis]) {
            squaredDistance += (c - max[axis]) * (c - max[axis]);
        }
    }
    return static_cast<double>(radius) * radius >= squaredDistance;
}

XCubeSegment::XCubeSegment(const XVector3& from, const XVector3& to) : p1(from), p2(to)
{
    const XVector3d a(from);
    const XVector3d b(to);
    const XVector3d delta = b - a;
    const double length = delta.Length();
    mid = (a + b) / 2.0;
    halfLength = length / 2.0;
    if (length != 0.0) {
        u = delta / length;
    }
}

bool XCube::IntersectsSegment(const XVector3& p1, const XVector3& p2) const
{
    return IntersectsSegment(XCubeSegment(p1, p2));
}

// Separating-axis test of the segment against the cube: the three face normals, then the three cross products
// of the segment direction with the cube's axes.
bool XCube::IntersectsSegment(const XCubeSegment& segment) const
{
    if (Contains(segment.p1) || Contains(segment.p2)) {
        return true;
    }
    if (segment.halfLength == 0.0) {
        // A point outside the cube; without this the direction would be 0/0 and every test below would pass.
        return false;
    }
    const double halfLength = segment.halfLength;
    const XVector3d& u = segment.u;
    const XVector3d t = XVector3d(center) - segment.mid;
    const double h = halfSize;

    if (std::fabs(t.x) > h + halfLength * std::fabs(u.x) || std::fabs(t.y) > h + halfLength * std::fabs(u.y) ||
        std::fabs(t.z) > h + halfLength * std::fabs(u.z)) {
        return false;
    }
    if (std::fabs(t.y * u.z - t.z * u.y) > h * std::fabs(u.z) + h * std::fabs(u.y)) {
        return false;
    }
    if (std::fabs(t.z * u.x - t.x * u.z) > h * std::fabs(u.z) + h * std::fabs(u.x)) {
        return false;
    }
    if (std::fabs(t.x * u.y - t.y * u.x) > h * std::fabs(u.y) + h * std::fabs(u.x)) {
        return false;
    }
    return true;
}
