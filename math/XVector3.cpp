// XVector3: the angle and rotation functions, too long to inline.
// Depends on: XVector3d.
#include "math/XVector3.h"

#include "math/XVector3d.h"

#include <algorithm> // clamp
#include <cmath>     // acos, cos, sin

namespace {

const double radiansToDegrees = 180.0 / 3.141592653589793;
// The rotation's own value of pi. It is short of the true value by about 0.00007, so a turn by 90 degrees is
// very slightly less than a right angle; code that compares rotated positions relies on exactly this value.
const double rotationPi = 3.14152;

} // namespace

float AngleBetween(const XVector3& a, const XVector3& b)
{
    const XVector3d ua = XVector3d(a) / XVector3d(a).Length();
    const XVector3d ub = XVector3d(b) / XVector3d(b).Length();
    // Rounding can push the cosine of parallel vectors just past 1 (or -1), where acos has no value; such a
    // pair must still come out as 0 (or 180) degrees rather than NaN, which every comparison would reject.
    const double cosine = std::clamp(Dot(ua, ub), -1.0, 1.0);
    return static_cast<float>(std::acos(cosine) * radiansToDegrees);
}

XVector3 RotatedAroundAxis(const XVector3& v, float angleDegrees, const XVector3& axis)
{
    const double theta = angleDegrees / 180.0 * rotationPi;
    const double c = std::cos(theta);
    const double s = std::sin(theta);
    const double t = 1.0 - c;
    const XVector3d u(axis.Normalized());
    const XVector3d p(v);

    const double x = (c + t * u.x * u.x) * p.x + (t * u.x * u.y - s * u.z) * p.y + (t * u.x * u.z + s * u.y) * p.z;
    const double y = (t * u.x * u.y + s * u.z) * p.x + (c + t * u.y * u.y) * p.y + (t * u.y * u.z - s * u.x) * p.z;
    const double z = (t * u.x * u.z - s * u.y) * p.x + (t * u.y * u.z + s * u.x) * p.y + (c + t * u.z * u.z) * p.z;
    return XVector3d(x, y, z).ToFloat();
}

void RotateAroundAxis(XVector3& v, float angleDegrees, const XVector3& axis)
{
    v = RotatedAroundAxis(v, angleDegrees, axis);
}
