// XSoftRenderer: draws a loaded scene into a picture the way the engine's world pass does, in software.
//
// The sky dome first (moved with the eye, no depth test), then every object whose materials have a base
// texture and a light map, each pixel the product of the two (bilinear, with mipmaps chosen per pixel),
// with back faces culled: a face wound the wrong way shows as a hole, which is what this is for. The
// camera follows the engine's: yaw 0 looks along +z, yaw 90 along +x, 60 degrees field of view vertically,
// near plane 0.1, far plane 200. The map view draws the upward-facing triangles from straight above.
// Depends on: XScene, XSceneNode, XMesh, XShaderManager, stb_image.
#pragma once

#include "math/XVector2.h"
#include "math/XVector3.h"

#include <string>
#include <vector>

class XScene;
class XSceneNode;

class XSoftRenderer {
public:
    struct Texture {
        int width = 0;
        int height = 0;
        std::vector<std::vector<float>> levels; // RGB floats, row 0 at t = 0; each level half the last
        bool Empty() const { return levels.empty(); }
    };

    XSoftRenderer(int pictureWidth, int pictureHeight);

    // Loads the scene texture rows (files inside the folder, row r from fileNames[r]); missing ones stay empty.
    void LoadTextures(const std::string& folder, const std::vector<std::string>& fileNames);

    // A perspective view from eye with yaw and pitch in degrees (pitch > 0 looks up).
    void DrawView(const XScene& scene, const XVector3& eye, float yaw, float pitch);

    // The level's upward-facing triangles seen from straight above: +z up the picture, +x to the left (as a
    // player looking along +z sees it), the highest floor winning.
    void DrawMap(const XScene& scene, float minX, float maxX, float minZ, float maxZ);

    // Marks a point of the map with a small square of the given colour.
    void MarkMap(float x, float z, float r, float g, float b, int size);

    bool WritePng(const std::string& path) const;

    // Share of the picture's pixels that no triangle covered (holes show magenta).
    double UncoveredShare() const;

private:
    // The map's triangles of one mesh of the world.
    void DrawMapOf(const XSceneNode& node);

    struct Corner {
        XVector3 camera; // camera-space position: x right, y up, z forward
        XVector2 a;
        XVector2 b;
    };
    // A corner on the picture: pixel position, 1/w for perspective-correct interpolation, a depth key
    // (larger wins) and the two texture coordinate pairs.
    struct ScreenCorner {
        float x = 0.0f;
        float y = 0.0f;
        float invW = 1.0f;
        float depthKey = 0.0f;
        XVector2 a;
        XVector2 b;
    };

    void DrawTriangle(const Corner* corners, const Texture* base, const Texture* light, bool depthTest);
    void Rasterise(const ScreenCorner& c0, const ScreenCorner& c1, const ScreenCorner& c2, const Texture* base,
                   const Texture* light, bool depthTest);
    static void Sample(const Texture& texture, float s, float t, float footprint, float out[3]);

    int width = 0;
    int height = 0;
    float focal = 0.0f;
    std::vector<float> color;
    std::vector<float> depth; // depth keys, larger is nearer
    std::vector<unsigned char> covered;
    std::vector<Texture> textures;
    // The map's projection.
    float mapMinX = 0.0f;
    float mapMaxX = 0.0f;
    float mapMinZ = 0.0f;
    float mapMaxZ = 0.0f;
};
