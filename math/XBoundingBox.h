// XBoundingBox: an axis-aligned box given by its centre and its full size (max - min on each axis).
// Depends on: XVector3.
#pragma once

#include "math/XVector3.h"

struct XBoundingBox {
    XVector3 center;
    XVector3 size;

    // The box around the points. The search starts from min 10000 and max -10000, so the box always reaches
    // back to 10000 / -10000 on an axis where every point lies beyond that value, and a set of no points gives
    // the box from -10000 to 10000 (centre 0, size 20000).
    static XBoundingBox FromPoints(const XVector3* points, int count);
};
