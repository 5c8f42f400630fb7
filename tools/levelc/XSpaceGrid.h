// XSpaceGrid: which open space of the level the player can reach, on a grid of small cells.
//
// Cells whose centre lies inside a solid are blocked; a flood from the spawn point through open cells marks
// the reachable space, within the box around all solids. Faces that no reachable cell touches look out into
// the void around the level and are left out of the compiled level.
// Depends on: XSolid.
#pragma once

#include "tools/levelc/XSolid.h"

#include <cstdint> // uint8_t, int64_t, uint64_t
#include <functional>
#include <vector>

class XSpaceGrid {
public:
    static constexpr double kCellSize = 0.5;
    // The most cells a grid may have (the engine reads the reachable space of at most this many): a level's box
    // of 1,000 x 1,000 units, 33 high. The grid and the compiler's other grid of the same cells take a byte a cell
    // each.
    static constexpr uint64_t kMaxCells = uint64_t{1} << 28;

    // The box around all the solids, which a grid of them covers, and its cells along x, y and z.
    struct Bounds {
        XVector3d min;
        XVector3d max;
        int64_t counts[3] = {0, 0, 0};
        double CellCount() const
        {
            return static_cast<double>(counts[0]) * static_cast<double>(counts[1]) * static_cast<double>(counts[2]);
        }
    };
    static Bounds BoundsOf(const std::vector<XSolid>& solids);

    // The solids' grid must have at most kMaxCells cells (see BoundsOf).
    XSpaceGrid(const std::vector<XSolid>& solids);

    // Floods the open space from the cell holding start. False when that cell is blocked or outside.
    bool Flood(const XVector3d& start);

    // Whether a reachable cell lies at or next to (in the 3 x 3 x 3 block around) the cell holding p.
    bool NearReachable(const XVector3d& p) const;

    // The reachable cells as bits in index order ((z * ny + y) * nx + x): cell i is bit i % 8 of byte i / 8.
    std::vector<uint8_t> ReachableBits() const;

    // Whether the cell holding p is blocked (its centre inside a solid) or outside the grid.
    bool Blocked(const XVector3d& p) const;

    // Calls visit with the centre of every reachable cell, in index order.
    void ForEachReachableCentre(const std::function<void(const XVector3d&)>& visit) const;

    // The centres of the reachable cells inside the box from lo to hi whose indices are multiples of stride on
    // every axis (a lattice of stride cells' spacing), in index order.
    std::vector<XVector3d> ReachableCentres(const XVector3d& lo, const XVector3d& hi, int stride) const;

    // The grid's box and its cell counts along x, y and z.
    XVector3d Min() const { return origin; }
    int CountX() const { return nx; }
    int CountY() const { return ny; }
    int CountZ() const { return nz; }
    XVector3d Max() const { return origin + XVector3d(nx * kCellSize, ny * kCellSize, nz * kCellSize); }

    // Number of reachable cells after Flood.
    long ReachableCount() const { return reachableCount; }

    // Whether the flood reached the grid's sides or bottom: the level is not closed there.
    bool LeaksSideways() const { return leaksSideways; }
    // The centre of the first cell at the box's sides or bottom that the flood reached.
    const XVector3d& LeakPoint() const { return leakPoint; }

private:
    bool CellOf(const XVector3d& p, int& x, int& y, int& z) const;
    size_t Index(int x, int y, int z) const
    {
        return (static_cast<size_t>(z) * ny + static_cast<size_t>(y)) * nx + static_cast<size_t>(x);
    }
    XVector3d CentreOf(int x, int y, int z) const
    {
        return XVector3d(origin.x + (x + 0.5) * kCellSize, origin.y + (y + 0.5) * kCellSize,
                         origin.z + (z + 0.5) * kCellSize);
    }

    enum : uint8_t { kOpen = 0, kBlocked = 1, kReached = 2 };

    XVector3d origin;
    int nx = 0;
    int ny = 0;
    int nz = 0;
    std::vector<uint8_t> cells;
    long reachableCount = 0;
    bool leaksSideways = false;
    XVector3d leakPoint;
};
