// XVector2: a pair of floats, used for texture coordinates.
// Depends on: nothing.
#pragma once

struct XVector2 {
    float x = 0.0f;
    float y = 0.0f;

    XVector2() = default;
    XVector2(float xValue, float yValue) : x(xValue), y(yValue) {}
};
