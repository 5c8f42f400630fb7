// XRenderer: draws the scene each frame, pass by pass — sky, world objects with base texture and light map,
// the lit weapon model, light flares, the additive spotlight, the octree and triangle displays, the effects
// (decals, explosion sprites and glow, projectiles), the crosshair, and over the finished picture the pause
// panel's menu picture and mouse cursor. Every pass sets the OpenGL state it needs itself.
// Depends on: scene (records, meshes), space (octrees, line-of-sight), XCamera, XTextureManager, XFont,
// XShaderManager, XTimer, OpenGL.
#pragma once

#include "math/XVector2.h"
#include "math/XVector3.h"
#include "render/XFlareVisibility.h"
#include "render/XVisibleWorld.h"
#include "shell/XInputListener.h" // XPoint

#include <cstddef> // size_t
#include <cstdint> // int32_t
#include <vector>

class XCamera;
class XMesh;
class XRenderOctNode;
class XScene;
class XSceneNode;

// One camera-facing square as a pass drew it: where, how large, and turned by how many degrees.
struct XSpriteRecord {
    XVector3 centre;
    float side = 0.0f;
    float rotation = 0.0f;
};

class XRenderer {
public:
    // The scene to draw (handed over at the end of the start-up); not owned.
    void SetScene(XScene* newScene);
    XScene* GetScene() const;
    // Room for the sight answers of `count` explosions at once, so that the explosion passes allocate nothing.
    void ReserveExplosions(size_t count);
    // 0 no triangle display, 1 the objects' triangles in red, 2 the collision octree's triangles in blue.
    void SetTriangleMode(int32_t mode);
    int32_t GetTriangleMode() const;
    // The world's visibility data (see XVisibleWorld): from then on the world and spotlight passes draw only
    // what the eye's cell sees. Data that does not fit the scene's world is dropped (false); so is any data
    // when the scene changes.
    bool SetVisibility(XVisibility visibility);
    // Whether the eye keeps to the space the player can reach (the default). An eye that flies through walls
    // may see from inside a solid what its cell does not, so the passes then draw the whole world.
    void SetEyeInPlayerSpace(bool inPlayerSpace) { eyeInPlayerSpace = inPlayerSpace; }
    // World triangles the latest world pass drew.
    int DrawnTriangles() const { return drawnTriangles; }

    // --- World passes, in frame order
    void Clear();
    void DrawSky(const XCamera& camera);
    void DrawWorld(XScene& scene);
    // The sky as DrawSky draws it before the world, drawn after an opaque world pass instead: the same pixels,
    // without texturing the sky that the world covers. Only for a world that IsWorldOpaque; the depth buffer
    // must hold the world pass's depths over the cleared far depth.
    void DrawSkyBehindWorld(const XCamera& camera);
    // Whether every group the world pass draws is opaque, so that nothing of the sky shows through it.
    bool IsWorldOpaque(const XScene& world) const;
    // The weapon model `object` placed at offsets (right, up, forward) from the camera's eye (one unit above its
    // position); the placement is stored as the node's frame. Drawn in front of every depth the world can have,
    // so the weapon is never hidden by the world, while the world's depths stay for the passes after it; lit
    // by the first five entries of the light table where they stand in the world.
    void DrawWeapon(XSceneNode& object, const XCamera& camera, const XVector3& placement);
    // A glow of side distance / 5 + 3 on every light of the table whose line to the eye is not blocked.
    void DrawFlares(XScene& scene, const XVector3& eye);
    // The world once more, added through the spot cube map around the view. The directions are measured from
    // `eye` in the camera's own frame (its yaw, pitch and right axis) and written through the world mesh's
    // render normals; viewDirection is implied by the camera and not read.
    void DrawSpotlight(const XCamera& camera, const XVector3& eye, const XVector3& viewDirection);
    void DrawOctreeCubes(const XRenderOctNode* node);

    // --- Effect passes, in frame order
    // Each removes what has expired from its list before drawing; the decals and the glow also age what they
    // draw by the frame time.
    void DrawDecals();
    // Each explosion whose centre the eye can see (no triangle of the world's collision tree between them) is
    // drawn whole, in front of the surface it hit; one hidden behind the world is not drawn.
    void DrawExplosionSprites(XScene& world, const XVector3& eye);
    void DrawExplosionGlow();
    // Sparks as points, rockets as two turning glow sprites each.
    void DrawProjectiles(const std::vector<XVector3>& sparks, const std::vector<XVector3>& rockets);

