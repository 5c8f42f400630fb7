// XCsg: the visible surface of a union of convex solids.
//
// Each face of each solid is cut against every other solid that it touches; the parts inside another solid
// are dropped. Where two solids touch face to face, both faces go; where faces of two solids lie in one
// plane facing the same way, the later solid's face is kept and the earlier one's goes, so that no surface is
// ever drawn twice. What is left faces open space (or the void outside the level, see XSpaceGrid).
// Depends on: XSolid, XConvexPolygon.
#pragma once

#include "tools/levelc/XSolid.h"

#include <vector>

struct XFragment {
    XConvexPolygon polygon;
    XPlaneD plane;
    int material = 0;
    int solid = 0;
    int sourceLine = 0;
};

class XCsg {
public:
    static std::vector<XFragment> VisibleFragments(const std::vector<XSolid>& solids);

private:
    // The parts of polygon (a piece of a face of solid `self` in plane facePlane) outside solid `other`.
    static void ClipOutside(const XConvexPolygon& polygon, const XPlaneD& facePlane, int self, const XSolid& other,
                            int otherIndex, std::vector<XConvexPolygon>& outside);
};
