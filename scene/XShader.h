// XShader: one material record of the shader manager, filled from the scene file's material list.
// Depends on: XColor3.
#pragma once

#include "scene/XColor3.h"

struct XShader {
    int texture0 = -1; // scene texture number for texture unit 0; -1 for none
    int texture1 = -1; // scene texture number for texture unit 1 (the light map); -1 for none
    XColor3 colors[4];
    float opacity = 1.0f; // 1 - the file's transparency value
    float param = 0.0f;   // the material's other scalar; nothing draws with it
    bool hasTexture2 = false;
    bool hasTexture3 = false;
    bool hasBoth = false;
};
