// XAxisRotation: the coefficients of a turn about an axis, and their application.
// Depends on: XVector3d.
#include "render/XAxisRotation.h"

#include "math/XVector3d.h"

#include <cmath> // cos, sin

namespace {

// The value of pi the engine's rotation uses (see RotatedAroundAxis): the same turn needs the same constant.
const double rotationPi = 3.14152;

} // namespace

XAxisRotation::XAxisRotation(float angleDegrees, const XVector3& axis)
{
    const double theta = angleDegrees / 180.0 * rotationPi;
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    const double t = 1.0 - c;
    const XVector3d u(axis.Normalized());
    m[0] = c + t * u.x * u.x;
    m[1] = t * u.x * u.y - s * u.z;
    m[2] = t * u.x * u.z + s * u.y;
    m[3] = t * u.x * u.y + s * u.z;
    m[4] = c + t * u.y * u.y;
    m[5] = t * u.y * u.z - s * u.x;
    m[6] = t * u.x * u.z - s * u.y;
    m[7] = t * u.y * u.z + s * u.x;
    m[8] = c + t * u.z * u.z;
}

XVector3 XAxisRotation::Apply(const XVector3& v) const
{
    const XVector3d p(v);
    const double x = m[0] * p.x + m[1] * p.y + m[2] * p.z;
    const double y = m[3] * p.x + m[4] * p.y + m[5] * p.z;
    const double z = m[6] * p.x + m[7] * p.y + m[8] * p.z;
    return XVector3d(x, y, z).ToFloat();
}
