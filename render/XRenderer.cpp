// XRenderer: the frame's draw passes — world (clear, sky, objects, weapon, flares, spotlight, debug displays),
// effects (decals, explosions, projectiles) and the 2D pieces over the overlay (crosshair, menu, cursor).
//
// File index: local helpers; scene and modes; world passes; object drawing; weapon; flares and sprites;
// spotlight; octree display; effect passes; 2D passes; the singleton.
//
// Each pass sets every piece of OpenGL state it relies on, so passes can be reordered or skipped (a debug key,
// a missing object) without one pass inheriting another's blending, units or arrays. Nothing is allocated per
// frame: the lists are pruned in place and the only buffers grow once.
// Depends on: XCamera, XTextureManager, TextureUnits, VertexArrays, XExtensions, XDecal, XExplosion, scene
// (records, meshes, materials, lights), space (octrees, IsSegmentBlocked), XTimer, XWindow, OpenGL.
#include "render/XRenderer.h"

#include "render/OverlayProjection.h"
#include "render/VertexArrays.h"
#include "render/XAxisRotation.h"
#include "render/XCamera.h"
#include "render/XDecal.h"
#include "render/XExplosion.h"
#include "render/XExtensions.h"
#include "render/XSpriteCutout.h"
#include "render/XTextureManager.h"
#include "scene/XLightManager.h"
#include "scene/XScene.h"
#include "scene/XShaderManager.h"
#include "space/XCollision.h"
#include "space/XOctTree.h"
#include "shell/XTimer.h"
#include "shell/XWindow.h"

#include <GL/gl.h>
#include <GL/glext.h> // point-parameter and other extension enums

#include <algorithm> // std::min, std::max
#include <cmath>     // std::fabs
#include <limits>

// ---------------------------------------------------------------------------------------------------------
// Local helpers
// ---------------------------------------------------------------------------------------------------------
namespace {

// Materials below this opacity are blended; 0.9 and above draw opaque.
const float kOpaqueFrom = 0.9f;
const float kLightAttenuation = 0.2f;
const int kWeaponLightCount = 5;
const float kWeaponShininess = 20.0f;
// The weapon's depths are squeezed into the front half of the depth range. With the near plane at 0.1 a world
// surface lands there only when it is nearer than 0.2 units to the eye, which the player's collision body
// never allows, so the weapon is in front of the whole world while the world keeps its depths. (A narrower
// slice would cost the weapon's own depth test precision: at a tenth, single pixels of it already change.)
const double kWeaponDepthFar = 0.5;

const int32_t kDecalLifetime = 8000;
const int32_t kDecalFadeStart = 6000;
const float kDecalFadeLength = 2000.0f;
const float kBulletHoleHalfSide = 0.2f;
const float kScorchHalfSide = 0.6f;

const int32_t kExplosionFrameLength = 75;  // ms per animation frame
const int32_t kExplosionLastFrame = 7;     // frames 0 .. 7 in slots 9 .. 16
const int32_t kExplosionSpriteStep = 30;   // the sprite is dropped once age / 30 passes 12 (390 ms)
const int32_t kExplosionSpriteSteps = 12;
const int32_t kGlowPeak = 250;             // the glow grows until this age, then shrinks
const float kGlowSizeDivisor = 500.0f;
const float kGlowAlpha = 0.5f;
const float kRocketGlowSide = 0.4f;
const float kRocketGlowAlpha = 0.2f;
const float kSpinDivisor = 10.0f;          // sprites turn by now / 10 degrees: 100 degrees per second

const float kMenuHalfWidth = 350.0f;
const float kMenuHalfHeight = 250.0f;
const float kCursorSize = 32.0f;

// Whether `index` names an entry of the scene texture table. A number outside it (a damaged level) is treated
// like "no texture" instead of stopping the program at the lookup.
bool SceneTextureUsable(int index)
{
    return index >= 0 && index < GetTextureManager()->GetSceneTextureCount();
}

// Switches every texture target of the unit off.
void TurnUnitOff(int unit)
{
    SelectTextureUnit(unit);
    glDisable(GL_TEXTURE_1D);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_TEXTURE_CUBE_MAP);
}

// Both units off; unit 0 is the active one afterwards.
void TurnTexturesOff()
{
    TurnUnitOff(1);
    TurnUnitOff(0);
}

void SetTextureMode(GLint mode)
{
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
}

// Binds scene texture `index` on `unit`. An empty entry (a picture that failed to load) leaves the unit
// untextured rather than showing whatever an earlier draw left bound.
bool BindSceneTexture(int index, int unit)
{
    if (SceneTextureUsable(index) && GetTextureManager()->BindTexture(index, unit)) {
        return true;
    }
    TurnUnitOff(unit);
    return false;
}

// Binds a special texture on unit 0; without it (a broken archive) the unit stays untextured.
bool BindSpecialTexture(int slot)
{
    XTexture* const texture = GetTextureManager()->GetSpecialTexture(slot);
    if (texture == nullptr) {
        TurnUnitOff(0);
        return false;
    }
    texture->Bind(0);
    return true;
}

void SetTexCoordArray(int unit, bool on)
{
    SelectClientTextureUnit(unit);
    if (on) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
}

// Client arrays: the vertex array as asked, everything else off.
void UseOnlyVertexArray(bool vertexArray)
{
    EnableVertexArray(vertexArray);
    EnableNormalArray(false);
    EnableColorArray(false);
    SetTexCoordArray(1, false);
    SetTexCoordArray(0, false);
}

// The opacity rule of the object draws: translucent materials blend with their opacity as alpha. Returns the
// alpha to draw with.
float ApplyOpacity(float opacity)
{
    if (opacity < kOpaqueFrom) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        return opacity;
    }
    glDisable(GL_BLEND);
    return 1.0f;
}

// The state of every world-geometry pass: culled, depth-tested and written, unblended, unlit, untextured,
// with vertex and both texture-coordinate arrays on.
void SetWorldState(GLenum depthFunction)
{
    glEnable(GL_CULL_FACE);
    DisableRegisterCombiners(); // nothing sets combiners up, but foreign state must not tint the world
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_POLYGON_OFFSET_LINE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(depthFunction);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    TurnTexturesOff();
    EnableVertexArray(true);
    EnableNormalArray(false);
    EnableColorArray(false);
    SetTexCoordArray(1, true);
    SetTexCoordArray(0, true);
}

