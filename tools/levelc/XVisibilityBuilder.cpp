// XVisibilityBuilder: owner cells, view cells, the eye's region, sampled lines and proofs, the drawing order and
// the file.
// Depends on: XRayTracer, XSpaceGrid, XOcclusionProof.
#include "tools/levelc/XVisibilityBuilder.h"

#include <algorithm> // std::min, std::max, std::sort
#include <cmath>     // floor, ceil, sqrt
#include <cstdio>    // FILE, fopen, fwrite
#include <cstring>   // memcpy
#include <thread>

namespace {

// Hits this close to either end of a line of sight do not block it: the target points sit a hair in front of
// their triangles.
const double kEndGap = 0.03;

// Sampling never depends on the C library's generator: a small generator of our own, seeded per view cell.
class LineRandom {
public:
    explicit LineRandom(uint64_t seed) : state(seed * kMultiplier + kIncrement) {}
    uint32_t Next()
    {
        state = state * kMultiplier + kIncrement;
        return static_cast<uint32_t>(state >> 33);
    }
    double Unit() { return Next() / 2147483648.0; }
    size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(Next()) % n; }
    // Moves on as count calls of Next would, in a few steps (the generator's powers, by squaring).
    void Skip(uint64_t count)
    {
        uint64_t multiplier = 1;
        uint64_t increment = 0;
        uint64_t stepMultiplier = kMultiplier;
        uint64_t stepIncrement = kIncrement;
        while (count > 0) {
            if ((count & 1u) != 0) {
                multiplier *= stepMultiplier;
                increment = increment * stepMultiplier + stepIncrement;
            }
            stepIncrement = (stepMultiplier + 1) * stepIncrement;
            stepMultiplier *= stepMultiplier;
            count >>= 1;
        }
        state = state * multiplier + increment;
    }

private:
    static const uint64_t kMultiplier = 6364136223846793005ull;
    static const uint64_t kIncrement = 1442695040888963407ull;
    uint64_t state;
};

XVector3d ToDouble(const XVector3& v)
{
    return XVector3d(v.x, v.y, v.z);
}

// A point to look at, a hair in front of its triangle, and the side it faces.
struct TargetPoint {
    XVector3d point;
    XVector3d normal; // the triangle's, of unit length
};

// Points of a triangle to look at, a hair in front of it: corners (pulled a little inwards), edge middles, the
// centroid, and more inside on large triangles.
void TargetPoints(const XVector3d& a, const XVector3d& b, const XVector3d& c, LineRandom& random,
                  std::vector<TargetPoint>& points)
{
    const XVector3d centroid = (a + b + c) / 3.0;
    const XVector3d cross = Cross(b - a, c - a);
    const double length = cross.Length();
    if (!(length > 0.0)) {
        return;
    }
    const XVector3d normal = cross / length;
    const XVector3d lift = normal * 0.02;
    const XVector3d corners[3] = {a, b, c};
    for (int i = 0; i < 3; ++i) {
        points.push_back({corners[i] + (centroid - corners[i]) * 0.02 + lift, normal});
        points.push_back({(corners[i] + corners[(i + 1) % 3]) * 0.5 + (centroid - corners[i]) * 0.01 + lift, normal});
    }
    points.push_back({centroid + lift, normal});
    const int extra = std::min(96, static_cast<int>(length * 0.5)); // one more every square unit
    for (int i = 0; i < extra; ++i) {
        double u = random.Unit();
        double v = random.Unit();
        if (u + v > 1.0) {
            u = 1.0 - u;
            v = 1.0 - v;
        }
        points.push_back({a + (b - a) * u + (c - a) * v + lift, normal});
    }
}

