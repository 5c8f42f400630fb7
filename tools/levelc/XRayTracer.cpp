// XRayTracer: hierarchy build and traversal.
#include "tools/levelc/XRayTracer.h"

#include <algorithm> // nth_element, min, max
#include <cmath>     // fabs

namespace {

const int kLeafSize = 4;

double Axis(const XVector3d& v, int axis)
{
    return axis == 0 ? v.x : (axis == 1 ? v.y : v.z);
}

} // namespace

XRayTracer::XRayTracer(std::vector<Triangle> list) : triangles(std::move(list))
{
    const int count = static_cast<int>(triangles.size());
    order.resize(static_cast<size_t>(count));
    std::vector<XVector3d> centroids(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        order[static_cast<size_t>(i)] = i;
        const Triangle& t = triangles[static_cast<size_t>(i)];
        centroids[static_cast<size_t>(i)] = (t.p0 + t.p1 + t.p2) / 3.0;
    }
    if (count > 0) {
        nodes.reserve(static_cast<size_t>(count) * 2);
        BuildNode(0, count, centroids);
    }
    prepared.reserve(order.size());
    for (const int t : order) {
        const Triangle& tri = triangles[static_cast<size_t>(t)];
        prepared.push_back(Prepared{tri.p0, tri.p1 - tri.p0, tri.p2 - tri.p0});
    }
}

int XRayTracer::BuildNode(int first, int count, std::vector<XVector3d>& centroids)
{
    const int index = static_cast<int>(nodes.size());
    nodes.emplace_back();
    Node node;
    for (int a = 0; a < 3; ++a) {
        node.min[a] = 1e30;
        node.max[a] = -1e30;
    }
    double cmin[3] = {1e30, 1e30, 1e30};
    double cmax[3] = {-1e30, -1e30, -1e30};
    for (int i = first; i < first + count; ++i) {
        const int t = order[static_cast<size_t>(i)];
        const Triangle& tri = triangles[static_cast<size_t>(t)];
        for (const XVector3d* p : {&tri.p0, &tri.p1, &tri.p2}) {
            for (int a = 0; a < 3; ++a) {
                node.min[a] = std::min(node.min[a], Axis(*p, a));
                node.max[a] = std::max(node.max[a], Axis(*p, a));
            }
        }
        for (int a = 0; a < 3; ++a) {
            cmin[a] = std::min(cmin[a], Axis(centroids[static_cast<size_t>(t)], a));
            cmax[a] = std::max(cmax[a], Axis(centroids[static_cast<size_t>(t)], a));
        }
    }
    if (count <= kLeafSize) {
        node.first = first;
        node.count = count;
        nodes[static_cast<size_t>(index)] = node;
        return index;
    }
    int axis = 0;
    for (int a = 1; a < 3; ++a) {
        if (cmax[a] - cmin[a] > cmax[axis] - cmin[axis]) {
            axis = a;
        }
    }
    const int half = count / 2;
    // Ties are broken by triangle number, so the split never depends on the library's sort.
    std::nth_element(order.begin() + first, order.begin() + first + half, order.begin() + first + count,
                     [&](int a, int b) {
                         const double ca = Axis(centroids[static_cast<size_t>(a)], axis);
                         const double cb = Axis(centroids[static_cast<size_t>(b)], axis);
                         return ca < cb || (ca == cb && a < b);
                     });
    BuildNode(first, half, centroids);
    const int right = BuildNode(first + half, count - half, centroids);
    node.first = right;
    node.count = 0;
    nodes[static_cast<size_t>(index)] = node;
    return index;
}

template <bool anyHit>
bool XRayTracer::Trace(const XVector3d& origin, const XVector3d& direction, double minDistance, double maxDistance,
                       XRayHit& hit) const
{
    if (nodes.empty()) {
        return false;
    }
    const double o[3] = {origin.x, origin.y, origin.z};
    const double d[3] = {direction.x, direction.y, direction.z};
    double inverse[3];
    for (int a = 0; a < 3; ++a) {
        inverse[a] = std::fabs(d[a]) > 1e-300 ? 1.0 / d[a] : (d[a] >= 0.0 ? 1e300 : -1e300);
    }
    double best = maxDistance;
    bool found = false;
    int stack[128];
    int top = 0;
    stack[top++] = 0;
    while (top > 0) {
        const Node& node = nodes[static_cast<size_t>(stack[--top])];
        double t0 = minDistance;
        double t1 = best;
        bool miss = false;
        for (int a = 0; a < 3 && !miss; ++a) {
            double near = (node.min[a] - o[a]) * inverse[a];
            double far = (node.max[a] - o[a]) * inverse[a];
            if (near > far) {
                std::swap(near, far);
            }
            t0 = std::max(t0, near);
            t1 = std::min(t1, far * 1.0000001 + 1e-9);
            miss = t0 > t1;
        }
        if (miss) {
            continue;
        }
        if (node.count > 0) {
            for (int i = node.first; i < node.first + node.count; ++i) {
                const Prepared& tri = prepared[static_cast<size_t>(i)];
                const XVector3d& e1 = tri.e1;
                const XVector3d& e2 = tri.e2;
                const XVector3d p = Cross(direction, e2);
                const double det = Dot(e1, p);
                if (std::fabs(det) < 1e-12) {
                    continue;
                }
                const double invDet = 1.0 / det;
                const XVector3d s = origin - tri.p0;
                const double u = Dot(s, p) * invDet;
                if (u < 0.0 || u > 1.0) {
                    continue;
                }
                const XVector3d q = Cross(s, e1);
                const double v = Dot(direction, q) * invDet;
                if (v < 0.0 || u + v > 1.0) {
                    continue;
                }
                const double distance = Dot(e2, q) * invDet;
                if (distance < minDistance || distance >= best) {
                    continue;
                }
                found = true;
                if (anyHit) {
                    return true;
                }
                best = distance;
                hit.distance = distance;
                hit.triangle = order[static_cast<size_t>(i)];
                hit.u = u;
                hit.v = v;
            }
        } else {
            // Visit the nearer child first (pushed last).
            const int leftIndex = static_cast<int>(&node - nodes.data()) + 1;
            const int rightIndex = node.first;
            const Node& l = nodes[static_cast<size_t>(leftIndex)];
            const Node& r = nodes[static_cast<size_t>(rightIndex)];
            double lc = 0.0;
            double rc = 0.0;
            for (int a = 0; a < 3; ++a) {
                lc += (l.min[a] + l.max[a]) * d[a];
                rc += (r.min[a] + r.max[a]) * d[a];
            }
            if (top + 2 > 128) {
                continue;
            }
            if (lc < rc) {
                stack[top++] = rightIndex;
                stack[top++] = leftIndex;
            } else {
                stack[top++] = leftIndex;
                stack[top++] = rightIndex;
            }
        }
    }
    return found;
}

bool XRayTracer::Blocked(const XVector3d& from, const XVector3d& to, double startGap) const
{
    const XVector3d delta = to - from;
    const double length = delta.Length();
    if (length <= 2.0 * startGap) {
        return false;
    }
    XRayHit ignored;
    return Trace<true>(from, delta / length, startGap, length - startGap, ignored);
}

bool XRayTracer::Nearest(const XVector3d& origin, const XVector3d& direction, double minDistance, double maxDistance,
                         XRayHit& hit) const
{
    return Trace<false>(origin, direction, minDistance, maxDistance, hit);
}
