// XLevelSource: a level as its source file describes it, ready for the compiler.
// Depends on: XSolid, XVector3d.
#pragma once

#include "math/XVector3d.h"
#include "tools/levelc/XSolid.h"

#include <string>
#include <vector>

struct XLevelMaterial {
    std::string name;
    std::string texture;       // file name inside the archive folder "scene"
    double unitsPerRepeat = 4.0;
    int line = 0;
};

struct XLevelLight {
    XVector3d position;
    XVector3d color;           // 0..1: the flare's and the weapon lighting's colour
    double radius = 20.0;      // distance at which its light has faded to nothing
    double intensity = 1.0;    // light-map brightness multiplier
    int line = 0;
};

struct XLevelSource {
    std::string fileName;
    std::string name = "untitled";
    double texelSize = 0.35;   // light-map texel edge, in units
    int pageSize = 1024;       // light-map page edge, in texels
    XVector3d ambient = XVector3d(0.08, 0.08, 0.09);
    XVector3d sky = XVector3d(0.0, 0.0, 0.0);     // light from the open sky
    bool hasSun = false;
    XVector3d sunDirection = XVector3d(0.0, -1.0, 0.0); // the way the sunlight travels
    XVector3d sunColor;
    double bounce = 0.0;       // share of the light bounced once off surfaces
    bool hasSpawn = false;
    XVector3d spawn;
    int spawnLine = 0;

    std::vector<XLevelMaterial> materials;
    std::vector<XSolid> solids;
    std::vector<XLevelLight> lights;
};
