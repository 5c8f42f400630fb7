// XAxisRotation: a turn about an axis, set up once and applied to many vectors, giving bit for bit what
// RotatedAroundAxis gives for each of them.
//
// The spotlight turns every vertex of the world by the same two angles each frame. RotatedAroundAxis works out
// the sine, the cosine and the normalised axis for every call; this class works them out once and keeps the
// nine coefficients of the turn, each formed by the very expression RotatedAroundAxis evaluates, so that
// applying it rounds exactly as the full call does.
// Depends on: XVector3, XVector3d.
#pragma once

#include "math/XVector3.h"

class XAxisRotation {
public:
    // The turn by angleDegrees about axis (which need not be of unit length), as RotatedAroundAxis takes them.
    XAxisRotation(float angleDegrees, const XVector3& axis);

    // v turned, equal to RotatedAroundAxis(v, angleDegrees, axis).
    XVector3 Apply(const XVector3& v) const;

private:
    double m[9] = {}; // row by row
};
