// XColor3: a red, green, blue colour of three floats, as the scene file writes material and light colours.
// Depends on: nothing.
#pragma once

struct XColor3 {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;

    XColor3() = default;
    XColor3(float red, float green, float blue) : r(red), g(green), b(blue) {}
};
