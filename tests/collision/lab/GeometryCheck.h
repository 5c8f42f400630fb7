// GeometryCheck: an independent judge of where a collision query left a body. It answers how near a point is to
// a level's triangles and whether a straight path crosses one, in the stretched space of the player's collision
// (world times the scale, where the body is a sphere of radius 10). It works in double precision over a uniform
// grid of the level's whole triangles, written apart from the engine's code so that it cannot share its faults.
#pragma once

#include "math/XVector3.h"
#include "math/XVector3d.h"

#include <cstdint>
#include <vector>

class GeometryCheck {
public:
    struct Triangle {
        XVector3d a;
        XVector3d b;
        XVector3d c;
        XVector3d normal; // unit, from the winding
        XVector3d min;
        XVector3d max;
    };

    // The triangles are given in world space; the check works on them multiplied by scale.
    GeometryCheck(const std::vector<XVector3>& worldCorners, const XVector3& scale);

    const XVector3& Scale() const { return scale; }
    // The point in the checked space.
    XVector3d Scaled(const XVector3& world) const;

    // The distance from the point (checked space) to the nearest triangle, or `limit` when none is nearer.
    double Clearance(const XVector3d& point, double limit) const;
    // Whether the straight path from a to b (checked space) passes through a triangle (either side).
    bool Crosses(const XVector3d& a, const XVector3d& b) const;

    const std::vector<Triangle>& Triangles() const { return triangles; }

private:
    template <typename Visit>
    void ForCells(const XVector3d& lo, const XVector3d& hi, Visit&& visit) const;
    int CellIndex(int x, int y, int z) const { return (z * cells[1] + y) * cells[0] + x; }

    XVector3 scale;
    std::vector<Triangle> triangles;
    XVector3d origin;
    double cellSize = 20.0;
    int cells[3] = {1, 1, 1};
    std::vector<std::vector<int32_t>> grid;
    mutable std::vector<uint32_t> marks;
    mutable uint32_t mark = 0;
};

// The distance from p to the triangle (its face, edges and corners), worked out as the distance to the face's
// plane when p lies over the face, else to the nearest of the three edges.
double DistanceToTriangle(const XVector3d& p, const GeometryCheck::Triangle& t);
