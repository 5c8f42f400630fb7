// XSpaceGrid: blocking cells and flooding the open space.
#include "tools/levelc/XSpaceGrid.h"

#include <algorithm> // min, max, fill
#include <cmath>     // floor, ceil

namespace {

int64_t CellsAcross(double from, double to)
{
    const double cells = std::ceil((to - from) / XSpaceGrid::kCellSize);
    const double most = 1e15; // far beyond any grid that fits, and well inside int64_t
    return cells >= most ? static_cast<int64_t>(most) : std::max(int64_t{1}, static_cast<int64_t>(cells));
}

} // namespace

XSpaceGrid::Bounds XSpaceGrid::BoundsOf(const std::vector<XSolid>& solids)
{
    Bounds bounds;
    bounds.min = XVector3d(1e30, 1e30, 1e30);
    bounds.max = XVector3d(-1e30, -1e30, -1e30);
    XVector3d& min = bounds.min;
    XVector3d& max = bounds.max;
    for (const XSolid& solid : solids) {
        min = XVector3d(std::min(min.x, solid.Min().x), std::min(min.y, solid.Min().y), std::min(min.z, solid.Min().z));
        max = XVector3d(std::max(max.x, solid.Max().x), std::max(max.y, solid.Max().y), std::max(max.z, solid.Max().z));
    }
    bounds.counts[0] = CellsAcross(min.x, max.x);
    bounds.counts[1] = CellsAcross(min.y, max.y);
    bounds.counts[2] = CellsAcross(min.z, max.z);
    return bounds;
}

XSpaceGrid::XSpaceGrid(const std::vector<XSolid>& solids)
{
    const Bounds bounds = BoundsOf(solids);
    origin = bounds.min;
    nx = static_cast<int>(bounds.counts[0]);
    ny = static_cast<int>(bounds.counts[1]);
    nz = static_cast<int>(bounds.counts[2]);
    cells.assign(static_cast<size_t>(nx) * ny * nz, kOpen);
    for (const XSolid& solid : solids) {
        const int x0 = std::max(0, static_cast<int>(std::floor((solid.Min().x - origin.x) / kCellSize)));
        const int y0 = std::max(0, static_cast<int>(std::floor((solid.Min().y - origin.y) / kCellSize)));
        const int z0 = std::max(0, static_cast<int>(std::floor((solid.Min().z - origin.z) / kCellSize)));
        const int x1 = std::min(nx - 1, static_cast<int>(std::floor((solid.Max().x - origin.x) / kCellSize)));
        const int y1 = std::min(ny - 1, static_cast<int>(std::floor((solid.Max().y - origin.y) / kCellSize)));
        const int z1 = std::min(nz - 1, static_cast<int>(std::floor((solid.Max().z - origin.z) / kCellSize)));
        for (int z = z0; z <= z1; ++z) {
            for (int y = y0; y <= y1; ++y) {
                for (int x = x0; x <= x1; ++x) {
                    const XVector3d centre = CentreOf(x, y, z);
                    if (solid.Contains(centre, 0.0)) {
                        cells[Index(x, y, z)] = kBlocked;
                    }
                }
            }
        }
    }
}

bool XSpaceGrid::CellOf(const XVector3d& p, int& x, int& y, int& z) const
{
    x = static_cast<int>(std::floor((p.x - origin.x) / kCellSize));
    y = static_cast<int>(std::floor((p.y - origin.y) / kCellSize));
    z = static_cast<int>(std::floor((p.z - origin.z) / kCellSize));
    return x >= 0 && y >= 0 && z >= 0 && x < nx && y < ny && z < nz;
}

