// GeometryCheck: point-to-triangle distances and path crossings over a uniform grid.
#include "GeometryCheck.h"

#include <algorithm>
#include <cmath>

namespace {

double Clamp01(double v)
{
    return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

double DistanceToSegment(const XVector3d& p, const XVector3d& a, const XVector3d& b)
{
    const XVector3d ab = b - a;
    const double length2 = Dot(ab, ab);
    const double t = length2 > 0.0 ? Clamp01(Dot(p - a, ab) / length2) : 0.0;
    return (a + ab * t - p).Length();
}

XVector3d Min(const XVector3d& a, const XVector3d& b)
{
    return XVector3d(std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z));
}

XVector3d Max(const XVector3d& a, const XVector3d& b)
{
    return XVector3d(std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z));
}

bool BoxesMeet(const XVector3d& aMin, const XVector3d& aMax, const XVector3d& bMin, const XVector3d& bMax)
{
    return aMin.x <= bMax.x && bMin.x <= aMax.x && aMin.y <= bMax.y && bMin.y <= aMax.y && aMin.z <= bMax.z &&
           bMin.z <= aMax.z;
}

// Whether the point of the triangle's plane lies over the face, by the signs of the three sub-areas.
bool OverFace(const XVector3d& q, const GeometryCheck::Triangle& t)
{
    const double s0 = Dot(Cross(t.b - t.a, q - t.a), t.normal);
    const double s1 = Dot(Cross(t.c - t.b, q - t.b), t.normal);
    const double s2 = Dot(Cross(t.a - t.c, q - t.c), t.normal);
    return (s0 >= 0.0 && s1 >= 0.0 && s2 >= 0.0) || (s0 <= 0.0 && s1 <= 0.0 && s2 <= 0.0);
}

} // namespace

double DistanceToTriangle(const XVector3d& p, const GeometryCheck::Triangle& t)
{
    const double height = Dot(p - t.a, t.normal);
    if (std::isfinite(height) && OverFace(p - t.normal * height, t)) {
        return std::fabs(height);
    }
    return std::min(DistanceToSegment(p, t.a, t.b), std::min(DistanceToSegment(p, t.b, t.c), DistanceToSegment(p, t.c, t.a)));
}

GeometryCheck::GeometryCheck(const std::vector<XVector3>& worldCorners, const XVector3& checkScale)
    : scale(checkScale)
{
    XVector3d lo(1e30, 1e30, 1e30);
    XVector3d hi(-1e30, -1e30, -1e30);
    for (size_t i = 0; i + 2 < worldCorners.size(); i += 3) {
        Triangle t;
        t.a = Scaled(worldCorners[i]);
        t.b = Scaled(worldCorners[i + 1]);
        t.c = Scaled(worldCorners[i + 2]);
        const XVector3d cross = Cross(t.b - t.a, t.c - t.a);
        const double length = cross.Length();
        t.normal = length > 0.0 ? cross / length : XVector3d(0.0, 0.0, 0.0);
        t.min = Min(Min(t.a, t.b), t.c);
        t.max = Max(Max(t.a, t.b), t.c);
        lo = Min(lo, t.min);
        hi = Max(hi, t.max);
        triangles.push_back(t);
    }
    if (triangles.empty()) {
        return;
    }
    origin = lo;
    for (int axis = 0; axis < 3; ++axis) {
        const double extent = axis == 0 ? hi.x - lo.x : (axis == 1 ? hi.y - lo.y : hi.z - lo.z);
        cells[axis] = std::max(1, std::min(256, static_cast<int>(extent / cellSize) + 1));
    }
    grid.resize(static_cast<size_t>(cells[0]) * cells[1] * cells[2]);
    for (size_t i = 0; i < triangles.size(); ++i) {
        ForCells(triangles[i].min, triangles[i].max, [&](int cell) { grid[static_cast<size_t>(cell)].push_back(static_cast<int32_t>(i)); });
    }
    marks.assign(triangles.size(), 0u);
}

