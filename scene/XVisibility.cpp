// XVisibility: reading and checking the visibility file, and the eye's view cell.
// Depends on: XVector3.
#include "scene/XVisibility.h"

#include <algorithm> // max, min
#include <cmath>     // fabs, floor, isfinite
#include <cstring>   // memcpy
#include <limits>    // numeric_limits

namespace {

// Reads little-endian values off the file's bytes and remembers the first shortfall.
class ByteReader {
public:
    ByteReader(const unsigned char* data, size_t size) : bytes(data), length(size) {}

    bool Has(size_t count) const { return length - offset >= count; }
    uint32_t Word()
    {
        if (!Has(4)) {
            failed = true;
            return 0;
        }
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value |= static_cast<uint32_t>(bytes[offset + static_cast<size_t>(i)]) << (8 * i);
        }
        offset += 4;
        return value;
    }
    float Float()
    {
        const uint32_t bits = Word();
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof(value));
        return value;
    }
    const unsigned char* Take(size_t count)
    {
        if (!Has(count)) {
            failed = true;
            return nullptr;
        }
        const unsigned char* const start = bytes + offset;
        offset += count;
        return start;
    }
    bool Failed() const { return failed; }
    bool AtEnd() const { return offset == length; }

private:
    const unsigned char* bytes;
    size_t length;
    size_t offset = 0;
    bool failed = false;
};

// Material numbers of runs stay below the scene file's limit of materials.
const int32_t kMaxMaterials = 10000;
// The most cells a grid may have: far more than a level within the camera's reach needs.
const uint32_t kMaxCells = 1u << 24;
// The most cells of the fine grid of the reachable space (32 MiB of bits).
const uint64_t kMaxSpaceCells = 1ull << 28;

} // namespace

void XVisibility::Clear()
{
    cellSize = 0.0f;
    reach = 0.0f;
    origin = XVector3();
    nx = ny = nz = 0;
    order.clear();
    owners.clear();
    viewCellOf.clear();
    seen.clear();
    rowBytes = 0;
    viewCount = 0;
    spaceOrigin = XVector3();
    spaceCell = 0.0f;
    sx = sy = sz = 0;
    reachable.clear();
}

bool XVisibility::Load(const unsigned char* bytes, size_t size, int worldTriangles, std::string& problem)
{
    Clear();
    const auto refuse = [&](const std::string& why) {
        Clear();
        problem = why;
        return false;
    };
    ByteReader in(bytes, size);
    const unsigned char* const magic = in.Take(4);
    if (magic == nullptr || std::memcmp(magic, "KVIS", 4) != 0) {
        return refuse("not a visibility file");
    }
    const uint32_t version = in.Word();
    if (version < 1 || version > 3) {
        return refuse("unknown version");
    }
    cellSize = in.Float();
    // Version 1 files do not say how far they looked; they are trusted as far as the view goes.
    reach = version >= 2 ? in.Float() : std::numeric_limits<float>::infinity();
    origin.x = in.Float();
    origin.y = in.Float();
    origin.z = in.Float();
    const uint32_t cellsX = in.Word();
    const uint32_t cellsY = in.Word();
    const uint32_t cellsZ = in.Word();
    if (in.Failed() || !(cellSize > 0.0f) || !std::isfinite(cellSize) || !(reach > 0.0f) || !std::isfinite(origin.x) ||
        !std::isfinite(origin.y) || !std::isfinite(origin.z) || cellsX == 0 || cellsY == 0 || cellsZ == 0 ||
        cellsX > kMaxCells || cellsY > kMaxCells || cellsZ > kMaxCells ||
        static_cast<uint64_t>(cellsX) * cellsY * cellsZ > kMaxCells) {
        return refuse("a bad grid");
    }
    nx = static_cast<int32_t>(cellsX);
    ny = static_cast<int32_t>(cellsY);
    nz = static_cast<int32_t>(cellsZ);
    const uint32_t cellCount = cellsX * cellsY * cellsZ;

    const uint32_t triangles = in.Word();
    if (in.Failed() || worldTriangles < 0 || triangles != static_cast<uint32_t>(worldTriangles)) {
        return refuse("made for a world of another triangle count");
    }
    if (!in.Has(static_cast<size_t>(triangles) * 4)) {
        return refuse("the file ends early");
    }
    std::vector<uint8_t> used(triangles, 0);
    order.reserve(triangles);
    for (uint32_t k = 0; k < triangles; ++k) {
        const uint32_t t = in.Word();
        if (t >= triangles || used[t] != 0) {
            return refuse("the drawing order is not one of the world's triangles each");
        }
        used[t] = 1;
        order.push_back(static_cast<int32_t>(t));
    }

    const uint32_t ownerCount = in.Word();
    if (in.Failed() || ownerCount > triangles || ownerCount > cellCount) {
        return refuse("a bad number of cells with triangles");
    }
    uint32_t covered = 0;
    owners.reserve(ownerCount);
    for (uint32_t o = 0; o < ownerCount; ++o) {
        OwnerCell owner;
        const uint32_t cell = in.Word();
        owner.min.x = in.Float();
        owner.min.y = in.Float();
        owner.min.z = in.Float();
        owner.max.x = in.Float();
        owner.max.y = in.Float();
        owner.max.z = in.Float();
        const uint32_t runCount = in.Word();
        if (in.Failed() || cell >= cellCount || runCount == 0 || runCount > triangles || !in.Has(runCount * 12ull)) {
            return refuse("a bad cell with triangles");
        }
        for (uint32_t r = 0; r < runCount; ++r) {
            Run run;
            const uint32_t first = in.Word();
            const uint32_t count = in.Word();
            run.material = static_cast<int32_t>(in.Word());
            // The runs follow each other through the whole drawing order.
            if (first != covered || count == 0 || count > triangles - covered || run.material < 0 ||
                run.material >= kMaxMaterials) {
                return refuse("a run outside the drawing order");
            }
            run.first = static_cast<int32_t>(first);
            run.count = static_cast<int32_t>(count);
            covered += count;
            owner.runs.push_back(run);
        }
        owners.push_back(owner);
    }
    if (covered != triangles) {
        return refuse("the runs do not cover the drawing order");
    }

    const uint32_t views = in.Word();
    rowBytes = (static_cast<size_t>(ownerCount) + 7) / 8;
    if (in.Failed() || views > cellCount || !in.Has(static_cast<size_t>(views) * (4 + rowBytes))) {
        return refuse("a bad number of view cells");
    }
    viewCellOf.assign(cellCount, -1);
    seen.reserve(static_cast<size_t>(views) * rowBytes);
    for (uint32_t v = 0; v < views; ++v) {
        const uint32_t cell = in.Word();
        if (cell >= cellCount || viewCellOf[cell] != -1) {
            return refuse("a bad view cell");
        }
        viewCellOf[cell] = static_cast<int32_t>(v);
        const unsigned char* const row = in.Take(rowBytes);
        seen.insert(seen.end(), row, row + rowBytes);
    }
    if (version >= 3) {
        spaceOrigin.x = in.Float();
        spaceOrigin.y = in.Float();
        spaceOrigin.z = in.Float();
        spaceCell = in.Float();
        const uint32_t spaceX = in.Word();
        const uint32_t spaceY = in.Word();
        const uint32_t spaceZ = in.Word();
        const uint64_t spaceCells = static_cast<uint64_t>(spaceX) * spaceY * spaceZ;
        if (in.Failed() || !std::isfinite(spaceOrigin.x) || !std::isfinite(spaceOrigin.y) ||
            !std::isfinite(spaceOrigin.z) || !(spaceCell > 0.0f) || !std::isfinite(spaceCell) || spaceX == 0 ||
            spaceY == 0 || spaceZ == 0 || spaceX > kMaxSpaceCells || spaceY > kMaxSpaceCells ||
            spaceZ > kMaxSpaceCells || spaceCells > kMaxSpaceCells) {
            return refuse("a bad grid of the reachable space");
        }
        const unsigned char* const bits = in.Take(static_cast<size_t>((spaceCells + 7) / 8));
        if (bits == nullptr) {
            return refuse("the file ends early");
        }
        sx = static_cast<int32_t>(spaceX);
        sy = static_cast<int32_t>(spaceY);
        sz = static_cast<int32_t>(spaceZ);
        reachable.assign(bits, bits + (spaceCells + 7) / 8);
    }
    if (!in.AtEnd()) {
        return refuse("bytes after the end");
    }
    viewCount = static_cast<int>(views);
    return true;
}