bool XSpaceGrid::Flood(const XVector3d& start)
{
    int x = 0;
    int y = 0;
    int z = 0;
    if (!CellOf(start, x, y, z) || cells[Index(x, y, z)] != kOpen) {
        return false;
    }
    // A run at a time: a seed's row is filled as far along x as it is open both ways, and the open runs beside
    // it in the four neighbouring rows become seeds. Each cell is looked at a few times, in order along a row.
    struct Seed {
        int x;
        int y;
        int z;
    };
    std::vector<Seed> seeds = {{x, y, z}};
    reachableCount = 0;
    while (!seeds.empty()) {
        const Seed seed = seeds.back();
        seeds.pop_back();
        const size_t row = Index(0, seed.y, seed.z);
        if (cells[row + static_cast<size_t>(seed.x)] != kOpen) {
            continue; // reached through another seed meanwhile
        }
        int x0 = seed.x;
        int x1 = seed.x;
        while (x0 > 0 && cells[row + static_cast<size_t>(x0) - 1] == kOpen) {
            --x0;
        }
        while (x1 < nx - 1 && cells[row + static_cast<size_t>(x1) + 1] == kOpen) {
            ++x1;
        }
        std::fill(cells.begin() + static_cast<std::ptrdiff_t>(row) + x0,
                  cells.begin() + static_cast<std::ptrdiff_t>(row) + x1 + 1, kReached);
        reachableCount += x1 - x0 + 1;
        if (!leaksSideways && (x0 == 0 || x1 == nx - 1 || seed.y == 0 || seed.z == 0 || seed.z == nz - 1)) {
            leaksSideways = true;
            const int at = x1 == nx - 1 ? x1 : x0;
            leakPoint = CentreOf(at, seed.y, seed.z);
        }
        const int beside[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}}; // (y, z) steps
        for (const auto& step : beside) {
            const int by = seed.y + step[0];
            const int bz = seed.z + step[1];
            if (by < 0 || bz < 0 || by >= ny || bz >= nz) {
                continue;
            }
            const size_t other = Index(0, by, bz);
            for (int bx = x0; bx <= x1; ++bx) {
                const bool open = cells[other + static_cast<size_t>(bx)] == kOpen;
                if (open && (bx == x0 || cells[other + static_cast<size_t>(bx) - 1] != kOpen)) {
                    seeds.push_back({bx, by, bz});
                }
            }
        }
    }
    return true;
}

bool XSpaceGrid::NearReachable(const XVector3d& p) const
{
    const int x = static_cast<int>(std::floor((p.x - origin.x) / kCellSize));
    const int y = static_cast<int>(std::floor((p.y - origin.y) / kCellSize));
    const int z = static_cast<int>(std::floor((p.z - origin.z) / kCellSize));
    for (int dz = -1; dz <= 1; ++dz) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int ax = x + dx;
                const int ay = y + dy;
                const int az = z + dz;
                if (ax >= 0 && ay >= 0 && az >= 0 && ax < nx && ay < ny && az < nz &&
                    cells[Index(ax, ay, az)] == kReached) {
                    return true;
                }
            }
        }
    }
    return false;
}

void XSpaceGrid::ForEachReachableCentre(const std::function<void(const XVector3d&)>& visit) const
{
    for (int z = 0; z < nz; ++z) {
        for (int y = 0; y < ny; ++y) {
            const size_t row = Index(0, y, z);
            for (int x = 0; x < nx; ++x) {
                if (cells[row + static_cast<size_t>(x)] == kReached) {
                    visit(CentreOf(x, y, z));
                }
            }
        }
    }
}

std::vector<uint8_t> XSpaceGrid::ReachableBits() const
{
    std::vector<uint8_t> bits((cells.size() + 7) / 8, 0);
    for (size_t i = 0; i < cells.size(); ++i) {
        if (cells[i] == kReached) {
            bits[i / 8] = static_cast<uint8_t>(bits[i / 8] | (1u << (i % 8)));
        }
    }
    return bits;
}

bool XSpaceGrid::Blocked(const XVector3d& p) const
{
    int x = 0;
    int y = 0;
    int z = 0;
    return !CellOf(p, x, y, z) || cells[Index(x, y, z)] == kBlocked;
}

std::vector<XVector3d> XSpaceGrid::ReachableCentres(const XVector3d& lo, const XVector3d& hi, int stride) const
{
    std::vector<XVector3d> centres;
    const int x0 = std::max(0, static_cast<int>(std::ceil((lo.x - origin.x) / kCellSize - 0.5)));
    const int y0 = std::max(0, static_cast<int>(std::ceil((lo.y - origin.y) / kCellSize - 0.5)));
    const int z0 = std::max(0, static_cast<int>(std::ceil((lo.z - origin.z) / kCellSize - 0.5)));
    const int x1 = std::min(nx - 1, static_cast<int>(std::floor((hi.x - origin.x) / kCellSize - 0.5)));
    const int y1 = std::min(ny - 1, static_cast<int>(std::floor((hi.y - origin.y) / kCellSize - 0.5)));
    const int z1 = std::min(nz - 1, static_cast<int>(std::floor((hi.z - origin.z) / kCellSize - 0.5)));
    for (int z = z0; z <= z1; ++z) {
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                if (x % stride != 0 || y % stride != 0 || z % stride != 0 || cells[Index(x, y, z)] != kReached) {
                    continue;
                }
                centres.push_back(CentreOf(x, y, z));
            }
        }
    }
    return centres;
}
