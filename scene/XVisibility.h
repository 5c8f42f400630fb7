// XVisibility: which parts of the world can be seen from where, as the level compiler worked it out
// ("scene\world.vis" beside the scene file; the format is in docs/scene-format.md).
//
// The level's box is cut into cubic cells. The world's triangles are put into a drawing order by the cell that
// holds them (their owner cell) and, within it, by material: each owner cell has runs of triangles, one per
// material, and a box around its triangles. Every cell the eye can be in (a view cell) lists the owner cells
// it can see. A frame looks up the eye's view cell and draws the runs of the owner cells it sees; an eye outside
// every view cell (flying outside the level), or a view that reaches farther than the compiler looked (a wide
// field of view or picture), sees everything. The sets hold for an eye in the open space the player can reach
// (within one cell of the compiler's fine grid of it); an eye elsewhere (left inside a wall after flying, or in a
// closed-off hollow) may see what its cell does not, and sees everything too.
//
// A file that does not fit the world it is loaded for (another triangle count, a run outside the order, an
// order that is not a permutation, cells outside the grid, a short or long file) is refused as a whole, with the
// reason: the world is then drawn whole, as without the file.
// Depends on: XVector3.
#pragma once

#include "math/XVector3.h"

#include <cstddef> // size_t
#include <cstdint>
#include <string>
#include <vector>

class XVisibility {
public:
    // A run of triangles of one material, in the drawing order.
    struct Run {
        int32_t first = 0;
        int32_t count = 0;
        int32_t material = 0;
    };
    struct OwnerCell {
        XVector3 min;
        XVector3 max;
        std::vector<Run> runs;
    };

    // Reads the file's bytes for a world of worldTriangles triangles. False, with the reason in problem, when
    // the file does not fit; the object is then empty.
    bool Load(const unsigned char* bytes, size_t size, int worldTriangles, std::string& problem);
    void Clear();

    bool Empty() const { return owners.empty(); }
    // The drawing order: world triangle numbers.
    const std::vector<int32_t>& Order() const { return order; }
    int OwnerCount() const { return static_cast<int>(owners.size()); }
    const OwnerCell& Owner(int i) const { return owners[static_cast<size_t>(i)]; }

    // The view cell the point lies in, or -1 (outside the grid, or in a cell the eye is never in).
    int ViewCellAt(const XVector3& point) const;
    // Whether view cell `view` sees owner cell `owner`.
    bool Sees(int view, int owner) const
    {
        return (seen[static_cast<size_t>(view) * rowBytes + static_cast<size_t>(owner) / 8] >> (owner % 8)) & 1;
    }
    int ViewCellCount() const { return viewCount; }
    // Whether the sets hold for an eye at the point: it lies in the reachable open space (as grown by the
    // compiler). Always true for files that do not say where that space is (versions 1 and 2).
    bool EyeMayBeAt(const XVector3& point) const;
    // How far from the eye the compiler looked: a view reaching farther may show what the cells leave out.
    float Reach() const { return reach; }

private:
    float cellSize = 0.0f;
    float reach = 0.0f;
    XVector3 origin;
    int32_t nx = 0;
    int32_t ny = 0;
    int32_t nz = 0;
    std::vector<int32_t> order;
    std::vector<OwnerCell> owners;
    std::vector<int32_t> viewCellOf; // for every grid cell, its view cell or -1
    std::vector<uint8_t> seen;       // a row of bits a view cell
    // The reachable open space on a fine grid, one bit a cell (empty: not in the file).
    XVector3 spaceOrigin;
    float spaceCell = 0.0f;
    int32_t sx = 0;
    int32_t sy = 0;
    int32_t sz = 0;
    std::vector<uint8_t> reachable;
    size_t rowBytes = 0;
    int viewCount = 0;
};
