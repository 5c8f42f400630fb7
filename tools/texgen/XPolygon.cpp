// XPolygon: even-odd inside test and distance to the nearest edge.
#include "tools/texgen/XPolygon.h"

#include <algorithm> // std::clamp, std::min
#include <cmath>     // std::sqrt
#include <utility>   // std::move

XPolygon::XPolygon(std::vector<Point> points_) : points(std::move(points_))
{
}

bool XPolygon::Contains(float x, float y) const
{
    bool inside = false;
    const size_t count = points.size();
    for (size_t i = 0, j = count - 1; i < count; j = i++) {
        const Point& a = points[i];
        const Point& b = points[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

float XPolygon::SignedDistance(float x, float y) const
{
    if (points.size() < 3) {
        return 1.0e9f;
    }
    float nearest = 1.0e9f;
    const size_t count = points.size();
    for (size_t i = 0, j = count - 1; i < count; j = i++) {
        const Point& a = points[j];
        const Point& b = points[i];
        const float ex = b.x - a.x;
        const float ey = b.y - a.y;
        const float lengthSquared = ex * ex + ey * ey;
        const float t = lengthSquared > 0.0f ? std::clamp(((x - a.x) * ex + (y - a.y) * ey) / lengthSquared, 0.0f, 1.0f) : 0.0f;
        const float dx = x - (a.x + ex * t);
        const float dy = y - (a.y + ey * t);
        nearest = std::min(nearest, std::sqrt(dx * dx + dy * dy));
    }
    return Contains(x, y) ? -nearest : nearest;
}
