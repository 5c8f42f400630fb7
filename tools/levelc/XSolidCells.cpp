// XSolidCells: marking the solid cells, summing open cells by layer, and the two blocking proofs.
//
// File index: construction; queries.
#include "tools/levelc/XSolidCells.h"

#include <algorithm> // min, max
#include <cmath>     // floor, ceil, fabs

namespace {

const double kCell = XSpaceGrid::kCellSize;
// Footprints are widened by this much, so that a line through the boundary of two cells counts both.
const double kFootprintMargin = 1e-7;
// A line must run this far inside a solid cell for CrossesSolid to count it.
const double kInsideLength = 1e-6;

// The two axes other than `axis`, in the order x, y, z.
void OtherAxes(int axis, int& first, int& second)
{
    first = axis == 0 ? 1 : 0;
    second = axis == 2 ? 1 : 2;
}

} // namespace

// ------------------------------------------------------------------------------------------------ construction

XSolidCells::XSolidCells(const std::vector<XSolid>& solids, const XSpaceGrid& grid)
{
    const XVector3d min = grid.Min();
    origin[0] = min.x;
    origin[1] = min.y;
    origin[2] = min.z;
    count[0] = grid.CountX();
    count[1] = grid.CountY();
    count[2] = grid.CountZ();
    solid.assign(static_cast<size_t>(count[0]) * count[1] * count[2], 0);
    for (const XSolid& s : solids) {
        int lo[3];
        int hi[3];
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::max(0, static_cast<int>(std::floor((Component(s.Min(), a) - origin[a]) / kCell)));
            hi[a] = std::min(count[a] - 1, static_cast<int>(std::ceil((Component(s.Max(), a) - origin[a]) / kCell)) - 1);
        }
        for (int z = lo[2]; z <= hi[2]; ++z) {
            for (int y = lo[1]; y <= hi[1]; ++y) {
                for (int x = lo[0]; x <= hi[0]; ++x) {
                    uint8_t& cell = solid[Index(x, y, z)];
                    if (cell != 0) {
                        continue;
                    }
                    // A convex solid holds the cell when it holds the cell's eight corners (on its faces counts).
                    bool inside = true;
                    for (int corner = 0; corner < 8 && inside; ++corner) {
                        const XVector3d p(origin[0] + (x + (corner & 1)) * kCell,
                                          origin[1] + (y + ((corner >> 1) & 1)) * kCell,
                                          origin[2] + (z + ((corner >> 2) & 1)) * kCell);
                        inside = s.Contains(p, -1e-9);
                    }
                    if (inside) {
                        cell = 1;
                        ++solidCount;
                    }
                }
            }
        }
    }
    // A layer's sums cover only the rectangle around its solid cells: a rectangle of cells that is solid at its
    // four corners lies inside it, and no other is ever summed (see LayerBlocks). In a large open level most
    // layers cross only a floor or two.
    for (int axis = 0; axis < 3; ++axis) {
        int first = 0;
        int second = 0;
        OtherAxes(axis, first, second);
        std::vector<LayerSums>& layers = layerSums[axis];
        layers.assign(static_cast<size_t>(count[axis]), LayerSums{});
        std::vector<int32_t>& sums = openSums[axis];
        sums.clear();
        int cell[3] = {0, 0, 0};
        for (int layer = 0; layer < count[axis]; ++layer) {
            cell[axis] = layer;
            int u0 = count[first];
            int u1 = -1;
            int v0 = count[second];
            int v1 = -1;
            for (int v = 0; v < count[second]; ++v) {
                cell[second] = v;
                for (int u = 0; u < count[first]; ++u) {
                    cell[first] = u;
                    if (solid[Index(cell[0], cell[1], cell[2])] != 0) {
                        u0 = std::min(u0, u);
                        u1 = std::max(u1, u);
                        v0 = std::min(v0, v);
                        v1 = std::max(v1, v);
                    }
                }
            }
            if (u1 < 0) {
                continue; // no solid cell: nothing to sum
            }
            LayerSums& sumsOfLayer = layers[static_cast<size_t>(layer)];
            sumsOfLayer.u0 = u0;
            sumsOfLayer.v0 = v0;
            sumsOfLayer.width = u1 - u0 + 2;
            sumsOfLayer.offset = sums.size();
            const size_t width = static_cast<size_t>(sumsOfLayer.width);
            sums.resize(sums.size() + width * static_cast<size_t>(v1 - v0 + 2), 0);
            int32_t* table = sums.data() + sumsOfLayer.offset;
            for (int v = v0; v <= v1; ++v) {
                cell[second] = v;
                for (int u = u0; u <= u1; ++u) {
                    cell[first] = u;
                    const int32_t open = solid[Index(cell[0], cell[1], cell[2])] != 0 ? 0 : 1;
                    const size_t here = static_cast<size_t>(v - v0 + 1) * width + static_cast<size_t>(u - u0 + 1);
                    table[here] = open + table[here - 1] + table[here - width] - table[here - width - 1];
                }
            }
        }
    }
}

