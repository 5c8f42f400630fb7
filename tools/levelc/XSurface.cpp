// XSurface: welding, T-junction repair, triangulation and chart grouping.
#include "tools/levelc/XSurface.h"

#include <algorithm> // sort, min, max
#include <cmath>     // floor, fabs
#include <cstdint>   // int64_t
#include <map>
#include <numeric>   // iota
#include <unordered_map>

namespace {

// Welds points within XSurface::kWeldDistance of each other, keeping the first one seen.
class Welder {
public:
    explicit Welder(std::vector<XVector3d>& target) : vertices(target) {}

    int Add(const XVector3d& p)
    {
        const int64_t kx = Key(p.x);
        const int64_t ky = Key(p.y);
        const int64_t kz = Key(p.z);
        for (int64_t dx = -1; dx <= 1; ++dx) {
            for (int64_t dy = -1; dy <= 1; ++dy) {
                for (int64_t dz = -1; dz <= 1; ++dz) {
                    const auto found = cells.find(Pack(kx + dx, ky + dy, kz + dz));
                    if (found == cells.end()) {
                        continue;
                    }
                    for (const int index : found->second) {
                        if ((vertices[static_cast<size_t>(index)] - p).Length() < XSurface::kWeldDistance) {
                            return index;
                        }
                    }
                }
            }
        }
        const int index = static_cast<int>(vertices.size());
        vertices.push_back(p);
        cells[Pack(kx, ky, kz)].push_back(index);
        return index;
    }

private:
    static int64_t Key(double v) { return static_cast<int64_t>(std::floor(v / 0.001)); }
    static int64_t Pack(int64_t x, int64_t y, int64_t z)
    {
        return ((x & 0x1FFFFF) << 42) | ((y & 0x1FFFFF) << 21) | (z & 0x1FFFFF);
    }

    std::vector<XVector3d>& vertices;
    std::unordered_map<int64_t, std::vector<int>> cells;
};

// A coarse grid of vertex numbers, for finding the vertices near an edge.
class VertexGrid {
public:
    static constexpr double kCell = 2.0;

    explicit VertexGrid(const std::vector<XVector3d>& points) : vertices(points)
    {
        for (size_t i = 0; i < points.size(); ++i) {
            cells[Pack(Key(points[i].x), Key(points[i].y), Key(points[i].z))].push_back(static_cast<int>(i));
        }
    }

    // Vertices other than a and b that lie on the open segment a-b, ordered from a to b.
    std::vector<int> OnSegment(int a, int b) const
    {
        const XVector3d& pa = vertices[static_cast<size_t>(a)];
        const XVector3d& pb = vertices[static_cast<size_t>(b)];
        const XVector3d d = pb - pa;
        const double length = d.Length();
        std::vector<std::pair<double, int>> found;
        const int64_t x0 = Key(std::min(pa.x, pb.x)) - 1;
        const int64_t x1 = Key(std::max(pa.x, pb.x)) + 1;
        const int64_t y0 = Key(std::min(pa.y, pb.y)) - 1;
        const int64_t y1 = Key(std::max(pa.y, pb.y)) + 1;
        const int64_t z0 = Key(std::min(pa.z, pb.z)) - 1;
        const int64_t z1 = Key(std::max(pa.z, pb.z)) + 1;
        for (int64_t x = x0; x <= x1; ++x) {
            for (int64_t y = y0; y <= y1; ++y) {
                for (int64_t z = z0; z <= z1; ++z) {
                    const auto cell = cells.find(Pack(x, y, z));
                    if (cell == cells.end()) {
                        continue;
                    }
                    for (const int v : cell->second) {
                        if (v == a || v == b) {
                            continue;
                        }
                        const XVector3d& p = vertices[static_cast<size_t>(v)];
                        const double t = Dot(p - pa, d) / (length * length);
                        if (t * length <= XSurface::kWeldDistance || (1.0 - t) * length <= XSurface::kWeldDistance) {
                            continue;
                        }
                        const XVector3d closest = pa + d * t;
                        if ((p - closest).Length() < XSurface::kWeldDistance * 2.0) {
                            found.emplace_back(t, v);
                        }
                    }
                }
            }
        }
        std::sort(found.begin(), found.end());
        std::vector<int> result;
        for (const auto& f : found) {
            result.push_back(f.second);
        }
        return result;
    }

private:
    static int64_t Key(double v) { return static_cast<int64_t>(std::floor(v / kCell)); }
    static int64_t Pack(int64_t x, int64_t y, int64_t z)
    {
        return ((x & 0x1FFFFF) << 42) | ((y & 0x1FFFFF) << 21) | (z & 0x1FFFFF);
    }