// A mesh the object passes can hand to OpenGL: positions, both coordinate sets and triangles.
bool HasWorldArrays(const XMesh* mesh)
{
    return mesh != nullptr && mesh->GetVertexCount() > 0 && mesh->GetTriangleCount() > 0 &&
           mesh->GetPositions() != nullptr && mesh->GetTexCoordsA() != nullptr &&
           mesh->GetTexCoordsB() != nullptr && mesh->GetTriangles() != nullptr;
}

// Whether a light-mapped material has both its picture and its light map. An object's groups are drawn up to
// the first that lacks one.
bool HasLitTextures(const XShader& material)
{
    return SceneTextureUsable(material.texture0) && SceneTextureUsable(material.texture1);
}

// A light-mapped material's picture on unit 0 and light map on unit 1, the light map modulating. Under a
// white, opaque colour the picture replaces it: the same pixels as modulating by one, and the rasteriser
// spares a multiplication of every fragment. A translucent colour is modulated in.
void BindLitTextures(const XShader& material, bool whiteColour)
{
    BindSceneTexture(material.texture0, 0);
    SetTextureMode(whiteColour ? GL_REPLACE : GL_MODULATE);
    BindSceneTexture(material.texture1, 1);
    SetTextureMode(GL_MODULATE);
}

const float* Floats(const XVector2* array)
{
    return reinterpret_cast<const float*>(array);
}

const float* Floats(const XVector3* array)
{
    return reinterpret_cast<const float*>(array);
}

// The triangles a group may draw: its own count, but never past the end of the mesh (the groups of a damaged
// level may claim more triangles than there are).
int GroupTriangles(const XMaterialGroup& group, int firstTriangle, int meshTriangles)
{
    return std::max(0, std::min(group.triangleCount, meshTriangles - firstTriangle));
}

void DrawTriangles(const uint16_t* firstIndex, int triangleCount)
{
    glDrawElements(GL_TRIANGLES, 3 * triangleCount, GL_UNSIGNED_SHORT, firstIndex);
}

// Multiplies the modelview by the rotation whose columns are the three axes, after moving to `origin`.
void MultiplyFrame(const XVector3& origin, const XVector3& axisX, const XVector3& axisY, const XVector3& axisZ)
{
    const GLfloat matrix[16] = {axisX.x, axisX.y, axisX.z, 0.0f, axisY.x, axisY.y, axisY.z, 0.0f,
                                axisZ.x, axisZ.y, axisZ.z, 0.0f, origin.x, origin.y, origin.z, 1.0f};
    glMultMatrixf(matrix);
}

// One quad from (-h, -h) to (h, h) in the z = 0 plane, texture corners (0, 0) to (1, 1), counter-clockwise.
void DrawCentredQuad(float half)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-half, -half, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(half, -half, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(half, half, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-half, half, 0.0f);
    glEnd();
}

// The frame time of the effect passes: the last frame's length in whole milliseconds.
int32_t WholeFrameTime()
{
    return static_cast<int32_t>(GetTimer()->GetFrameTime());
}

float SpinAngle(int32_t now)
{
    return static_cast<float>(now) / kSpinDivisor;
}


void CollectTriangles(const XOctNode& node)
{
    const XTriangle* const triangles = node.Triangles();
    for (int i = 0; i < node.TriangleCount(); ++i) {
        EmitVertex(triangles[i].vertex[0]);
        EmitVertex(triangles[i].vertex[1]);
        EmitVertex(triangles[i].vertex[2]);
    }
    for (int child = 0; child < 8; ++child) {
        const XOctNode* const next = node.Child(child);
        if (next != nullptr) {
            CollectTriangles(*next);
        }
    }
}

