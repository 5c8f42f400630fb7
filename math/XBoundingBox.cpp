// XBoundingBox: the box around a point set.
// Depends on: XVector3.
#include "math/XBoundingBox.h"

#include <utility> // swap

XBoundingBox XBoundingBox::FromPoints(const XVector3* points, int count)
{
    XVector3 low(10000.0f, 10000.0f, 10000.0f);
    XVector3 high(-10000.0f, -10000.0f, -10000.0f);
    for (int i = 0; i < count; ++i) {
        for (int axis = 0; axis < 3; ++axis) {
            const float value = points[i][axis];
            if (value < low[axis]) {
                low[axis] = value;
            }
            if (value > high[axis]) {
                high[axis] = value;
            }
        }
    }
    for (int axis = 0; axis < 3; ++axis) {
        if (low[axis] > high[axis]) {
            std::swap(low[axis], high[axis]);
        }
    }

    XBoundingBox box;
    for (int axis = 0; axis < 3; ++axis) {
        box.center[axis] = static_cast<float>((static_cast<double>(low[axis]) + high[axis]) / 2.0);
        box.size[axis] = static_cast<float>(static_cast<double>(high[axis]) - low[axis]);
    }
    return box;
}
