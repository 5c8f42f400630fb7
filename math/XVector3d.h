// XVector3d: the double-precision working vector behind the geometric tests.
//
// The engine stores every value as float but evaluates each formula in double and rounds once at the end, so
// that results do not depend on the order in which the float operations happen to be rounded. Code converts an
// XVector3 in, works on XVector3d, and converts the result back with ToFloat.
// Depends on: XVector3.
#pragma once

#include "math/XVector3.h"

#include <cmath> // sqrt

struct XVector3d {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    XVector3d() = default;
    XVector3d(double xValue, double yValue, double zValue) : x(xValue), y(yValue), z(zValue) {}
    explicit XVector3d(const XVector3& v) : x(v.x), y(v.y), z(v.z) {}

    // Rounds each component to float: the single rounding step of a formula.
    XVector3 ToFloat() const
    {
        return XVector3(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    }

    XVector3d operator+(const XVector3d& b) const { return XVector3d(x + b.x, y + b.y, z + b.z); }
    XVector3d operator-(const XVector3d& b) const { return XVector3d(x - b.x, y - b.y, z - b.z); }
    XVector3d operator*(double s) const { return XVector3d(x * s, y * s, z * s); }
    XVector3d operator/(double s) const { return XVector3d(x / s, y / s, z / s); }

    double Length() const { return std::sqrt(x * x + y * y + z * z); }
};

inline double Dot(const XVector3d& a, const XVector3d& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline XVector3d Cross(const XVector3d& a, const XVector3d& b)
{
    return XVector3d(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

// The component on an axis (0 = x, 1 = y, 2 = z): for code that works along an axis chosen at run time.
inline double Component(const XVector3d& v, int axis)
{
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

inline double& Component(XVector3d& v, int axis)
{
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}