    const std::vector<XVector3d>& vertices;
    std::unordered_map<int64_t, std::vector<int>> cells;
};

double TwiceArea(const XVector3d& a, const XVector3d& b, const XVector3d& c, const XVector3d& normal)
{
    return Dot(Cross(b - a, c - b), normal);
}

// The smallest angle of a triangle, as its cosine's complement (larger is better shaped).
double Quality(const XVector3d& a, const XVector3d& b, const XVector3d& c)
{
    const XVector3d pts[3] = {a, b, c};
    double worst = 2.0;
    for (int i = 0; i < 3; ++i) {
        const XVector3d u = pts[(i + 1) % 3] - pts[i];
        const XVector3d v = pts[(i + 2) % 3] - pts[i];
        const double cosine = Dot(u, v) / (u.Length() * v.Length());
        worst = std::min(worst, 1.0 - cosine);
    }
    return worst;
}

// True when p lies inside the triangle a-b-c or within XSurface::kWeldDistance of it.
bool Touches(const XVector3d& p, const XVector3d& a, const XVector3d& b, const XVector3d& c, const XVector3d& normal)
{
    const XVector3d corners[3] = {a, b, c};
    for (int e = 0; e < 3; ++e) {
        const XVector3d edge = corners[(e + 1) % 3] - corners[e];
        if (TwiceArea(corners[e], corners[(e + 1) % 3], p, normal) < -XSurface::kWeldDistance * edge.Length()) {
            return false;
        }
    }
    return true;
}

// True when no other corner of the ring touches the ear cut off at ring position i. An ear whose new side
// runs through a corner would put a T-junction inside the polygon, and the rasteriser cracks there.
bool IsClean(const std::vector<int>& ring, size_t i, const std::vector<XVector3d>& vertices, const XVector3d& normal)
{
    const size_t n = ring.size();
    const XVector3d& a = vertices[static_cast<size_t>(ring[(i + n - 1) % n])];
    const XVector3d& b = vertices[static_cast<size_t>(ring[i])];
    const XVector3d& c = vertices[static_cast<size_t>(ring[(i + 1) % n])];
    for (size_t k = 2; k + 1 < n; ++k) {
        if (Touches(vertices[static_cast<size_t>(ring[(i + k) % n])], a, b, c, normal)) {
            return false;
        }
    }
    return true;
}

// Cuts a convex polygon whose corners may include points on its edges into triangles of positive area,
// clipping the best-shaped clean ear each time (or the best-shaped ear, if none is clean).
std::vector<std::array<int, 3>> Triangulate(const std::vector<int>& corners, const std::vector<XVector3d>& vertices,
                                            const XVector3d& normal)
{
    std::vector<int> ring = corners;
    std::vector<std::array<int, 3>> triangles;
    while (ring.size() > 3) {
        const size_t n = ring.size();
        double bestQuality = -1.0;
        bool bestIsClean = false;
        size_t best = n;
        for (size_t i = 0; i < n; ++i) {
            const XVector3d& a = vertices[static_cast<size_t>(ring[(i + n - 1) % n])];
            const XVector3d& b = vertices[static_cast<size_t>(ring[i])];
            const XVector3d& c = vertices[static_cast<size_t>(ring[(i + 1) % n])];
            if (TwiceArea(a, b, c, normal) <= 1e-9) {
                continue;
            }
            const double q = Quality(a, b, c);
            if (bestIsClean && q <= bestQuality + 1e-12) {
                continue;
            }
            const bool clean = IsClean(ring, i, vertices, normal);
            if ((clean && !bestIsClean) || (clean == bestIsClean && q > bestQuality + 1e-12)) {
                bestQuality = q;
                bestIsClean = clean;
                best = i;
            }
        }
        if (best == n) {
            return triangles; // nothing with area is left
        }
        triangles.push_back({ring[(best + n - 1) % n], ring[best], ring[(best + 1) % n]});
        ring.erase(ring.begin() + static_cast<long>(best));
    }
    if (TwiceArea(vertices[static_cast<size_t>(ring[0])], vertices[static_cast<size_t>(ring[1])],
                  vertices[static_cast<size_t>(ring[2])], normal) > 1e-9) {
        triangles.push_back({ring[0], ring[1], ring[2]});
    }
    return triangles;
}

int FindRoot(std::vector<int>& parent, int i)
{
    while (parent[static_cast<size_t>(i)] != i) {
        parent[static_cast<size_t>(i)] = parent[static_cast<size_t>(parent[static_cast<size_t>(i)])];
        i = parent[static_cast<size_t>(i)];
    }
    return i;
}

bool SamePlane(const XPlaneD& a, const XPlaneD& b)
{
    return Dot(a.normal, b.normal) > 1.0 - 1e-9 && std::fabs(a.distance - b.distance) < 1e-4;
}

} // namespace