XVector3d GeometryCheck::Scaled(const XVector3& world) const
{
    return XVector3d(static_cast<double>(world.x) * scale.x, static_cast<double>(world.y) * scale.y,
                     static_cast<double>(world.z) * scale.z);
}

template <typename Visit>
void GeometryCheck::ForCells(const XVector3d& lo, const XVector3d& hi, Visit&& visit) const
{
    int from[3];
    int to[3];
    const double los[3] = {lo.x - origin.x, lo.y - origin.y, lo.z - origin.z};
    const double his[3] = {hi.x - origin.x, hi.y - origin.y, hi.z - origin.z};
    for (int axis = 0; axis < 3; ++axis) {
        from[axis] = std::max(0, std::min(cells[axis] - 1, static_cast<int>(std::floor(los[axis] / cellSize))));
        to[axis] = std::max(0, std::min(cells[axis] - 1, static_cast<int>(std::floor(his[axis] / cellSize))));
        if (his[axis] < 0.0 || los[axis] > cells[axis] * cellSize) {
            return; // wholly outside the grid, where no triangle lies
        }
    }
    for (int z = from[2]; z <= to[2]; ++z) {
        for (int y = from[1]; y <= to[1]; ++y) {
            for (int x = from[0]; x <= to[0]; ++x) {
                visit(CellIndex(x, y, z));
            }
        }
    }
}

double GeometryCheck::Clearance(const XVector3d& p, double limit) const
{
    double best = limit;
    if (triangles.empty()) {
        return best;
    }
    if (++mark == 0) {
        std::fill(marks.begin(), marks.end(), 0u);
        mark = 1;
    }
    const XVector3d reach(limit, limit, limit);
    ForCells(p - reach, p + reach, [&](int cell) {
        for (const int32_t i : grid[static_cast<size_t>(cell)]) {
            if (marks[static_cast<size_t>(i)] == mark) {
                continue;
            }
            marks[static_cast<size_t>(i)] = mark;
            const Triangle& t = triangles[static_cast<size_t>(i)];
            if (BoxesMeet(t.min, t.max, p - reach, p + reach)) {
                best = std::min(best, DistanceToTriangle(p, t));
            }
        }
    });
    return best;
}

bool GeometryCheck::Crosses(const XVector3d& a, const XVector3d& b) const
{
    if (triangles.empty()) {
        return false;
    }
    if (++mark == 0) {
        std::fill(marks.begin(), marks.end(), 0u);
        mark = 1;
    }
    const XVector3d lo = Min(a, b);
    const XVector3d hi = Max(a, b);
    const XVector3d direction = b - a;
    bool crosses = false;
    ForCells(lo, hi, [&](int cell) {
        if (crosses) {
            return;
        }
        for (const int32_t i : grid[static_cast<size_t>(cell)]) {
            if (marks[static_cast<size_t>(i)] == mark) {
                continue;
            }
            marks[static_cast<size_t>(i)] = mark;
            const Triangle& t = triangles[static_cast<size_t>(i)];
            if (!BoxesMeet(t.min, t.max, lo, hi)) {
                continue;
            }
            // Moller-Trumbore: the path a + direction * s, 0 <= s <= 1, against the triangle's inside.
            const XVector3d e1 = t.b - t.a;
            const XVector3d e2 = t.c - t.a;
            const XVector3d pv = Cross(direction, e2);
            const double determinant = Dot(e1, pv);
            if (std::fabs(determinant) < 1e-300) {
                continue;
            }
            const XVector3d tv = a - t.a;
            const double u = Dot(tv, pv) / determinant;
            const XVector3d qv = Cross(tv, e1);
            const double v = Dot(direction, qv) / determinant;
            const double s = Dot(e2, qv) / determinant;
            if (u >= 0.0 && v >= 0.0 && u + v <= 1.0 && s >= 0.0 && s <= 1.0) {
                crosses = true;
                return;
            }
        }
    });
    return crosses;
}