double BoxDistance(const XVector3d& aMin, const XVector3d& aMax, const XVector3d& bMin, const XVector3d& bMax)
{
    const double dx = std::max(0.0, std::max(aMin.x - bMax.x, bMin.x - aMax.x));
    const double dy = std::max(0.0, std::max(aMin.y - bMax.y, bMin.y - aMax.y));
    const double dz = std::max(0.0, std::max(aMin.z - bMax.z, bMin.z - aMax.z));
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void Append32(std::vector<unsigned char>& bytes, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

void AppendFloat(std::vector<unsigned char>& bytes, double value)
{
    const float f = static_cast<float>(value);
    uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof(bits));
    Append32(bytes, bits);
}

// Where the eye can be while it is in the cell from lo to hi: the reachable cells of the space grid, each grown
// by one cell on every side (an eye pressed against a wall may sit in a cell whose centre is inside it), cut to
// the cell with a hair to spare for rounding; as boxes, one for each run of such cells along x.
std::vector<XBox> EyeRegion(const XSpaceGrid& grid, const XVector3d& lo, const XVector3d& hi)
{
    const double cell = XSpaceGrid::kCellSize;
    const double grow = 1.5 * cell; // from a cell's centre to its side, and one cell more
    const double hair = 0.01;
    const XVector3d reach(grow, grow, grow);
    const std::vector<XVector3d> centres = grid.ReachableCentres(lo - reach, hi + reach, 1);
    std::vector<XBox> region;
    const auto add = [&](const XVector3d& first, const XVector3d& last) {
        XBox box{first - reach, last + reach};
        box.min = XVector3d(std::max(box.min.x, lo.x - hair), std::max(box.min.y, lo.y - hair),
                            std::max(box.min.z, lo.z - hair));
        box.max = XVector3d(std::min(box.max.x, hi.x + hair), std::min(box.max.y, hi.y + hair),
                            std::min(box.max.z, hi.z + hair));
        if (box.min.x < box.max.x && box.min.y < box.max.y && box.min.z < box.max.z) {
            region.push_back(box);
        }
    };
    for (size_t i = 0; i < centres.size();) {
        size_t j = i;
        while (j + 1 < centres.size() && centres[j + 1].y == centres[i].y && centres[j + 1].z == centres[i].z &&
               centres[j + 1].x - centres[j].x < 1.5 * cell) {
            ++j;
        }
        add(centres[i], centres[j]);
        i = j + 1;
    }
    return region;
}

} // namespace

double XVisibility::AverageSeen() const
{
    if (views.empty()) {
        return 0.0;
    }
    long total = 0;
    for (const XViewCell& view : views) {
        for (const uint8_t byte : view.sees) {
            total += __builtin_popcount(byte);
        }
    }
    return static_cast<double>(total) / static_cast<double>(views.size());
}