XSurface XSurface::Build(const std::vector<XFragment>& fragments)
{
    XSurface surface;
    Welder welder(surface.vertices);
    for (const XFragment& fragment : fragments) {
        XSurfacePolygon polygon;
        for (const XVector3d& p : fragment.polygon.Points()) {
            const int index = welder.Add(p);
            if (polygon.corners.empty() || polygon.corners.back() != index) {
                polygon.corners.push_back(index);
            }
        }
        while (polygon.corners.size() > 1 && polygon.corners.front() == polygon.corners.back()) {
            polygon.corners.pop_back();
        }
        if (polygon.corners.size() < 3) {
            continue;
        }
        polygon.plane = fragment.plane;
        polygon.material = fragment.material;
        polygon.sourceLine = fragment.sourceLine;
        surface.polygons.push_back(polygon);
    }

    // T-junctions: every vertex lying on an edge becomes a corner of that edge.
    const VertexGrid grid(surface.vertices);
    for (XSurfacePolygon& polygon : surface.polygons) {
        std::vector<int> corners;
        const size_t n = polygon.corners.size();
        for (size_t i = 0; i < n; ++i) {
            const int a = polygon.corners[i];
            const int b = polygon.corners[(i + 1) % n];
            corners.push_back(a);
            for (const int v : grid.OnSegment(a, b)) {
                corners.push_back(v);
            }
        }
        polygon.corners = corners;
        polygon.triangles = Triangulate(polygon.corners, surface.vertices, polygon.plane.normal);
    }

    // Charts: coplanar polygons that share a vertex.
    const int count = static_cast<int>(surface.polygons.size());
    std::vector<int> parent(static_cast<size_t>(count));
    std::iota(parent.begin(), parent.end(), 0);
    std::map<int, std::vector<int>> polygonsOfVertex;
    for (int p = 0; p < count; ++p) {
        for (const int v : surface.polygons[static_cast<size_t>(p)].corners) {
            polygonsOfVertex[v].push_back(p);
        }
    }
    for (const auto& entry : polygonsOfVertex) {
        const std::vector<int>& list = entry.second;
        for (size_t i = 0; i < list.size(); ++i) {
            for (size_t j = i + 1; j < list.size(); ++j) {
                const XSurfacePolygon& a = surface.polygons[static_cast<size_t>(list[i])];
                const XSurfacePolygon& b = surface.polygons[static_cast<size_t>(list[j])];
                if (SamePlane(a.plane, b.plane)) {
                    const int ra = FindRoot(parent, list[i]);
                    const int rb = FindRoot(parent, list[j]);
                    if (ra != rb) {
                        parent[static_cast<size_t>(std::max(ra, rb))] = std::min(ra, rb);
                    }
                }
            }
        }
    }
    std::map<int, int> chartOfRoot;
    for (int p = 0; p < count; ++p) {
        const int root = FindRoot(parent, p);
        const auto found = chartOfRoot.find(root);
        int chart = 0;
        if (found == chartOfRoot.end()) {
            chart = static_cast<int>(chartOfRoot.size());
            chartOfRoot[root] = chart;
        } else {
            chart = found->second;
        }
        surface.polygons[static_cast<size_t>(p)].chart = chart;
    }
    surface.chartCount = static_cast<int>(chartOfRoot.size());
    return surface;
}