// The six faces of an axis-aligned cube of the given edge around the origin, each one line loop.
void EmitWireCube(float edge)
{
    const float h = edge / 2.0f;
    const GLfloat corners[8][3] = {{-h, -h, -h}, {h, -h, -h}, {h, h, -h}, {-h, h, -h},
                                   {-h, -h, h},  {h, -h, h},  {h, h, h},  {-h, h, h}};
    const int faces[6][4] = {{0, 1, 2, 3}, {4, 5, 6, 7}, {0, 1, 5, 4}, {3, 2, 6, 7}, {0, 3, 7, 4}, {1, 2, 6, 5}};
    for (const auto& face : faces) {
        glBegin(GL_LINE_LOOP);
        for (const int corner : face) {
            glVertex3fv(corners[corner]);
        }
        glEnd();
    }
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// Scene and modes
// ---------------------------------------------------------------------------------------------------------

void XRenderer::SetScene(XScene* newScene)
{
    scene = newScene;
    flareVisibility.Clear();
    visibleWorld.Clear();
}

bool XRenderer::SetVisibility(XVisibility visibility)
{
    visibleWorld.Clear();
    if (WorldParts().empty()) {
        return false;
    }
    std::vector<const XMesh*> parts;
    for (const XSceneNode* const part : WorldParts()) {
        parts.push_back(part->GetMesh());
    }
    if (!visibleWorld.Set(std::move(visibility), parts)) {
        return false;
    }
    // A material's runs go with its first group in a part (see VisibleRunsOfGroup).
    firstGroupOf.assign(parts.size(), std::vector<int>(static_cast<size_t>(visibleWorld.MaterialCount()), -1));
    groupsDrawn.assign(parts.size(), 0);
    for (size_t p = 0; p < parts.size(); ++p) {
        const XSceneNode& part = *WorldParts()[p];
        for (int g = part.GetMaterialGroupCount() - 1; g >= 0; --g) {
            const int32_t material = part.GetMaterialGroup(g).materialId;
            if (material >= 0 && material < visibleWorld.MaterialCount()) {
                firstGroupOf[p][static_cast<size_t>(material)] = g;
            }
        }
    }
    return true;
}

void XRenderer::ReserveExplosions(size_t count)
{
    explosionVisibility.Reserve(count);
}

// The world's parts as the scene's setup found them; a scene that was not set up has its "world" alone.
const std::vector<XSceneNode*>& XRenderer::WorldParts()
{
    if (scene != nullptr && !scene->GetWorldParts().empty()) {
        return scene->GetWorldParts();
    }
    unsetWorld.clear();
    XSceneNode* const world = scene != nullptr ? scene->FindNode("world") : nullptr;
    if (world != nullptr && world->GetMesh() != nullptr) {
        unsetWorld.push_back(world);
    }
    return unsetWorld;
}

int XRenderer::WorldPartOf(const XSceneNode& node)
{
    const std::vector<XSceneNode*>& parts = WorldParts();
    for (size_t part = 0; part < parts.size(); ++part) {
        if (parts[part] == &node) {
            return static_cast<int>(part);
        }
    }
    return -1;
}

XScene* XRenderer::GetScene() const
{
    return scene;
}

void XRenderer::SetTriangleMode(int32_t mode)
{
    triangleMode = mode;
}

int32_t XRenderer::GetTriangleMode() const
{
    return triangleMode;
}

void XRenderer::SetSpriteLog(std::vector<XSpriteRecord>* log)
{
    spriteLog = log;
}

// ---------------------------------------------------------------------------------------------------------
// World passes
// ---------------------------------------------------------------------------------------------------------

void XRenderer::Clear()
{
    glDepthMask(GL_TRUE); // a pass that left depth writes off would otherwise keep last frame's depths
    // No pass uses the stencil bits that share the depth buffer's words (nor changes the stencil state), but
    // clearing them too lets the driver clear whole words instead of keeping the stencil byte of every one.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    marker = -1;
}

void XRenderer::DrawSky(const XCamera& camera)
{
    DrawSkyDome(camera, false);
}

void XRenderer::DrawSkyBehindWorld(const XCamera& camera)
{
    DrawSkyDome(camera, true);
}

bool XRenderer::IsWorldOpaque(const XScene& world) const
{
    for (int i = 0; i < world.GetNodeCount(); ++i) {
        const XSceneNode* const node = world.GetNode(i);
        if (node == nullptr || node->GetName() == "plasma" || node->GetName() == "skydome" ||
            !HasWorldArrays(node->GetMesh())) {
            continue;
        }
        for (int g = 0; g < node->GetMaterialGroupCount(); ++g) {
            const XShader& material = GetShaderManager()->GetShader(node->GetMaterialGroup(g).materialId);
            if (!HasLitTextures(material)) {
                break; // the object draws nothing from here on
            }
            if (material.opacity < kOpaqueFrom) {
                return false;
            }
        }
    }
    return true;
}

// The sky dome; behindWorld draws it after an opaque world pass, only where that left the cleared depth.
void XRenderer::DrawSkyDome(const XCamera& camera, bool behindWorld)
{
    if (scene == nullptr) {
        return;
    }
    const XSceneNode* const dome = scene->FindNode("skydome");
    if (dome == nullptr || dome->GetMesh() == nullptr || dome->GetMaterialGroupCount() == 0) {
        return;
    }
    const XMesh& mesh = *dome->GetMesh();
    if (mesh.GetPositions() == nullptr || mesh.GetTexCoordsA() == nullptr || mesh.GetTriangleCount() <= 0) {
        return;
    }
    const XShader& material = GetShaderManager()->GetShader(dome->GetMaterialGroup(0).materialId);
    if (!SceneTextureUsable(material.texture0)) {
        return; // a sky without its picture would only cover the clear colour with white
    }

    TurnUnitOff(1);
    BindSceneTexture(material.texture0, 0);
    SetTextureMode(GL_REPLACE); // the picture as it is: the colour below is white
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    if (behindWorld) {
        // Every sky fragment gets the far depth 1, which only the pixels that the world left at their cleared
        // depth let through. Those are exactly the pixels where the sky drawn first would still show: the
        // opaque world replaces whatever lies under it. The pixels come out the same, and the rasteriser skips
        // the texturing of the sky hidden behind the walls.
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glDepthRange(1.0, 1.0);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glDisable(GL_BLEND);
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    EnableVertexArray(true);
    EnableNormalArray(false);
    EnableColorArray(false);
    SetTexCoordArray(1, false);
    SetTexCoordArray(0, true);
    SetVertexPointer(mesh.GetPositions());
    SetTexCoordPointer(0, 2, Floats(mesh.GetTexCoordsA()));

    const int32_t milliseconds = GetTimer()->GetTime();
    const float s = static_cast<float>(milliseconds) / 5000.0f;
    const float t = static_cast<float>(milliseconds) / 10000.0f;

    glPushMatrix();
    Translate(camera.GetPosition()); // the dome travels with the viewer and so seems infinitely far
    SelectTextureUnit(0);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glTranslatef(s, t / 2.0f, 0.0f);
    DrawTriangles(mesh.GetTriangles(), mesh.GetTriangleCount());
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    if (behindWorld) {
        glDepthRange(0.0, 1.0);
    }
}

void XRenderer::DrawWorld(XScene& world)
{
    SetWorldState(GL_LESS);
    drawnTriangles = 0;
    if (visibleWorld.Active() && eyeInPlayerSpace) {
        visibleWorld.Select();
    } else {
        visibleWorld.SelectWhole();
    }
    // In an opaque scene every pixel shows the nearest surface whatever the order, so the visible world can go
    // nearest first across its materials, wherever its parts stand among the objects.
    const bool nearToFar = visibleWorld.Selected() && IsWorldOpaque(world);
    bool worldDrawn = false;
    for (int i = 0; i < world.GetNodeCount(); ++i) {
        const XSceneNode* const node = world.GetNode(i);
        if (node == nullptr || node->GetName() == "plasma" || node->GetName() == "skydome") {
            continue;
        }
        if (nearToFar && WorldPartOf(*node) >= 0) {
            if (!worldDrawn) {
                DrawWorldNearToFar();
                worldDrawn = true;
            }
            continue;
        }
        DrawObject(*node);
    }
    if (triangleMode == 2) {
        DrawCollisionTriangles(world);
    }
}

// ---------------------------------------------------------------------------------------------------------
// Object drawing
// ---------------------------------------------------------------------------------------------------------

void XRenderer::DrawObject(const XSceneNode& node)
{
    const XMesh* const mesh = node.GetMesh();
    if (!HasWorldArrays(mesh)) {
        return;
    }
    const uint16_t* const triangles = mesh->GetTriangles();
    const int meshTriangles = mesh->GetTriangleCount();
    int firstTriangle = 0;
    for (int g = 0; g < node.GetMaterialGroupCount() && firstTriangle < meshTriangles; ++g) {
        const XMaterialGroup group = node.GetMaterialGroup(g);
        // An id outside the material table yields the manager's default record, which has no textures.
        const XShader& material = GetShaderManager()->GetShader(group.materialId);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        const float alpha = ApplyOpacity(material.opacity);
        if (!HasLitTextures(material)) {
            break; // a group without its picture or light map ends the object
        }
        BindLitTextures(material, alpha == 1.0f);
        glColor4f(1.0f, 1.0f, 1.0f, alpha);
        SetVertexPointer(mesh->GetPositions());
        SetTexCoordPointer(0, 2, Floats(mesh->GetTexCoordsA()));
        SetTexCoordPointer(1, 2, Floats(mesh->GetTexCoordsB()));
        SetTexCoordArray(1, true);
        SetTexCoordArray(0, true);

        const int count = GroupTriangles(group, firstTriangle, meshTriangles);
        const int part = WorldPartOf(node);
        const bool world = part >= 0;
        if (world && visibleWorld.Selected()) {
            const XVisibleWorld::Draw run = VisibleRunOfGroup(node, part, g);
            if (run.count > 0) {
                DrawTriangles(run.indices, run.count);
                if (triangleMode == 1) {
                    DrawOutlines(run.indices, run.count);
                }
                drawnTriangles += run.count;
            }
        } else {
            const uint16_t* const firstIndex = triangles + 3 * firstTriangle;
            DrawTriangles(firstIndex, count);
            if (triangleMode == 1) {
                DrawOutlines(firstIndex, count);
            }
            drawnTriangles += world ? count : 0;
        }
        firstTriangle += count;
    }
}

void XRenderer::DrawWorldNearToFar()
{
    const std::vector<XSceneNode*>& parts = WorldParts();
    // Each part draws its groups up to the first without its picture or light map, and nothing without its
    // arrays, as DrawObject does.
    for (size_t p = 0; p < parts.size(); ++p) {
        const XSceneNode& part = *parts[p];
        groupsDrawn[p] = 0;
        if (!HasWorldArrays(part.GetMesh())) {
            continue;
        }
        const int meshTriangles = part.GetMesh()->GetTriangleCount();
        int firstTriangle = 0;
        int g = 0;
        for (; g < part.GetMaterialGroupCount() && firstTriangle < meshTriangles; ++g) {
            const XShader& material = GetShaderManager()->GetShader(part.GetMaterialGroup(g).materialId);
            if (!HasLitTextures(material)) {
                break;
            }
            firstTriangle += GroupTriangles(part.GetMaterialGroup(g), firstTriangle, meshTriangles);
        }
        groupsDrawn[p] = g;
    }
    glDisable(GL_BLEND);
    int boundPart = -1;
    int boundMaterial = -1;
    for (const XVisibleWorld::OrderedDraw& draw : visibleWorld.NearToFar()) {
        const size_t p = static_cast<size_t>(draw.part);
        const int group = firstGroupOf[p][static_cast<size_t>(draw.material)];
        if (group < 0 || group >= groupsDrawn[p]) {
            continue;
        }
        if (draw.part != boundPart) {
            const XMesh& mesh = *parts[p]->GetMesh();
            SetVertexPointer(mesh.GetPositions());
            SetTexCoordPointer(0, 2, Floats(mesh.GetTexCoordsA()));
            SetTexCoordPointer(1, 2, Floats(mesh.GetTexCoordsB()));
            boundPart = draw.part;
        }
        if (draw.material != boundMaterial) {
            const XShader& material = GetShaderManager()->GetShader(draw.material);
            BindLitTextures(material, true);
            SetTexCoordArray(1, true);
            SetTexCoordArray(0, true);
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            boundMaterial = draw.material;
        }
        DrawTriangles(draw.run.indices, draw.run.count);
        if (triangleMode == 1) {
            DrawOutlines(draw.run.indices, draw.run.count);
            boundMaterial = -1; // the outlines turned the textures off
        }
        drawnTriangles += draw.run.count;
    }
}

// The runs of group g's material that the eye's cell sees in the world's part, as one draw. A material's runs go
// with its first group (a compiled world has one group a material a part): a later group of the same material has
// none.
XVisibleWorld::Draw XRenderer::VisibleRunOfGroup(const XSceneNode& world, int part, int g)
{
    const int32_t material = world.GetMaterialGroup(g).materialId;
    for (int earlier = 0; earlier < g; ++earlier) {
        if (world.GetMaterialGroup(earlier).materialId == material) {
            return XVisibleWorld::Draw{nullptr, 0, 0};
        }
    }
    return visibleWorld.JoinedDrawOf(part, material);
}

// The group's triangles again as red lines, pulled towards the viewer so that they win over their own faces.
void XRenderer::DrawOutlines(const uint16_t* firstIndex, int triangleCount) const
{
    SetTexCoordArray(1, false);
    SetTexCoordArray(0, false);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEnable(GL_POLYGON_OFFSET_LINE);
    glPolygonOffset(-1.0f, -1.0f);
    TurnTexturesOff();
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    DrawTriangles(firstIndex, triangleCount);
    glDisable(GL_POLYGON_OFFSET_LINE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

// Every triangle the collision tree holds, clipped pieces included, as blue lines.
void XRenderer::DrawCollisionTriangles(const XScene& world) const
{
    const XOctTree* const octree = world.GetOctree();
    if (octree == nullptr || octree->Root() == nullptr) {
        return;
    }
    glDisable(GL_BLEND);
    glDepthFunc(GL_LESS);
    glEnable(GL_POLYGON_OFFSET_LINE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glPolygonOffset(-1.0f, -1.0f);
    TurnTexturesOff();
    glColor4f(0.0f, 0.0f, 1.0f, 1.0f);
    glBegin(GL_TRIANGLES);
    CollectTriangles(*octree->Root());
    glEnd();
    glDisable(GL_POLYGON_OFFSET_LINE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

// ---------------------------------------------------------------------------------------------------------
// Weapon
// ---------------------------------------------------------------------------------------------------------

void XRenderer::DrawWeapon(XSceneNode& object, const XCamera& camera, const XVector3& placement)
{
    const XVector3 eye = camera.GetPosition() + kWorldUp;
    const XVector3 r = camera.GetRight().Normalized();
    const XVector3 f = camera.GetViewDirection().Normalized();
    const XVector3 u = Cross(r, f).Normalized();
    const XVector3 origin = eye + r * placement.x + u * placement.y + f * placement.z;
    object.SetFrame(-r, u, f, origin);

    // The weapon is never hidden by a wall the player stands against. Clearing the depth buffer would give
    // that too, but it would also take the world's depths from every pass after this one: bullet holes,
    // sparks and rockets would show through walls, and the spotlight, which must land on the world's own
    // depths, would add the light of hidden surfaces onto the visible ones. So the weapon is drawn in front
    // of the world's depths instead, and the world keeps them.
    glDepthMask(GL_TRUE);
    glDepthRange(0.0, kWeaponDepthFar);

    // The lights take their places in the world's frame, before the weapon's own frame is applied.
    SetWeaponLights();
    glPushMatrix();
    const XFrame& frame = object.GetFrame();
    MultiplyFrame(frame.translate, frame.rot0, frame.rot1, frame.rot2);
    DrawLitObject(object);
    glPopMatrix();
    glDisable(GL_LIGHTING);
    glDepthRange(0.0, 1.0);
}

// The first five entries of the light table as point lights, whether or not the level defines that many (the
// entries beyond its lights are black and add nothing).
void XRenderer::SetWeaponLights() const
{
    glEnable(GL_LIGHTING);
    const XLightManager* const lights = GetLightManager();
    for (int i = 0; i < kWeaponLightCount; ++i) {
        const XLight& light = lights->GetLight(i);
        const GLenum id = static_cast<GLenum>(GL_LIGHT0 + i);
        const XVector3& p = light.GetPosition();
        const XColor3& c = light.GetColor();
        const GLfloat position[4] = {p.x, p.y, p.z, 1.0f};
        const GLfloat color[4] = {c.r, c.g, c.b, 1.0f};
        glEnable(id);
        glLightfv(id, GL_POSITION, position);
        glLightfv(id, GL_DIFFUSE, color);
        glLightfv(id, GL_SPECULAR, color);
        glLightf(id, GL_LINEAR_ATTENUATION, kLightAttenuation);
    }
}

void XRenderer::DrawLitObject(const XSceneNode& object) const
{
    const XMesh* const mesh = object.GetMesh();
    if (mesh == nullptr || mesh->GetPositions() == nullptr || mesh->GetTriangles() == nullptr ||
        mesh->GetTriangleCount() <= 0) {
        return;
    }
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, white);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, white);
    glMaterialf(GL_FRONT, GL_SHININESS, kWeaponShininess);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);

    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDisable(GL_BLEND);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    EnableColorArray(false);
    EnableVertexArray(true);
    SetVertexPointer(mesh->GetPositions());
    EnableNormalArray(mesh->GetNormals() != nullptr);
    if (mesh->GetNormals() != nullptr) {
        SetNormalPointer(mesh->GetNormals());
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    TurnUnitOff(1);
    SetTexCoordArray(1, false);

    int texture = -1;
    if (object.GetMaterialGroupCount() > 0) {
        texture = GetShaderManager()->GetShader(object.GetMaterialGroup(0).materialId).texture0;
    }
    const bool textured = mesh->GetTexCoordsB() != nullptr && BindSceneTexture(texture, 0);
    if (textured) {
        SetTextureMode(GL_MODULATE);
        SetTexCoordPointer(0, 2, Floats(mesh->GetTexCoordsB()));
    } else {
        TurnUnitOff(0);
    }
    SetTexCoordArray(0, textured);
    DrawTriangles(mesh->GetTriangles(), mesh->GetTriangleCount());
}

// ---------------------------------------------------------------------------------------------------------
// Flares and camera-facing squares
// ---------------------------------------------------------------------------------------------------------

void XRenderer::DrawFlares(XScene& world, const XVector3& eye)
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    TurnUnitOff(1);
    BindSpecialTexture(kSpecialLight);
    SetTextureMode(GL_MODULATE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    // A flare adds its picture to the screen, which adds nothing where the picture is black: the square is cut
    // down to the picture's lit part wherever the picture is sampled from the levels the cutout was read from.
    PrepareFlareCutout();
    GLfloat view[16] = {};
    GLfloat projection[16] = {};
    GLint viewport[4] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    // A facing square of side s at view depth z covers s * pixelsPerUnit / z pixels across, its narrower way.
    const float pixelsPerUnit = std::min(std::fabs(projection[0]) * static_cast<float>(viewport[2]),
                                         std::fabs(projection[5]) * static_cast<float>(viewport[3])) / 2.0f;

    const XLightManager* const lights = GetLightManager();
    XCollision* const collision = GetCollision();
    const XOctTree* const tree = world.GetOctree();
    flareVisibility.Begin(tree != nullptr ? tree->Serial() : 0, eye);
    for (int i = 0; i < lights->GetCount(); ++i) {
        const XLight& light = lights->GetLight(i);
        bool blocked = false;
        if (!flareVisibility.Find(i, light.GetPosition(), blocked)) {
            blocked = collision->IsSegmentBlocked(&world, light.GetPosition(), eye);
            flareVisibility.Keep(i, light.GetPosition(), blocked);
        }
        if (blocked) {
            continue;
        }
        const XVector3& centre = light.GetPosition();
        const float side = Distance(eye, centre) / 5.0f + 3.0f;
        const float depth = -(view[2] * centre.x + view[6] * centre.y + view[10] * centre.z + view[14]);
        const XColor3& color = light.GetColor();
        glPushMatrix();
        glColor3f(color.r, color.g, color.b);
        if (depth > 0.0f && side * pixelsPerUnit / depth >= flareCutoutPixels) {
            DrawFacingCutout(centre, side, flareCutout);
        } else {
            DrawFacingSquare(centre, side, 0.0f);
        }
        glPopMatrix();
    }
    glEnable(GL_DEPTH_TEST);
}

void XRenderer::PrepareFlareCutout()
{
    const XTexture* const texture = GetTextureManager()->GetSpecialTexture(kSpecialLight);
    const unsigned int id = texture != nullptr ? texture->GetId() : 0;
    if (id == flareCutoutTexture) {
        return;
    }
    flareCutoutTexture = id;
    flareCutout.clear();
    flareCutoutPixels = std::numeric_limits<float>::max(); // no cutout: every flare gets its square
    if (id == 0) {
        return;
    }
    const XSpriteCutout cutout = XSpriteCutout::OfTexture(id, 2);
    flareCutout = cutout.Corners();
    const GLenum filter = texture->GetMinFilter();
    // Without mipmaps only the first level is ever sampled; with them, a square at least half as wide on
    // screen as the picture samples its first two levels at most.
    const bool mipmapped = filter != GL_LINEAR && filter != GL_NEAREST;
    flareCutoutPixels = mipmapped ? static_cast<float>(cutout.PictureSize()) / 2.0f : 0.0f;
}

void XRenderer::DrawFacingSquare(const XVector3& centre, float side, float rotation)
{
    if (spriteLog != nullptr) {
        spriteLog->push_back({centre, side, rotation});
    }
    DrawFacingQuad(centre, side, rotation);
}

void XRenderer::DrawFacingQuad(const XVector3& centre, float side, float rotation) const
{
    PushFacingFrame(centre, rotation);
    DrawCentredQuad(side / 2.0f);
    glPopMatrix();
}

void XRenderer::DrawFacingCutout(const XVector3& centre, float side, const std::vector<XVector2>& cutout)
{
    if (spriteLog != nullptr) {
        spriteLog->push_back({centre, side, 0.0f});
    }
    PushFacingFrame(centre, 0.0f);
    const float half = side / 2.0f;
    glBegin(GL_TRIANGLE_FAN);
    for (const XVector2& corner : cutout) {
        glTexCoord2f((corner.x + 1.0f) / 2.0f, (corner.y + 1.0f) / 2.0f);
        glVertex3f(corner.x * half, corner.y * half, 0.0f);
    }
    glEnd();
    glPopMatrix();
}

void XRenderer::PushFacingFrame(const XVector3& centre, float rotation) const
{
    GLfloat view[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    // The transpose of the view's rotation is its inverse: it turns the square back to face the viewer.
    const GLfloat facing[16] = {view[0], view[4], view[8],  0.0f, view[1], view[5], view[9], 0.0f,
                                view[2], view[6], view[10], 0.0f, 0.0f,    0.0f,    0.0f,    1.0f};
    glPushMatrix();
    Translate(centre);
    glMultMatrixf(facing);
    glRotatef(rotation, 0.0f, 0.0f, 1.0f);
}

// ---------------------------------------------------------------------------------------------------------
// Spotlight
// ---------------------------------------------------------------------------------------------------------

void XRenderer::DrawSpotlight(const XCamera& camera, const XVector3& eye, const XVector3& /*viewDirection*/)
{
    if (scene == nullptr) {
        return;
    }
    const std::vector<XSceneNode*>& parts = WorldParts();
    if (parts.empty()) {
        return;
    }
    for (size_t part = 0; part < parts.size(); ++part) {
        DrawSpotlightOn(*parts[part], static_cast<int>(part), camera, eye);
    }
    TurnUnitOff(1); // no later pass expects a cube map on unit 1
    SelectTextureUnit(0);
}

void XRenderer::DrawSpotlightOn(XSceneNode& world, int part, const XCamera& camera, const XVector3& eye)
{
    if (!HasWorldArrays(world.GetMesh())) {
        return;
    }
    XMesh& mesh = *world.GetMesh();
    SetWorldState(GL_LEQUAL); // the same depths as the world pass, so the added light lands on them

    const XVector3* const directions = ComputeSpotDirections(mesh, camera, eye);
    const XVector3* const positions =
        mesh.GetRenderPositions() != nullptr ? mesh.GetRenderPositions() : mesh.GetPositions();
    SetVertexPointer(positions);
    SetTexCoordPointer(0, 2, Floats(mesh.GetTexCoordsA()));
    SetTexCoordPointer(1, 3, Floats(directions));

    const uint16_t* const triangles = mesh.GetTriangles();
    const int meshTriangles = mesh.GetTriangleCount();
    int firstTriangle = 0;
    for (int g = 0; g < world.GetMaterialGroupCount() && firstTriangle < meshTriangles; ++g) {
        const XMaterialGroup group = world.GetMaterialGroup(g);
        const XShader& material = GetShaderManager()->GetShader(group.materialId);
        ApplyOpacity(material.opacity);
        if (!HasLitTextures(material)) {
            break; // the world pass drew nothing from here on; there is nothing to light
        }
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        BindSceneTexture(material.texture0, 0);
        SetTextureMode(GL_MODULATE);
        TurnUnitOff(1);
        XTexture* const spot = GetTextureManager()->GetSpecialTexture(kSpecialSpotCube);
        if (spot != nullptr) {
            spot->Bind(1); // binds on the active unit, which is unit 1 now
            SetTextureMode(GL_MODULATE);
        }
        const int count = GroupTriangles(group, firstTriangle, meshTriangles);
        if (visibleWorld.Selected()) {
            const XVisibleWorld::Draw run = VisibleRunOfGroup(world, part, g);
            if (run.count > 0) {
                DrawTriangles(run.indices, run.count);
            }
        } else {
            DrawTriangles(triangles + 3 * firstTriangle, count);
        }
        firstTriangle += count;
    }
}

const XVector3* XRenderer::ComputeSpotDirections(XMesh& mesh, const XCamera& camera, const XVector3& eye)
{
    XVector3* directions = mesh.GetRenderNormals();
    if (directions == nullptr) {
        directions = mesh.GetNormals();
    }
    if (directions == nullptr) {
        if (spotDirections.size() < static_cast<size_t>(mesh.GetVertexCount())) {
            spotDirections.resize(static_cast<size_t>(mesh.GetVertexCount()));
        }
        directions = spotDirections.data();
    }
    const XVector3* const positions =
        mesh.GetRenderPositions() != nullptr ? mesh.GetRenderPositions() : mesh.GetPositions();
    // Two turns per vertex, each rounded to float, rather than one combined matrix: the directions stay bit for
    // bit those of the engine's rotation. Their sines, cosines and axes are the same for every vertex.
    const XAxisRotation unpitch(-camera.GetPitch(), camera.GetRight());
    const XAxisRotation unyaw(-camera.GetYaw(), kWorldUp);
    const int vertexCount = mesh.GetVertexCount();
    for (int i = 0; i < vertexCount; ++i) {
        directions[i] = unyaw.Apply(unpitch.Apply(positions[i] - eye));
    }
    return directions;
}

// ---------------------------------------------------------------------------------------------------------
// Octree display
// ---------------------------------------------------------------------------------------------------------

void XRenderer::DrawOctreeCubes(const XRenderOctNode* node)
{
    if (node == nullptr) {
        return;
    }
    TurnTexturesOff();
    glDisable(GL_LIGHTING);
    glColor4f(0.0f, 1.0f, 0.0f, 1.0f);
    DrawCubeTree(*node);
}

void XRenderer::DrawCubeTree(const XRenderOctNode& node)
{
    const XCube& cube = node.Cube();
    const GLuint list = CubeList(2.0f * cube.HalfSize());
    glPushMatrix();
    Translate(cube.Center());
    glCallList(list);
    glPopMatrix();
    for (int child = 0; child < 8; ++child) {
        const XRenderOctNode* const next = node.Child(child);
        if (next != nullptr) {
            DrawCubeTree(*next);
        }
    }
}

// The display list of the wire cube of this edge, compiled the first time the size is drawn.
uint32_t XRenderer::CubeList(float edge)
{
    for (const XCubeList& cached : cubeLists) {
        if (cached.edge == edge) {
            return cached.list;
        }
    }
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    EmitWireCube(edge);
    glEndList();
    cubeLists.push_back({edge, list});
    return list;
}

// ---------------------------------------------------------------------------------------------------------
// Effect passes
// ---------------------------------------------------------------------------------------------------------

void XRenderer::DrawDecals()
{
    DisableRegisterCombiners();
    DisableVertexProgram();
    glDisable(GL_LIGHTING);
    glDisable(GL_ALPHA_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-10.0f, -5.0f); // the mark lies on its wall: pull it forward so it wins the depth test
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    TurnTexturesOff();
    UseOnlyVertexArray(false);

    std::vector<XDecal>& decals = GetDecalList()->Decals();
    decals.erase(std::remove_if(decals.begin(), decals.end(),
                                [](const XDecal& decal) { return decal.age > kDecalLifetime; }),
                 decals.end());

    const int32_t frameTime = WholeFrameTime();
    for (XDecal& decal : decals) {
        const bool scorch = decal.type == 2;
        BindSpecialTexture(scorch ? kSpecialDecal2 : kSpecialDecal);
        SetTextureMode(GL_MODULATE);
        glPushMatrix();
        float alpha = 1.0f;
        if (decal.age > kDecalFadeStart) {
            alpha = 1.0f - static_cast<float>(decal.age - kDecalFadeStart) / kDecalFadeLength;
        }
        glColor4f(1.0f, 1.0f, 1.0f, alpha);
        decal.age += frameTime;
        if (scorch) {
            decal.age += frameTime; // scorches fade in half the time
        }
        MultiplyFrame(decal.position, decal.edge.Normalized(), decal.side.Normalized(), decal.normal.Normalized());
        DrawCentredQuad(scorch ? kScorchHalfSide : kBulletHoleHalfSide);
        glPopMatrix();
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_POLYGON_OFFSET_FILL);
}

void XRenderer::DrawExplosionSprites(XScene& world, const XVector3& eye)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDisable(GL_LIGHTING);
    TurnUnitOff(1);
    UseOnlyVertexArray(true);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    const XOctTree* const tree = world.GetOctree();
    explosionVisibility.Begin(tree != nullptr ? tree->Serial() : 0, eye);
    // Finished explosions leave the list in place; every other one is drawn once.
    std::vector<XExplosion>& explosions = GetExplosionList()->Explosions();
    size_t kept = 0;
    for (size_t i = 0; i < explosions.size(); ++i) {
        const XExplosion explosion = explosions[i];
        if (explosion.age / kExplosionSpriteStep > kExplosionSpriteSteps) {
            continue;
        }
        const int index = static_cast<int>(kept);
        explosions[kept++] = explosion;
        if (!IsExplosionInSight(world, index, explosion.position, eye)) {
            continue;
        }
        const int32_t frame = std::max(0, std::min(explosion.age / kExplosionFrameLength, kExplosionLastFrame));
        BindSpecialTexture(kSpecialExplosionFirst + frame);
        SetTextureMode(GL_REPLACE);
        const float scale = static_cast<float>(static_cast<int32_t>(explosion.scale));
        const float side = static_cast<float>(explosion.age) / kGlowSizeDivisor * scale + 3.0f;
        const float rotation = static_cast<float>(explosion.rotation);
        // The fireball stands in the floor or wall it hit, which would cut it in half. Its colours go in front
        // of every depth the world can have (the weapon's are nearer still and keep it in front); then its
        // own depths are written where they lie in front of the world, as if it had been drawn in place, so
        // that the passes after it (sparks, rockets) are hidden by it or not exactly as before.
        glDepthMask(GL_FALSE);
        glDepthRange(kWeaponDepthFar, kWeaponDepthFar);
        DrawFacingSquare(explosion.position, side, rotation);
        glDepthRange(0.0, 1.0);
        glDepthMask(GL_TRUE);
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        DrawFacingQuad(explosion.position, side, rotation);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    }
    explosions.resize(kept);
}

bool XRenderer::IsExplosionInSight(XScene& world, int index, const XVector3& centre, const XVector3& eye)
{
    bool blocked = false;
    if (!explosionVisibility.Find(index, centre, blocked)) {
        // From the centre, which the game sets one unit back from the surface hit, so the segment does not end
        // on that surface (a triangle touched at an end point counts as blocking).
        blocked = GetCollision()->IsSegmentBlocked(&world, centre, eye);
        explosionVisibility.Keep(index, centre, blocked);
    }
    return !blocked;
}

void XRenderer::DrawExplosionGlow()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    TurnUnitOff(1);
    UseOnlyVertexArray(true);

    const int32_t frameTime = WholeFrameTime();
    const float spin = SpinAngle(GetTimer()->GetTime());
    std::vector<XExplosion>& explosions = GetExplosionList()->Explosions();
    size_t kept = 0;
    for (size_t i = 0; i < explosions.size(); ++i) {
        XExplosion explosion = explosions[i];
        if (explosion.age > 2 * kGlowPeak) {
            continue;
        }
        const float scale = static_cast<float>(static_cast<int32_t>(explosion.scale));
        const float age = static_cast<float>(explosion.age);
        const float peak = static_cast<float>(kGlowPeak);
        float side = age / kGlowSizeDivisor * scale + 2.0f;
        if (explosion.age > kGlowPeak) {
            side = scale * peak / kGlowSizeDivisor - (age - peak) / kGlowSizeDivisor * scale + 2.0f;
        }
        explosion.age += frameTime; // explosions age here, once per frame

        BindSpecialTexture(kSpecialRocketGlow);
        SetTextureMode(GL_MODULATE);
        glColor4f(1.0f, 1.0f, 1.0f, kGlowAlpha);
        DrawFacingSquare(explosion.position, side, spin);
        DrawFacingSquare(explosion.position, side, -spin);
        explosions[kept++] = explosion;
    }
    explosions.resize(kept);
}

void XRenderer::DrawProjectiles(const std::vector<XVector3>& sparks, const std::vector<XVector3>& rockets)
{
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_POINT_SMOOTH); // sparks are square points of a whole number of pixels
    TurnTexturesOff();
    if (IsExtensionSupported("XGL_EXT_point_parameters")) {
        const GLfloat attenuation[3] = {1.0f, 0.0f, 1.0f};
        SetPointParameter(GL_POINT_SIZE_MIN_EXT, 1.0f);
        SetPointParameter(GL_POINT_SIZE_MAX_EXT, 30.0f);
        SetPointParameterVector(GL_DISTANCE_ATTENUATION_EXT, attenuation);
        glPointSize(30.0f);
        glColor4f(0.5f, 0.0f, 0.0f, 0.9f);
    } else {
        glPointSize(3.0f);
        glColor4f(1.0f, 0.0f, 0.3f, 1.0f);
    }
    glBegin(GL_POINTS);
    for (const XVector3& spark : sparks) {
        EmitVertex(spark);
    }
    glEnd();

    EnableVertexArray(true);
    EnableNormalArray(false);
    EnableColorArray(false);
    SetTexCoordArray(1, false);
    SetTexCoordArray(0, true);
    TurnUnitOff(1);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    const float spin = SpinAngle(GetTimer()->GetTime());
    for (const XVector3& rocket : rockets) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        glColor4f(1.0f, 1.0f, 1.0f, kRocketGlowAlpha);
        BindSpecialTexture(kSpecialRocketGlow);
        SetTextureMode(GL_MODULATE);
        DrawFacingSquare(rocket, kRocketGlowSide, spin);
        DrawFacingSquare(rocket, kRocketGlowSide, -spin);
    }
    SetTexCoordArray(0, false);
}

// ---------------------------------------------------------------------------------------------------------
// 2D passes
// ---------------------------------------------------------------------------------------------------------

void XRenderer::DrawCrosshair()
{
    glPointSize(2.0f * OverlayPixelSize());
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_POINT_SMOOTH);
    glPushMatrix();
    glLoadIdentity();
    glColor4f(0.8f, 0.8f, 1.0f, 1.0f);
    TurnTexturesOff();
    glBegin(GL_POINTS);
    glVertex3f(0.0f, 0.0f, 0.0f);
    glEnd();
    glPopMatrix();
    glDisable(GL_POINT_SMOOTH);
}

void XRenderer::DrawMenu(const XVector3& menuPosition)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    LoadOverlayProjection();
    TurnUnitOff(1);
    BindSpecialTexture(kSpecialMenu);
    SetTextureMode(GL_MODULATE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    const float x = menuPosition.x;
    const float y = menuPosition.y;
    // The picture's first row (t = 0) is its top edge.
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(x - kMenuHalfWidth, y - kMenuHalfHeight);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(x + kMenuHalfWidth, y - kMenuHalfHeight);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(x + kMenuHalfWidth, y + kMenuHalfHeight);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(x - kMenuHalfWidth, y + kMenuHalfHeight);
    glEnd();
}

void XRenderer::DrawCursor(XPoint mouse)
{
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    TurnUnitOff(1);
    if (BindSpecialTexture(kSpecialCursor)) {
        // Clamped so that the arrow's edge texels never wrap round to the opposite side.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    }
    SetTextureMode(GL_MODULATE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    const XPoint place = WindowPointToOverlay(mouse);
    const float x = static_cast<float>(place.x);
    const float y = static_cast<float>(place.y);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(x, y - kCursorSize);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(x + kCursorSize, y - kCursorSize);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(x + kCursorSize, y);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(x, y);
    glEnd();
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

// ---------------------------------------------------------------------------------------------------------
// The singleton
// ---------------------------------------------------------------------------------------------------------

XRenderer* GetRenderer()
{
    static XRenderer* const renderer = new XRenderer();
    return renderer;
}
