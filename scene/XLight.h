// XLight: one point light of the level: where it stands and its colour.
// Depends on: XVector3, XColor3.
#pragma once

#include "math/XVector3.h"
#include "scene/XColor3.h"

class XLight {
public:
    void SetPosition(float x, float y, float z) { position = XVector3(x, y, z); }
    const XVector3& GetPosition() const { return position; }
    void SetColor(float r, float g, float b) { color = XColor3(r, g, b); }
    const XColor3& GetColor() const { return color; }

private:
    XVector3 position;
    XColor3 color;
};