int XVisibility::ViewCellAt(const XVector3& point) const
{
    if (viewCellOf.empty()) {
        return -1;
    }
    const float fx = std::floor((point.x - origin.x) / cellSize);
    const float fy = std::floor((point.y - origin.y) / cellSize);
    const float fz = std::floor((point.z - origin.z) / cellSize);
    if (!(fx >= 0.0f && fy >= 0.0f && fz >= 0.0f && fx < nx && fy < ny && fz < nz)) {
        return -1;
    }
    const size_t cell = (static_cast<size_t>(fz) * static_cast<size_t>(ny) + static_cast<size_t>(fy)) * static_cast<size_t>(nx) +
                        static_cast<size_t>(fx);
    return viewCellOf[cell];
}

bool XVisibility::EyeMayBeAt(const XVector3& point) const
{
    if (reachable.empty()) {
        return true;
    }
    // The compiler proved the sets for eyes within one cell of a reachable cell: within 1.5 cells of its centre
    // on every axis. A hundredth of a unit less leaves the file's float rounding on the safe side.
    const float limit = 1.5f * spaceCell - 0.01f;
    const float fx = std::floor((point.x - spaceOrigin.x) / spaceCell);
    const float fy = std::floor((point.y - spaceOrigin.y) / spaceCell);
    const float fz = std::floor((point.z - spaceOrigin.z) / spaceCell);
    if (!(fx >= -1.0f && fy >= -1.0f && fz >= -1.0f && fx <= static_cast<float>(sx) && fy <= static_cast<float>(sy) &&
          fz <= static_cast<float>(sz))) {
        return false;
    }
    const int x = static_cast<int>(fx);
    const int y = static_cast<int>(fy);
    const int z = static_cast<int>(fz);
    for (int az = std::max(0, z - 1); az <= std::min(sz - 1, z + 1); ++az) {
        for (int ay = std::max(0, y - 1); ay <= std::min(sy - 1, y + 1); ++ay) {
            for (int ax = std::max(0, x - 1); ax <= std::min(sx - 1, x + 1); ++ax) {
                const size_t cell =
                    (static_cast<size_t>(az) * static_cast<size_t>(sy) + static_cast<size_t>(ay)) * static_cast<size_t>(sx) +
                    static_cast<size_t>(ax);
                if (((reachable[cell / 8] >> (cell % 8)) & 1) == 0) {
                    continue;
                }
                const XVector3 centre(spaceOrigin.x + (static_cast<float>(ax) + 0.5f) * spaceCell,
                                      spaceOrigin.y + (static_cast<float>(ay) + 0.5f) * spaceCell,
                                      spaceOrigin.z + (static_cast<float>(az) + 0.5f) * spaceCell);
                if (std::fabs(point.x - centre.x) <= limit && std::fabs(point.y - centre.y) <= limit &&
                    std::fabs(point.z - centre.z) <= limit) {
                    return true;
                }
            }
        }
    }
    return false;
}