// ------------------------------------------------------------------------------------------------ queries

bool XSolidCells::Solid(int x, int y, int z) const
{
    if (x < 0 || y < 0 || z < 0 || x >= count[0] || y >= count[1] || z >= count[2]) {
        return false;
    }
    return solid[Index(x, y, z)] != 0;
}

int32_t XSolidCells::OpenCells(int axis, int layer, int u0, int u1, int v0, int v1) const
{
    const LayerSums& sums = layerSums[axis][static_cast<size_t>(layer)];
    const size_t width = static_cast<size_t>(sums.width);
    const int32_t* table = openSums[axis].data() + sums.offset;
    const auto at = [&](int u, int v) {
        return table[static_cast<size_t>(v - sums.v0) * width + static_cast<size_t>(u - sums.u0)];
    };
    return at(u1 + 1, v1 + 1) - at(u0, v1 + 1) - at(u1 + 1, v0) + at(u0, v0);
}

bool XSolidCells::LayerBlocks(int axis, int layer, const double lowMin[3], const double lowMax[3],
                              const double highMin[3], const double highMax[3]) const
{
    // Every line from the low box to the high box crosses the layer's middle plane at a share t of its way
    // between tMin and tMax; there each other coordinate lies between the values below.
    const double middle = origin[axis] + (layer + 0.5) * kCell;
    const double tMin = (middle - lowMax[axis]) / (highMax[axis] - lowMax[axis]);
    const double tMax = (middle - lowMin[axis]) / (highMin[axis] - lowMin[axis]);
    int first = 0;
    int second = 0;
    OtherAxes(axis, first, second);
    int range[2][2] = {{0, 0}, {0, 0}};
    const int others[2] = {first, second};
    for (int k = 0; k < 2; ++k) {
        const int b = others[k];
        const double lo = std::min((1.0 - tMin) * lowMin[b] + tMin * highMin[b], (1.0 - tMax) * lowMin[b] + tMax * highMin[b]);
        const double hi = std::max((1.0 - tMin) * lowMax[b] + tMin * highMax[b], (1.0 - tMax) * lowMax[b] + tMax * highMax[b]);
        range[k][0] = static_cast<int>(std::floor((lo - kFootprintMargin - origin[b]) / kCell));
        range[k][1] = static_cast<int>(std::floor((hi + kFootprintMargin - origin[b]) / kCell));
        if (range[k][0] < 0 || range[k][1] >= count[b]) {
            return false; // part of the footprint lies outside the grid, where nothing is solid
        }
    }
    // The footprint's corner cells first: one of them open settles it without the sums' larger table.
    int cell[3] = {0, 0, 0};
    cell[axis] = layer;
    for (int corner = 0; corner < 4; ++corner) {
        cell[first] = range[0][corner & 1];
        cell[second] = range[1][corner >> 1];
        if (solid[Index(cell[0], cell[1], cell[2])] == 0) {
            return false;
        }
    }
    return OpenCells(axis, layer, range[0][0], range[0][1], range[1][0], range[1][1]) == 0;
}

