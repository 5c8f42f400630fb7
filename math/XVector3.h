// XVector3: the engine's three-component float vector, with the arithmetic and geometry every layer uses.
//
// Values are stored as float. Formulas that combine several operations (dot and cross products, lengths,
// rotations) are evaluated in double and rounded once; a single +, -, * or / is done in float directly, which
// gives the same result because double carries more than twice float's precision. Angles are in degrees.
// Depends on: nothing.
#pragma once

#include <cassert> // assert
#include <cmath>   // sqrt
#include <cstring> // memcmp

struct XVector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    XVector3() = default;
    XVector3(float xValue, float yValue, float zValue) : x(xValue), y(yValue), z(zValue) {}

    // Component 0, 1 or 2 (x, y, z).
    float operator[](int i) const
    {
        assert(i >= 0 && i < 3);
        return i == 0 ? x : (i == 1 ? y : z);
    }
    float& operator[](int i)
    {
        assert(i >= 0 && i < 3);
        return i == 0 ? x : (i == 1 ? y : z);
    }

    XVector3 operator+(const XVector3& b) const { return XVector3(x + b.x, y + b.y, z + b.z); }
    XVector3 operator-(const XVector3& b) const { return XVector3(x - b.x, y - b.y, z - b.z); }
    XVector3 operator*(float s) const { return XVector3(x * s, y * s, z * s); }
    XVector3 operator/(float s) const { return XVector3(x / s, y / s, z / s); }
    // Adds the scalar to every component.
    XVector3 operator+(float s) const { return XVector3(x + s, y + s, z + s); }
    XVector3 operator-() const { return XVector3(-x, -y, -z); }

    XVector3& operator+=(const XVector3& b)
    {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    XVector3& operator-=(const XVector3& b)
    {
        x -= b.x;
        y -= b.y;
        z -= b.z;
        return *this;
    }
    XVector3& operator*=(float s)
    {
        Scale(s);
        return *this;
    }

    // Exact component comparison.
    bool operator==(const XVector3& b) const { return x == b.x && y == b.y && z == b.z; }
    bool operator!=(const XVector3& b) const { return !(*this == b); }

    float Length() const { return static_cast<float>(LengthD()); }

    // Divides by the length; a zero vector becomes non-finite (callers never normalise one).
    void Normalize()
    {
        const double length = LengthD();
        x = static_cast<float>(x / length);
        y = static_cast<float>(y / length);
        z = static_cast<float>(z / length);
    }
    XVector3 Normalized() const
    {
        XVector3 result = *this;
        result.Normalize();
        return result;
    }

    void Scale(float s)
    {
        x *= s;
        y *= s;
        z *= s;
    }

    // Component-wise product, in place.
    void MultiplyComponents(const XVector3& b)
    {
        x *= b.x;
        y *= b.y;
        z *= b.z;
    }

private:
    double LengthD() const
    {
        const double dx = x;
        const double dy = y;
        const double dz = z;
        return std::sqrt(dx * dx + dy * dy + dz * dz);
    }
};

inline XVector3 operator*(float s, const XVector3& v)
{
    return v * s;
}

// Bit-for-bit equality: 0 and -0 differ, and a NaN equals the same NaN. For caches whose answers must be
// exactly those that the same input would give again.
inline bool SameBits(const XVector3& a, const XVector3& b)
{
    return std::memcmp(&a, &b, sizeof(XVector3)) == 0;
}

// Component-wise product as a new vector.
inline XVector3 MultiplyComponents(const XVector3& a, const XVector3& b)
{
    return XVector3(a.x * b.x, a.y * b.y, a.z * b.z);
}

inline float Dot(const XVector3& a, const XVector3& b)
{
    return static_cast<float>(static_cast<double>(a.x) * b.x + static_cast<double>(a.y) * b.y +
                              static_cast<double>(a.z) * b.z);
}

inline XVector3 Cross(const XVector3& a, const XVector3& b)
{
    const double ax = a.x;
    const double ay = a.y;
    const double az = a.z;
    return XVector3(static_cast<float>(ay * b.z - az * b.y), static_cast<float>(az * b.x - ax * b.z),
                    static_cast<float>(ax * b.y - ay * b.x));
}

// Length of b - a.
inline float Distance(const XVector3& a, const XVector3& b)
{
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    const double dz = static_cast<double>(b.z) - a.z;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

// Angle between the two directions in degrees, 0 to 180.
float AngleBetween(const XVector3& a, const XVector3& b);

// v turned by angleDegrees about the axis (any length); positive turns counter-clockwise seen from the axis tip.
XVector3 RotatedAroundAxis(const XVector3& v, float angleDegrees, const XVector3& axis);

// In-place form of RotatedAroundAxis.
void RotateAroundAxis(XVector3& v, float angleDegrees, const XVector3& axis);
