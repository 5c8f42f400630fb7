// XSolidCells: the cells of the space grid that lie wholly inside one solid, and quick proofs from them that a
// line of sight is blocked.
//
// A straight line from open space that passes through the inside of a solid must cross the level's surface on
// its way in, so it is blocked. The visibility builder tries hundreds of sampled lines between a view cell and
// an owner cell before it calls the owner cell unseen; most such pairs are separated by a wall or a floor, and
// one look at the cells of that wall answers for every line between them at once:
// - SeparatesBoxes: some layer of cells across one axis, between the two boxes, is solid wherever a line from
//   one box to the other can cross it;
// - CrossesSolid: one line passes through a solid cell.
// Both only ever answer "blocked" when the line really goes through the inside of a solid, away from its ends
// (where a ray test ignores what it hits). Cells count from the
// grid's origin in steps of XSpaceGrid::kCellSize, as in XSpaceGrid.
// Depends on: XSolid, XSpaceGrid.
#pragma once

#include "tools/levelc/XSolid.h"
#include "tools/levelc/XSpaceGrid.h"

#include <cstdint> // int32_t, uint8_t
#include <vector>

class XSolidCells {
public:
    XSolidCells(const std::vector<XSolid>& solids, const XSpaceGrid& grid);

    // Whether the cell (x, y, z) lies wholly inside one solid (false outside the grid).
    bool Solid(int x, int y, int z) const;

    // Whether every straight line from a point of box a to a point of box b passes through a solid cell of one
    // layer across x, y or z that lies between the boxes, farther than endGap from both boxes.
    bool SeparatesBoxes(const XVector3d& aMin, const XVector3d& aMax, const XVector3d& bMin, const XVector3d& bMax,
                        double endGap) const;

    // Whether the line from `from` to `to` passes through the inside of a solid cell farther than endGap from
    // both ends.
    bool CrossesSolid(const XVector3d& from, const XVector3d& to, double endGap) const;

    int SolidCount() const { return solidCount; }

private:
    size_t Index(int x, int y, int z) const
    {
        return (static_cast<size_t>(z) * static_cast<size_t>(count[1]) + static_cast<size_t>(y)) *
                   static_cast<size_t>(count[0]) +
               static_cast<size_t>(x);
    }
    // Open (not solid) cells of layer `layer` across `axis` within the index rectangle [u0, u1] x [v0, v1] of the
    // two other axes (in the order x, y, z without `axis`). The rectangle must lie within the rectangle around
    // the layer's solid cells, as one whose corners are solid does.
    int32_t OpenCells(int axis, int layer, int u0, int u1, int v0, int v1) const;
    bool LayerBlocks(int axis, int layer, const double lowMin[3], const double lowMax[3], const double highMin[3],
                     const double highMax[3]) const;

    double origin[3] = {0.0, 0.0, 0.0};
    int count[3] = {0, 0, 0};
    int solidCount = 0;
    std::vector<uint8_t> solid;
    // Where a layer's sums lie in openSums: the sums of open cells over the rectangles from the corner (u0, v0)
    // of the rectangle around its solid cells, `width` (its cells along u, plus one) a row.
    struct LayerSums {
        int u0 = 0;
        int v0 = 0;
        int width = 0;
        size_t offset = 0;
    };
    std::vector<LayerSums> layerSums[3]; // per axis, per layer
    std::vector<int32_t> openSums[3];    // per axis, the layers' tables one after another
};
