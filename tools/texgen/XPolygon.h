// XPolygon: a closed polygon with a signed distance, for drawing crisp anti-aliased shapes (the cursor).
// Depends on: nothing.
#pragma once

#include <vector>

class XPolygon {
public:
    struct Point {
        float x = 0.0f;
        float y = 0.0f;
    };

    explicit XPolygon(std::vector<Point> points);

    // Distance from (x, y) to the outline: negative inside, positive outside.
    float SignedDistance(float x, float y) const;

private:
    bool Contains(float x, float y) const;

    std::vector<Point> points;
};
