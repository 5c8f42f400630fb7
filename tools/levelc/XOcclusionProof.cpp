// XOcclusionProof: one layer of solid cells across the bundle of lines, else cut the larger part and prove both.
// Depends on: XSolidCells.
#include "tools/levelc/XOcclusionProof.h"

#include <algorithm> // std::min, std::max
#include <utility>   // std::move

namespace {

// The longest side of a box and its axis.
double Longest(const XBox& box, int& axis)
{
    const XVector3d size = box.max - box.min;
    axis = size.x >= size.y ? (size.x >= size.z ? 0 : 2) : (size.y >= size.z ? 1 : 2);
    return Component(size, axis);
}

XBox EmptyBox()
{
    return XBox{XVector3d(1e300, 1e300, 1e300), XVector3d(-1e300, -1e300, -1e300)};
}

bool IsEmpty(const XBox& box)
{
    return box.min.x > box.max.x || box.min.y > box.max.y || box.min.z > box.max.z;
}

void Extend(XBox& box, const XVector3d& p)
{
    box.min = XVector3d(std::min(box.min.x, p.x), std::min(box.min.y, p.y), std::min(box.min.z, p.z));
    box.max = XVector3d(std::max(box.max.x, p.x), std::max(box.max.y, p.y), std::max(box.max.z, p.z));
}

// The part of a polygon on one side of the plane `axis` = value: below it (keepBelow) or above it.
std::vector<XVector3d> ClipPolygon(const std::vector<XVector3d>& polygon, int axis, double value, bool keepBelow)
{
    std::vector<XVector3d> kept;
    const auto inside = [&](const XVector3d& p) {
        return keepBelow ? Component(p, axis) <= value : Component(p, axis) >= value;
    };
    for (size_t i = 0; i < polygon.size(); ++i) {
        const XVector3d& a = polygon[i];
        const XVector3d& b = polygon[(i + 1) % polygon.size()];
        if (inside(a)) {
            kept.push_back(a);
        }
        if (inside(a) != inside(b)) {
            const double t = (value - Component(a, axis)) / (Component(b, axis) - Component(a, axis));
            XVector3d crossing = a + (b - a) * t;
            // Exactly on the plane, whatever rounding did to the other coordinates' computation.
            Component(crossing, axis) = value;
            kept.push_back(crossing);
        }
    }
    return kept;
}

} // namespace

XEyeRegion::XEyeRegion(std::vector<XBox> regionBoxes) : bounds(EmptyBox())
{
    for (const XBox& box : regionBoxes) {
        if (!IsEmpty(box)) {
            boxes.push_back(box);
            Extend(bounds, box.min);
            Extend(bounds, box.max);
        }
    }
}

XOcclusionProof::XOcclusionProof(const XSolidCells& solidCells, const XOcclusionLimits& proofLimits)
    : cells(solidCells), limits(proofLimits)
{
}

bool XOcclusionProof::Hidden(const XEyeRegion& eye, const std::vector<XRayTracer::Triangle>& triangles) const
{
    Target target;
    target.bounds = EmptyBox();
    for (const XRayTracer::Triangle& triangle : triangles) {
        target.polygons.push_back({triangle.p0, triangle.p1, triangle.p2});
        for (const XVector3d& p : target.polygons.back()) {
            Extend(target.bounds, p);
        }
    }
    if (eye.Empty() || target.polygons.empty()) {
        return true; // nowhere to look from, or nothing to see
    }
    int budget = limits.budget;
    return Prove(eye, target, budget);
}

bool XOcclusionProof::Prove(const XEyeRegion& eye, const Target& target, int& budget) const
{
    if (cells.SeparatesBoxes(eye.bounds.min, eye.bounds.max, target.bounds.min, target.bounds.max, limits.endGap)) {
        return true;
    }
    if (--budget <= 0) {
        return false;
    }
    int eyeAxis = 0;
    int targetAxis = 0;
    const double eyeSize = Longest(eye.bounds, eyeAxis);
    const double targetSize = Longest(target.bounds, targetAxis);
    if (std::max(eyeSize, targetSize) <= limits.smallestPart) {
        return false;
    }
    if (eyeSize >= targetSize) {
        const double middle = 0.5 * (Component(eye.bounds.min, eyeAxis) + Component(eye.bounds.max, eyeAxis));
        for (int side = 0; side < 2; ++side) {
            std::vector<XBox> pieces = eye.boxes;
            for (XBox& piece : pieces) {
                if (side == 0) {
                    Component(piece.max, eyeAxis) = std::min(Component(piece.max, eyeAxis), middle);
                } else {
                    Component(piece.min, eyeAxis) = std::max(Component(piece.min, eyeAxis), middle);
                }
            }
            const XEyeRegion half(std::move(pieces));
            if (!half.Empty() && !Prove(half, target, budget)) {
                return false;
            }
        }
        return true;
    }
    const double middle = 0.5 * (Component(target.bounds.min, targetAxis) + Component(target.bounds.max, targetAxis));
    for (int side = 0; side < 2; ++side) {
        Target half;
        half.bounds = EmptyBox();
        for (const std::vector<XVector3d>& polygon : target.polygons) {
            std::vector<XVector3d> piece = ClipPolygon(polygon, targetAxis, middle, side == 0);
            if (piece.empty()) {
                continue;
            }
            for (const XVector3d& p : piece) {
                Extend(half.bounds, p);
            }
            half.polygons.push_back(std::move(piece));
        }
        if (!half.polygons.empty() && !Prove(eye, half, budget)) {
            return false;
        }
    }
    return true;
}
