// XSceneObject: one object of the compiled scene file, with equal-length vertex arrays.
//
// Every corner of every triangle uses the same index into all four arrays, so the engine's loader makes
// exactly one mesh vertex per entry. Triangles are sorted by material: group g covers the triangles after
// those of groups 0 .. g - 1.
// Depends on: XVector2, XVector3.
#pragma once

#include "math/XVector2.h"
#include "math/XVector3.h"

#include <array>
#include <string>
#include <vector>

struct XSceneGroup {
    int material = 0;
    int triangleCount = 0;
};

struct XSceneObject {
    std::string name;
    std::vector<XVector3> positions;
    std::vector<XVector3> normals;
    std::vector<XVector2> uv0;    // the file's first set (light map on world objects, base texture on models)
    std::vector<XVector2> uv1;    // the file's second set (base texture on world objects)
    std::vector<std::array<int, 3>> triangles;
    std::vector<XSceneGroup> groups;

    int VertexCount() const { return static_cast<int>(positions.size()); }
    int TriangleCount() const { return static_cast<int>(triangles.size()); }
};

// A material record of the scene file.
struct XSceneMaterial {
    std::string name;
    int texture0 = -1; // base texture, row of the texture table
    int texture1 = -1; // light map, or -1
};

// A row of the scene file's texture table.
struct XSceneTexture {
    std::string type;     // a word for the reader: "diffuse" or "lightmap"
    int width = 0;
    int height = 0;
    std::string name;     // a word naming it
    std::string fileName; // inside the archive folder "scene"
};

struct XSceneLight {
    XVector3 position;
    XVector3 color;
};

// Everything the scene file holds.
struct XSceneFile {
    std::vector<XSceneMaterial> materials;
    std::vector<XSceneObject> objects;
    std::vector<XSceneTexture> textures;
    std::vector<XSceneLight> lights;
};
