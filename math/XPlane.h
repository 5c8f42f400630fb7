// XPlane: a plane as unit normal and offset, with the signed distance of a point.
// Depends on: XVector3.
#pragma once

#include "math/XVector3.h"

struct XPlane {
    XVector3 normal;
    float d = 0.0f;

    // normal . p + d: positive on the side the normal points to.
    float Distance(const XVector3& p) const
    {
        return static_cast<float>(static_cast<double>(normal.x) * p.x + static_cast<double>(normal.y) * p.y +
                                  static_cast<double>(normal.z) * p.z + d);
    }
};
