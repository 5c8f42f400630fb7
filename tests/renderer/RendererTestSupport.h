// Shared setup of the renderer tests: a GL context, the special textures loaded from an archive of small
// synthetic pictures whose colours tell the slots apart, solid-colour scene textures, meshes made of
// camera-facing quads, a camera at the origin, and pixel read-back helpers.
#pragma once

#include "math/XVector3.h"
#include "render/XCamera.h"
#include "render/XRenderer.h"
#include "render/XTextureManager.h"
#include "scene/XMaterialGroup.h"
#include "scene/XScene.h"
#include "space/XOctTree.h"
#include "support/GLTestContext.h"

#include <cstdint> // uint8_t, int32_t
#include <memory>
#include <string>
#include <vector>

// Colours of the synthetic special pictures.
struct RGB {
    int r = 0;
    int g = 0;
    int b = 0;
};
// Plain colours the tests paint and look for.
const RGB kBlack = {0, 0, 0};
const RGB kWhite = {255, 255, 255};
const RGB kRed = {255, 0, 0};
const RGB kGreen = {0, 255, 0};
const RGB kBlue = {0, 0, 255};
const RGB kDecalColor = {255, 255, 255};        // slot 1, opaque
const RGB kScorchColor = {255, 255, 0};         // slot 2, opaque
const RGB kMenuTopColor = {255, 0, 0};          // slot 3: the first 256 rows of the picture
const RGB kMenuBottomColor = {0, 0, 255};       //         the other 256
const RGB kCursorTopColor = {0, 255, 0};        // slot 5: the first 16 rows
const RGB kCursorBottomColor = {255, 0, 255};   //         the other 16
// Explosion frame file n (1 to 8, slot 8 + n) is filled with this colour.
RGB ExplosionFileColor(int n);
// The spot picture: white inside a disc of this radius (in texels of its 16) around its centre, black outside.
const int kSpotPictureSize = 16;
const float kSpotDiscRadius = 3.0f;

// A quad facing a viewer who looks along +z from a point of smaller z: centre (x, y) at depth z, half-size h.
// Its corners run counter-clockwise on screen (the viewer's right is -x), texture corner (0, 0) bottom left.
struct Quad {
    float x = 0.0f;
    float y = 0.0f;
    float z = 10.0f;
    float half = 1.0f;
};

// A mesh of the quads, two triangles each (corners 0-1-2, 0-2-3), normals towards the viewer, both coordinate
// sets (0, 0) .. (1, 1).
std::unique_ptr<XMesh> QuadMesh(const std::vector<Quad>& quads);

// Appends a node to the scene and returns it.
XSceneNode* AddNode(XScene& scene, const std::string& name, std::unique_ptr<XMesh> mesh,
                    const std::vector<XMaterialGroup>& groups);

// A 2D texture of the given RGB pixels (first row at t = 0), filtered with `filter`.
std::unique_ptr<XTexture> MakeTexture(int width, int height, const std::vector<uint8_t>& rgb, GLenum filter);
std::unique_ptr<XTexture> SolidTexture(const RGB& color);

// Replaces the scene texture table by solid textures of these colours.
void SetSceneColors(const std::vector<RGB>& colors);

// Replaces the material table; one record per entry, (texture0, texture1, opacity).
struct MaterialSpec {
    int texture0 = 0;
    int texture1 = 1;
    float opacity = 1.0f;
};
void SetMaterials(const std::vector<MaterialSpec>& materials);

// The game clock: `now` milliseconds of game time, the last frame `frameTime` long.
void SetClock(int32_t now, float frameTime);

// Pixel helpers (x from the left, y from the bottom of the 800 x 600 picture).
RGBPixel Pixel(int x, int y);
// Whether the pixel is within `tolerance` of the colour in every channel.
bool PixelIs(const RGBPixel& pixel, const RGB& color, int tolerance);
::testing::AssertionResult PixelNear(int x, int y, const RGB& color, int tolerance);
// How many pixels of the row (or column) have a channel above `threshold`.
int LitPixelsInRow(int y, int threshold);
int LitPixelsInColumn(int x, int threshold);
// How many pixels of the block (x0, y0, width, height) have a channel above `threshold`.
int LitPixelsInBlock(int x0, int y0, int width, int height, int threshold);
// How many pixels of the block are the colour within the tolerance.
int PixelsOfColorInBlock(int x0, int y0, int width, int height, const RGB& color, int tolerance);
// Whether some pixel of the block satisfies the colour within the tolerance.
bool BlockHasColor(int x0, int y0, int width, int height, const RGB& color, int tolerance);

// The contents of the log file written so far.
std::string LogFileText();

// Fixture of every renderer test: fresh tables, lists and clock, a black clear colour, the camera at the origin
// looking along +z with the eye at the given height (default 0), a renderer of its own.
class RendererTest : public GLContextTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Camera at `position` with the angles; Apply with the eye `eyeHeight` above it.
    void PlaceCamera(const XVector3& position, float yaw, float pitch, float eyeHeight);

    // Sets the scene up (octrees over its "world" node, sorted special nodes, shared render arrays).
    void SetUpScene();

    XRenderer renderer;
    XCamera camera;
    XScene scene;
    std::unique_ptr<XOctTree> octree; // the scene's, which the scene does not delete
};