XVisibility XVisibilityBuilder::Build(const XSceneObject& world, const XSpaceGrid& grid, const XSolidCells& solidCells,
                                      const XVisibilitySettings& settings)
{
    XVisibility visibility;
    visibility.cellSize = settings.cellSize;
    visibility.reach = settings.reach;
    visibility.origin = grid.Min();
    visibility.eyeSpace = XEyeSpace{grid.Min(), XSpaceGrid::kCellSize, grid.CountX(), grid.CountY(), grid.CountZ(),
                                    grid.ReachableBits()};
    const XVector3d extent = grid.Max() - grid.Min();
    visibility.nx = std::max(1, static_cast<int>(std::ceil(extent.x / settings.cellSize)));
    visibility.ny = std::max(1, static_cast<int>(std::ceil(extent.y / settings.cellSize)));
    visibility.nz = std::max(1, static_cast<int>(std::ceil(extent.z / settings.cellSize)));
    const auto cellOf = [&](const XVector3d& p) {
        const int x = std::min(visibility.nx - 1, std::max(0, static_cast<int>(std::floor((p.x - visibility.origin.x) / settings.cellSize))));
        const int y = std::min(visibility.ny - 1, std::max(0, static_cast<int>(std::floor((p.y - visibility.origin.y) / settings.cellSize))));
        const int z = std::min(visibility.nz - 1, std::max(0, static_cast<int>(std::floor((p.z - visibility.origin.z) / settings.cellSize))));
        return (z * visibility.ny + y) * visibility.nx + x;
    };
    const auto cellMin = [&](int cell) {
        const int x = cell % visibility.nx;
        const int y = (cell / visibility.nx) % visibility.ny;
        const int z = cell / (visibility.nx * visibility.ny);
        return visibility.origin + XVector3d(x, y, z) * settings.cellSize;
    };

    // Owner cells, and the drawing order: by cell, then by material, then as in the world's own order.
    std::vector<int> materialOf;
    for (const XSceneGroup& group : world.groups) {
        materialOf.insert(materialOf.end(), static_cast<size_t>(group.triangleCount), group.material);
    }
    const int triangleCount = world.TriangleCount();
    std::vector<int> ownerOf(static_cast<size_t>(triangleCount));
    std::vector<XRayTracer::Triangle> traced;
    for (int t = 0; t < triangleCount; ++t) {
        const std::array<int, 3>& corners = world.triangles[static_cast<size_t>(t)];
        const XVector3d a = ToDouble(world.positions[static_cast<size_t>(corners[0])]);
        const XVector3d b = ToDouble(world.positions[static_cast<size_t>(corners[1])]);
        const XVector3d c = ToDouble(world.positions[static_cast<size_t>(corners[2])]);
        ownerOf[static_cast<size_t>(t)] = cellOf((a + b + c) / 3.0);
        traced.push_back({a, b, c});
    }
    visibility.order.resize(static_cast<size_t>(triangleCount));
    for (int t = 0; t < triangleCount; ++t) {
        visibility.order[static_cast<size_t>(t)] = t;
    }
    std::stable_sort(visibility.order.begin(), visibility.order.end(), [&](int a, int b) {
        const int cellA = ownerOf[static_cast<size_t>(a)];
        const int cellB = ownerOf[static_cast<size_t>(b)];
        return cellA != cellB ? cellA < cellB : materialOf[static_cast<size_t>(a)] < materialOf[static_cast<size_t>(b)];
    });
    std::vector<std::vector<TargetPoint>> targets;
    for (int k = 0; k < triangleCount; ++k) {
        const int t = visibility.order[static_cast<size_t>(k)];
        const int cell = ownerOf[static_cast<size_t>(t)];
        const int material = materialOf[static_cast<size_t>(t)];
        if (visibility.owners.empty() || visibility.owners.back().cell != cell) {
            XOwnerCell owner;
            owner.cell = cell;
            owner.min = XVector3d(1e30, 1e30, 1e30);
            owner.max = XVector3d(-1e30, -1e30, -1e30);
            visibility.owners.push_back(owner);
            targets.emplace_back();
        }
        XOwnerCell& owner = visibility.owners.back();
        if (owner.runs.empty() || owner.runs.back().material != material) {
            owner.runs.push_back(XVisibilityRun{k, 0, material});
        }
        ++owner.runs.back().count;
        const XRayTracer::Triangle& tri = traced[static_cast<size_t>(t)];
        for (const XVector3d& p : {tri.p0, tri.p1, tri.p2}) {
            owner.min = XVector3d(std::min(owner.min.x, p.x), std::min(owner.min.y, p.y), std::min(owner.min.z, p.z));
            owner.max = XVector3d(std::max(owner.max.x, p.x), std::max(owner.max.y, p.y), std::max(owner.max.z, p.z));
        }
        LineRandom random(static_cast<uint64_t>(t) + 1);
        TargetPoints(tri.p0, tri.p1, tri.p2, random, targets.back());
    }

    // View cells: those holding the centre of a reachable space-grid cell.
    std::vector<bool> isView(static_cast<size_t>(visibility.nx) * visibility.ny * visibility.nz, false);
    grid.ForEachReachableCentre([&](const XVector3d& p) { isView[static_cast<size_t>(cellOf(p))] = true; });
    for (size_t cell = 0; cell < isView.size(); ++cell) {
        if (isView[cell]) {
            visibility.views.push_back(XViewCell{static_cast<int>(cell),
                                                 std::vector<uint8_t>((visibility.owners.size() + 7) / 8, 0)});
        }
    }

    std::vector<std::vector<XRayTracer::Triangle>> ownerTriangles(visibility.owners.size());
    for (size_t o = 0, k = 0; o < visibility.owners.size(); ++o) {
        for (const XVisibilityRun& run : visibility.owners[o].runs) {
            for (int i = 0; i < run.count; ++i, ++k) {
                ownerTriangles[o].push_back(traced[static_cast<size_t>(visibility.order[k])]);
            }
        }
    }
    const XRayTracer tracer(traced);
    const XOcclusionProof proof(solidCells, settings.occlusion);
    const int eyeStride = std::max(1, static_cast<int>(settings.eyeSpacing / XSpaceGrid::kCellSize + 0.5));
    const auto work = [&](size_t first, size_t step) {
        for (size_t v = first; v < visibility.views.size(); v += step) {
            XViewCell& view = visibility.views[v];
            const XVector3d cellLo = cellMin(view.cell);
            const XVector3d cellHi = cellLo + XVector3d(settings.cellSize, settings.cellSize, settings.cellSize);
            const XEyeRegion region(EyeRegion(grid, cellLo, cellHi));
            const XVector3d lo = cellLo - XVector3d(settings.margin, settings.margin, settings.margin);
            const XVector3d hi = cellHi + XVector3d(settings.margin, settings.margin, settings.margin);
            std::vector<XVector3d> eyes = grid.ReachableCentres(lo, hi, eyeStride);
            if (eyes.empty()) {
                eyes = grid.ReachableCentres(lo, hi, 1);
            }
            LineRandom random(static_cast<uint64_t>(view.cell) * 2654435761ull + 7);
            for (size_t o = 0; o < visibility.owners.size(); ++o) {
                const XOwnerCell& owner = visibility.owners[o];
                const std::vector<TargetPoint>& points = targets[o];
                if (region.Empty() || points.empty() ||
                    BoxDistance(region.bounds.min, region.bounds.max, owner.min, owner.max) > settings.reach) {
                    continue;
                }
                if (!settings.sampled) {
                    view.sees[o / 8] = static_cast<uint8_t>(view.sees[o / 8] | (1u << (o % 8)));
                    continue;
                }
                if (solidCells.SeparatesBoxes(region.bounds.min, region.bounds.max, owner.min, owner.max, kEndGap)) {
                    continue; // every line between them passes through a wall or a floor
                }
                // A clear line found among sampled ones shows the cell is seen; when none is found, the proof
                // decides (it never calls a seen cell hidden).
                bool seen = false;
                const size_t all = eyes.size() * points.size();
                const size_t tries = std::min(all, static_cast<size_t>(settings.maxPairs));
                const bool sampled = all > static_cast<size_t>(settings.maxPairs);
                for (size_t i = 0; i < tries && !seen; ++i) {
                    // Every pair when there are few; random pairs otherwise.
                    const size_t pair = sampled ? random.Below(all) : i;
                    const XVector3d& eye = eyes[pair % eyes.size()];
                    const TargetPoint& target = points[pair / eyes.size()];
                    if (Dot(eye - target.point, target.normal) <= 0.0) {
                        continue; // from behind its triangle: the line comes through the solid the face bounds
                    }
                    seen = !solidCells.CrossesSolid(eye, target.point, kEndGap) &&
                           !tracer.Blocked(eye, target.point, kEndGap);
                }
                if (seen || !proof.Hidden(region, ownerTriangles[o])) {
                    view.sees[o / 8] = static_cast<uint8_t>(view.sees[o / 8] | (1u << (o % 8)));
                }
            }
        }
    };
    const size_t threads = static_cast<size_t>(std::max(1, settings.threads));
    std::vector<std::thread> pool;
    for (size_t t = 1; t < threads; ++t) {
        pool.emplace_back(work, t, threads);
    }
    work(0, threads);
    for (std::thread& thread : pool) {
        thread.join();
    }
    return visibility;
}