bool XSolidCells::SeparatesBoxes(const XVector3d& aMin, const XVector3d& aMax, const XVector3d& bMin,
                                 const XVector3d& bMax, double endGap) const
{
    const double boxes[4][3] = {{aMin.x, aMin.y, aMin.z}, {aMax.x, aMax.y, aMax.z}, {bMin.x, bMin.y, bMin.z},
                                {bMax.x, bMax.y, bMax.z}};
    for (int axis = 0; axis < 3; ++axis) {
        int low = 0; // the box below the other along this axis: 0 for a, 2 for b
        if (boxes[1][axis] < boxes[2][axis]) {
            low = 0;
        } else if (boxes[3][axis] < boxes[0][axis]) {
            low = 2;
        } else {
            continue;
        }
        const int high = 2 - low;
        const double* lowMin = boxes[low];
        const double* lowMax = boxes[low + 1];
        const double* highMin = boxes[high];
        const double* highMax = boxes[high + 1];
        // Layers whose middle plane lies between the boxes, farther than endGap from both (along the axis, so
        // also along every line).
        const int first = std::max(
            0, static_cast<int>(std::floor((lowMax[axis] + endGap - origin[axis]) / kCell - 0.5)) + 1);
        const int last = std::min(
            count[axis] - 1, static_cast<int>(std::ceil((highMin[axis] - endGap - origin[axis]) / kCell - 0.5)) - 1);
        // The line between the boxes' centres crosses every layer inside the footprint of the bundle there; most
        // layers are open where it crosses them, which one look at a cell settles before the sums are asked.
        int others[2] = {0, 0};
        OtherAxes(axis, others[0], others[1]);
        double from[3];
        double to[3];
        for (int a = 0; a < 3; ++a) {
            from[a] = 0.5 * (lowMin[a] + lowMax[a]);
            to[a] = 0.5 * (highMin[a] + highMax[a]);
        }
        // Where it crosses a layer's middle plane, in cells along the two other axes: start + layer * slope.
        double start[2];
        double slope[2];
        for (int k = 0; k < 2; ++k) {
            const int b = others[k];
            const double perUnit = (to[b] - from[b]) / (to[axis] - from[axis]);
            start[k] = (from[b] + (origin[axis] + 0.5 * kCell - from[axis]) * perUnit - origin[b]) / kCell;
            slope[k] = perUnit;
        }
        int cell[3] = {0, 0, 0};
        for (int layer = first; layer <= last; ++layer) {
            cell[axis] = layer;
            bool open = false;
            for (int k = 0; k < 2; ++k) {
                const double at = start[k] + layer * slope[k];
                // Outside the grid (nothing solid there), or the cell index it falls in.
                open = open || !(at >= 0.0 && at < count[others[k]]);
                cell[others[k]] = open ? 0 : static_cast<int>(at);
            }
            if (open || solid[Index(cell[0], cell[1], cell[2])] == 0) {
                continue;
            }
            if (LayerBlocks(axis, layer, lowMin, lowMax, highMin, highMax)) {
                return true;
            }
        }
    }
    return false;
}

bool XSolidCells::CrossesSolid(const XVector3d& from, const XVector3d& to, double endGap) const
{
    const double p[3] = {from.x, from.y, from.z};
    const double d[3] = {to.x - from.x, to.y - from.y, to.z - from.z};
    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (!(length > 2.0 * endGap)) {
        return false;
    }
    // Clip the line to its part away from the ends, and that to the grid's box.
    double t0 = endGap / length;
    double t1 = 1.0 - endGap / length;
    for (int a = 0; a < 3; ++a) {
        const double lo = origin[a];
        const double hi = origin[a] + count[a] * kCell;
        if (std::fabs(d[a]) < 1e-300) {
            if (p[a] < lo || p[a] > hi) {
                return false;
            }
            continue;
        }
        double near = (lo - p[a]) / d[a];
        double far = (hi - p[a]) / d[a];
        if (near > far) {
            std::swap(near, far);
        }
        t0 = std::max(t0, near);
        t1 = std::min(t1, far);
    }
    if (t0 >= t1) {
        return false;
    }
    // Walk the cells along the line (Amanatides and Woo), from the cell where the clipped line starts.
    int cell[3];
    int step[3];
    double next[3];
    double delta[3];
    for (int a = 0; a < 3; ++a) {
        const double start = p[a] + d[a] * t0;
        cell[a] = std::min(count[a] - 1, std::max(0, static_cast<int>(std::floor((start - origin[a]) / kCell))));
        if (d[a] > 0.0) {
            step[a] = 1;
            next[a] = (origin[a] + (cell[a] + 1) * kCell - p[a]) / d[a];
            delta[a] = kCell / d[a];
        } else if (d[a] < 0.0) {
            step[a] = -1;
            next[a] = (origin[a] + cell[a] * kCell - p[a]) / d[a];
            delta[a] = -kCell / d[a];
        } else {
            step[a] = 0;
            next[a] = 1e300;
            delta[a] = 1e300;
        }
    }
    double enter = t0;
    while (enter < t1) {
        const int axis = next[0] < next[1] ? (next[0] < next[2] ? 0 : 2) : (next[1] < next[2] ? 1 : 2);
        const double leave = std::min(next[axis], t1);
        if (solid[Index(cell[0], cell[1], cell[2])] != 0 && (leave - enter) * length > kInsideLength) {
            return true;
        }
        enter = next[axis];
        cell[axis] += step[axis];
        next[axis] += delta[axis];
        if (cell[axis] < 0 || cell[axis] >= count[axis]) {
            break;
        }
    }
    return false;
}
