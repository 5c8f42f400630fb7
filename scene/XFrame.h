// XFrame: where a scene node stands: its orientation's three vectors, in the order the scene file gives
// them, and its position.
// Depends on: XVector3.
#pragma once

#include "math/XVector3.h"

struct XFrame {
    XVector3 rot0;
    XVector3 rot1;
    XVector3 rot2;
    XVector3 translate;
};