    // --- Over the 2D overlay
    void DrawCrosshair();
    // The pause panel's picture, centred on the first two components of menuPosition.
    void DrawMenu(const XVector3& menuPosition);
    // The mouse cursor at a position relative to the window centre, y up.
    void DrawCursor(XPoint mouse);

    // Every camera-facing square drawn from now on is appended to `log` (for tests and tools, without reading
    // pixels back); null stops the logging.
    void SetSpriteLog(std::vector<XSpriteRecord>* log);

private:
    // A wire cube compiled into a display list, one per edge length.
    struct XCubeList {
        float edge = 0.0f;
        uint32_t list = 0;
    };

    void DrawSkyDome(const XCamera& camera, bool behindWorld);
    void DrawObject(const XSceneNode& node);
    XVisibleWorld::Draw VisibleRunOfGroup(const XSceneNode& world, int part, int g);
    // Every part of the world through the visible runs nearest first, with the textures of each run's material;
    // for a world that is all opaque, where the order of the draws does not change the picture.
    void DrawWorldNearToFar();
    const std::vector<XSceneNode*>& WorldParts();
    // The node's part number in WorldParts(), -1 when it is no part of the world.
    int WorldPartOf(const XSceneNode& node);
    // The spotlight pass over one part of the world.
    void DrawSpotlightOn(XSceneNode& world, int part, const XCamera& camera, const XVector3& eye);
    void DrawOutlines(const uint16_t* firstIndex, int triangleCount) const;
    void DrawCollisionTriangles(const XScene& scene) const;
    void DrawLitObject(const XSceneNode& object) const;
    void SetWeaponLights() const;
    // Directions of the world's vertices seen from the eye in the camera's frame, written through the mesh's
    // render normals; returns the array written.
    const XVector3* ComputeSpotDirections(XMesh& mesh, const XCamera& camera, const XVector3& eye);
    // A square of side x side units centred on `centre`, facing the viewer, turned by `rotation` degrees.
    void DrawFacingSquare(const XVector3& centre, float side, float rotation);
    // The same square, not entered in the sprite log (a second draw of a logged one).
    void DrawFacingQuad(const XVector3& centre, float side, float rotation) const;
    // The part of a facing square inside `cutout` (corners in the square's coordinates, -1 to 1 across), logged
    // as the square.
    void DrawFacingCutout(const XVector3& centre, float side, const std::vector<XVector2>& cutout);
    // Pushes the matrix that puts a square drawn in its own x-y plane at `centre`, facing the viewer.
    void PushFacingFrame(const XVector3& centre, float rotation) const;
    // Reads the flare picture's lit part back once per texture.
    void PrepareFlareCutout();
    // Whether no triangle of the world lies between the eye and the explosion at `index` of the list.
    bool IsExplosionInSight(XScene& world, int index, const XVector3& centre, const XVector3& eye);
    void DrawCubeTree(const XRenderOctNode& node);
    uint32_t CubeList(float edge);

    XScene* scene = nullptr;
    int32_t triangleMode = 0;
    int32_t marker = 0;
    std::vector<XCubeList> cubeLists;
    std::vector<XVector3> spotDirections; // used only when the world mesh has no normals to write through
    std::vector<XSpriteRecord>* spriteLog = nullptr;
    XFlareVisibility flareVisibility; // the flare pass's blocking tests, kept while the eye stands still
    XFlareVisibility explosionVisibility; // the same for the explosions' centres
    unsigned int flareCutoutTexture = 0;  // the GL texture flareCutout was read from
    std::vector<XVector2> flareCutout;    // the flare picture's lit part, for squares its mipmaps do not shrink
    float flareCutoutPixels = 0.0f;       // the least size on screen, in pixels, that the cutout holds for
    XVisibleWorld visibleWorld;
    std::vector<XSceneNode*> unsetWorld; // WorldParts() of a scene that was not set up
    std::vector<std::vector<int>> firstGroupOf; // by world part, then material: its first group, or -1
    std::vector<int> groupsDrawn;               // by world part: the groups the world pass draws this frame
    bool eyeInPlayerSpace = true;
    int drawnTriangles = 0;
};

// The process-wide renderer, created on first use.
XRenderer* GetRenderer();