bool XVisibilityBuilder::WriteFile(const std::string& path, const XVisibility& visibility)
{
    std::vector<unsigned char> bytes = {'K', 'V', 'I', 'S'};
    Append32(bytes, 3); // version
    AppendFloat(bytes, visibility.cellSize);
    AppendFloat(bytes, visibility.reach);
    AppendFloat(bytes, visibility.origin.x);
    AppendFloat(bytes, visibility.origin.y);
    AppendFloat(bytes, visibility.origin.z);
    Append32(bytes, static_cast<uint32_t>(visibility.nx));
    Append32(bytes, static_cast<uint32_t>(visibility.ny));
    Append32(bytes, static_cast<uint32_t>(visibility.nz));
    Append32(bytes, static_cast<uint32_t>(visibility.order.size()));
    for (const int t : visibility.order) {
        Append32(bytes, static_cast<uint32_t>(t));
    }
    Append32(bytes, static_cast<uint32_t>(visibility.owners.size()));
    for (const XOwnerCell& owner : visibility.owners) {
        Append32(bytes, static_cast<uint32_t>(owner.cell));
        // Widened a little, so that the box written as float still holds every triangle.
        const double pad = 0.01;
        for (const double v : {owner.min.x - pad, owner.min.y - pad, owner.min.z - pad, owner.max.x + pad,
                               owner.max.y + pad, owner.max.z + pad}) {
            AppendFloat(bytes, v);
        }
        Append32(bytes, static_cast<uint32_t>(owner.runs.size()));
        for (const XVisibilityRun& run : owner.runs) {
            Append32(bytes, static_cast<uint32_t>(run.first));
            Append32(bytes, static_cast<uint32_t>(run.count));
            Append32(bytes, static_cast<uint32_t>(run.material));
        }
    }
    Append32(bytes, static_cast<uint32_t>(visibility.views.size()));
    for (const XViewCell& view : visibility.views) {
        Append32(bytes, static_cast<uint32_t>(view.cell));
        bytes.insert(bytes.end(), view.sees.begin(), view.sees.end());
    }
    const XEyeSpace& space = visibility.eyeSpace;
    for (const double v : {space.origin.x, space.origin.y, space.origin.z, space.cellSize}) {
        AppendFloat(bytes, v);
    }
    for (const int count : {space.nx, space.ny, space.nz}) {
        Append32(bytes, static_cast<uint32_t>(count));
    }
    bytes.insert(bytes.end(), space.reachable.begin(), space.reachable.end());
    FILE* const file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
