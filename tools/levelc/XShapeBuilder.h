// XShapeBuilder: the shapes of the level source as convex solids.
//
// Boxes and ramps are one solid each; a stair run is one box a step; a pillar is a prism; a doorway and an
// arch are a wall with an opening, made of jambs, a lintel or a row of narrow pieces under the arch's curve.
// Coordinates are world units; "up" directions are +x, -x, +z or -z.
// Depends on: XSolid.
#pragma once

#include "tools/levelc/XSolid.h"

#include <vector>

// One of the four horizontal directions: axis 0 for x, 2 for z; sign +1 or -1.
struct XDirection {
    int axis = 2;
    int sign = 1;
};

class XShapeBuilder {
public:
    static XSolid Box(const XVector3d& min, const XVector3d& max, const XSolidMaterials& materials, int line);

    // A ramp filling the box below a slope that rises from min.y at one side to max.y at the side `up`.
    static XSolid Wedge(const XVector3d& min, const XVector3d& max, XDirection up, const XSolidMaterials& materials,
                        int line);

    // `steps` boxes in a row rising towards `up`, each one step higher; the last one's top is max.y.
    static std::vector<XSolid> Stairs(const XVector3d& min, const XVector3d& max, XDirection up, int steps,
                                      const XSolidMaterials& materials, int line);

    // A standing prism with `sides` faces around (cx, cz), its corners at `radius`, turned so that one face
    // looks along +x.
    static XSolid Pillar(double cx, double cz, double y0, double y1, double radius, int sides,
                         const XSolidMaterials& materials, int line);

    // A wall filling the box with a passage through it along axis `across` (0 x, 2 z), `width` wide,
    // centred at `centre` along the wall. Doorway: a flat top at min.y + height. Arch: straight sides up to
    // min.y + spring, then a half circle of `segments` pieces.
    static std::vector<XSolid> Doorway(const XVector3d& min, const XVector3d& max, int across, double centre,
                                       double width, double height, const XSolidMaterials& materials, int line);
    static std::vector<XSolid> Arch(const XVector3d& min, const XVector3d& max, int across, double centre,
                                    double width, double spring, int segments, const XSolidMaterials& materials,
                                    int line);
};
