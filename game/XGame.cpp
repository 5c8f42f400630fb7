// XGame: start-up, the game frame, player movement, weapons and the key handlers.
#include "game/XGame.h"

#include "game/XPreparedLevel.h"
#include "game/XProjectileList.h"
#include "game/XSceneDump.h"
#include "game/XTrace.h"
#include "render/FrameCounter.h"
#include "render/OverlayProjection.h"
#include "render/XDecal.h"
#include "render/XExplosion.h"
#include "render/XExtensions.h"
#include "render/XFont.h"
#include "render/XGLErrorWatch.h"
#include "render/XRenderer.h"
#include "render/XSceneTextureHost.h"
#include "scene/XArchive.h"
#include "scene/XLevelInfo.h"
#include "scene/XLightManager.h"
#include "scene/XScene.h"
#include "scene/XSceneNode.h"
#include "scene/XMesh.h"
#include "scene/XShaderManager.h"
#include "scene/XVisibility.h"
#include "shell/XAnimationManager.h"
#include "shell/XDebugText.h"
#include "shell/XFrameProfile.h"
#include "shell/XInput.h"
#include "shell/XLog.h"
#include "shell/XOptions.h"
#include "shell/XSettings.h"
#include "shell/XStartupProfile.h"
#include "shell/XTimer.h"
#include "shell/XWindow.h"
#include "sound/FSound.h"
#include "sound/XSound.h"
#include "sound/XSoundLibrary.h"
#include "space/XCollision.h"
#include "space/XCollisionMesh.h"
#include "space/XOctTree.h"

#include <cmath>   // trunc
#include <cstdio>  // snprintf
#include <cstdlib> // exit
#include <future>  // async
#include <system_error>

const char* const XGame::kHelpText =
    "F1 - this\nmouse        - look around\narrow keys   - move around\nshift        - zoom\nCTRL         - "
    "spotlight\nf            - fly mode on-off\nw            - enable/disable weapon\nTAB          - change "
    "weapons\nl. mouse btn - fire\nr. mouse btn - jump\n\nF3           - render Octree BB's\nF4           - "
    "switch between no\n              tri's, actual tri's(red),\n              and octree tri's(blue)\nF8      "
    "     - reset position\nF12          - debug info\n";

namespace {

const XVector3 kPlayerScale(11.0f, 5.0f, 11.0f);
const XVector3 kUnitScale(1.0f, 1.0f, 1.0f);
// Where the bodies start and where F8 puts the player, from the level's spawn point (the origin on a level that
// names none, as the game's own level does).
const XVector3 kStartOffset(0.0f, 3.0f, 0.0f);
const XVector3 kResetOffset(1.0f, 5.0f, -1.0f);
const XVector3 kWeaponRest(1.0f, -1.4f, 2.0f);
const XVector3 kSparkAcceleration(0.0f, -0.00001f, 0.0f);
const float kSparkLifetime = 500.0f;
const float kRocketLifetime = 5000.0f;
const float kPanelHidden = 500.0f;
const float kPanelOpen = 75.0f;
// The frame counter and the hint stand this far in from the overlay's left edge (at 4:3: at x = -350).
const float kCornerInset = 50.0f;
// The effects' room, well above what the weapons keep alive: the gun's 20 sparks per hit, 10 hits a second
// and the rockets' 100 per explosion live half a second; a bullet hole lives 8 s, a scorch 4 s, an
// explosion 0.5 s. A fight beyond these makes more room once and keeps it.
const size_t kProjectileRoom = 1024;
const size_t kDecalRoom = 256;
const size_t kExplosionRoom = 64;

// A random spread angle in degrees: 4.0 - (random mod 80) / 10, from -3.9 to 4.0 in steps of 0.1.
float SpreadAngle(XRandom& random)
{
    return static_cast<float>(4.0 - (random.Next15() % 80) / 10.0);
}

// One spark velocity component: (random / 32767 - 0.5) / divisor, so at most 0.5 / divisor either way.
float SparkComponent(XRandom& random, double divisor)
{
    return static_cast<float>((random.Next15() / 32767.0 - 0.5) / divisor);
}

void AddSparks(XRandom& random, const XVector3& at, int count, double divisor)
{
    XProjectileList* const projectiles = GetProjectileList();
    for (int i = 0; i < count; ++i) {
        const float x = SparkComponent(random, divisor);
        const float y = SparkComponent(random, divisor);
        const float z = SparkComponent(random, divisor);
        projectiles->Add(at, XVector3(x, y, z), kSparkAcceleration, kSparkLifetime);
    }
}

XDecal DecalFromContact(const XContact& contact, uint8_t type)
{
    XDecal decal;
    decal.type = type;
    decal.position = contact.point;
    decal.normal = contact.normal;
    decal.edge = contact.triangle.vertex[1] - contact.triangle.vertex[0];
    decal.side = Cross(decal.normal, decal.edge);
    decal.age = 0;
    return decal;
}

// An effect's volume (0..255) scaled by the settings' effects volume.
int EffectVolume(int volume)
{
    return volume * GetSettings().effectsVolume / 100;
}

// Plays a named sound once at the given volume, when the library has it.
void PlayOnce(const char* name, int volume)
{
    if (XSound* const sound = GetSoundLibrary()->Find(name)) {
        sound->Play(false);
        sound->SetVolume(EffectVolume(volume));
    }
}

// The settings' master and music volumes; at 100 percent (the defaults) everything stays at full volume.
void ApplyVolumeSettings(XSound* background)
{
    const XSettings& settings = GetSettings();
    if (settings.masterVolume != 100) {
        FSOUND_SetSFXMasterVolume(255 * settings.masterVolume / 100);
    }
    if (background != nullptr && settings.musicVolume != 100) {
        background->SetVolume(255 * settings.musicVolume / 100);
    }
}

} // namespace

// ------------------------------------------------------------------------------------------------------------
// Construction and start-up
// ------------------------------------------------------------------------------------------------------------

XGame::XGame()
    : archiveName(GetOptions().archive),
      scene(std::make_unique<XScene>()),
      textureHost(std::make_unique<XSceneTextureHost>())
{
    for (auto& body : bodies) {
        body = std::make_unique<XPlayerBody>();
        body->GetGravity() = 0.1f;
    }
    panel.SetValue(XVector3(0.0f, kPanelHidden, 0.0f));
    GetAnimationManager()->SetFinishedHandler([this](int kind) { OnAnimationFinished(kind); });
    if (!GetOptions().tracePath.empty()) {
        trace = std::make_unique<XTrace>(GetOptions().tracePath);
    }
}

XGame::~XGame() = default;

XPlayerBody* XGame::GetPlayer() const
{
    return bodies[static_cast<size_t>(currentBody)].get();
}

XScene* XGame::GetScene() const
{
    return scene.get();
}

const char* XGame::GetArchiveName() const
{
    return archiveName.c_str();
}

float XGame::PanelY() const
{
    return panel.GetValue().y;
}

const XVector3& XGame::PlayerScale()
{
    return kPlayerScale;
}

void XGame::StartUp()
{
    LoadExtensionEntryPoints();
    Init("world");
}

void XGame::Init(const char* sceneName)
{
    scene = std::make_unique<XScene>();
    XFont* const font = GetFont();
    font->SetTextPosition(-200.0f, 0.0f, 40);
    ShowLoadingMessage("Initializing...");

    sceneLoader.SetScene(scene.get());
    sceneLoader.SetPath("data\\scene\\");
    sceneLoader.SetHost(textureHost.get());
    ShowLoadingMessage("Importing scene...");

    QXInitialize();
    QXSetArchive(archiveName.c_str(), "");
    XStartupProfile* const startup = GetStartupProfile();
    startup->End("loading screens");
    // The world's octree is made, and its collision triangles started, as soon as the objects are read: the
    // triangles are then made while the pictures load.
    sceneLoader.SetObjectsReadHandler([this] { StartGeometry(); });
    sceneLoader.Load(sceneName);
    sceneLoader.SetObjectsReadHandler(nullptr);
    startup->Add("textures", sceneLoader.GetTextureTime());
    if (octree) {
        startup->Add("octrees", octree->BuildTime());
        startup->Add("meshes", geometryTime - octree->BuildTime());
    }
    startup->End("scene file");
    ShowLoadingMessage("File import completed.");

    LoadLevelInfo();
    bodies[0]->SetPosition(spawn + kStartOffset);
    bodies[1]->SetPosition(spawn + kStartOffset);
    ShowLoadingMessage("Building octree.");

    startup->End("loading screens");
    if (!octree) {
        scene->SetupScene(BuildOctTree);
        octree.reset(scene->GetOctree());
        if (octree) {
            startup->Add("octrees", octree->BuildTime());
        }
    }
    startup->End("meshes");
    if (!GetOptions().dumpScenePath.empty()) {
        WriteSceneDump(*scene, GetOptions().dumpScenePath);
    }
    if (scene->GetOctree() == nullptr) {
        // Without a world there is nothing to walk in: end here rather than run an empty frame loop.
        GetLog()->Log("Start-up stopped: the scene has no usable \"world\" object.");
        std::exit(1);
    }
    PrepareCollision();
    startup->End("collision");
    font->DrawText("Octree formed. Starting.", -1, true);

    for (int i = 0; i < 2; ++i) {
        auto model = std::make_unique<XVectorAnimator>();
        model->SetValue(kWeaponRest);
        weaponModels.insert(weaponModels.begin(), std::move(model));
    }

    XSound* const background = GetSoundLibrary()->Find("bgSound");
    if (background != nullptr) {
        background->Play(true);
    }
    ApplyVolumeSettings(background);
    GetTimer()->Reset();
    GetRenderer()->SetScene(scene.get());
    startup->End("sound");
    LoadVisibility();
    startup->End("visibility");
    ReserveEffects();
    WarmUpPasses();
    startup->End("warm-up");
}

// Both scales' collision triangles of the tree: the unit scale's on a second thread while this one makes the
// player's, as on a large level each takes a good part of the start-up.
XGame::CollisionMeshes XGame::MakeCollisionMeshes(const XOctTree& tree)
{
    const double start = XFrameProfile::Now();
    std::future<std::unique_ptr<XCollisionMesh>> unit;
    try {
        unit = std::async(std::launch::async, [&tree] { return std::make_unique<XCollisionMesh>(tree, kUnitScale); });
    } catch (const std::system_error&) {
        // No second thread to be had: both are made here.
    }
    CollisionMeshes meshes;
    meshes.player = std::make_unique<XCollisionMesh>(tree, kPlayerScale);
    meshes.unit = unit.valid() ? unit.get() : std::make_unique<XCollisionMesh>(tree, kUnitScale);
    meshes.milliseconds = XFrameProfile::Now() - start;
    return meshes;
}

void XGame::StartGeometry()
{
    const XSceneNode* const world = scene->FindNode("world");
    if (world == nullptr || world->GetMesh() == nullptr) {
        return;
    }
    const double start = XFrameProfile::Now();
    scene->SetupScene(BuildOctTree);
    octree.reset(scene->GetOctree());
    geometryTime = XFrameProfile::Now() - start;
    if (octree == nullptr || octree->Root() == nullptr) {
        return;
    }
    // The tree stays as it is until the triangles are taken: nothing changes it before PrepareCollision.
    const XOctTree* const tree = octree.get();
    try {
        collisionBuild = std::async(std::launch::async, [tree] { return MakeCollisionMeshes(*tree); });
    } catch (const std::system_error&) {
        // No thread to be had: PrepareCollision makes them.
    }
}

void XGame::PrepareCollision()
{
    const bool started = collisionBuild.valid();
    CollisionMeshes meshes = started ? collisionBuild.get() : MakeCollisionMeshes(*octree);
    if (started) {
        char line[160] = {};
        std::snprintf(line, sizeof(line), "Collision triangles made in %.0f ms, beside the loading of the pictures.",
                      meshes.milliseconds);
        GetLog()->Log(line);
    }
    XCollision* const collision = GetCollision();
    collision->Adopt(std::move(meshes.player));
    collision->Adopt(std::move(meshes.unit));
}

void XGame::ReserveEffects()
{
    GetProjectileList()->Reserve(kProjectileRoom);
    GetDecalList()->Reserve(kDecalRoom);
    GetExplosionList()->Reserve(kExplosionRoom);
    GetRenderer()->ReserveExplosions(kExplosionRoom);
    sparkPositions.reserve(kProjectileRoom);
    rocketPositions.reserve(kProjectileRoom);
}

// ------------------------------------------------------------------------------------------------------------
// Another level in place of the running one
// ------------------------------------------------------------------------------------------------------------

double XGame::AdoptLevel(XPreparedLevel& level, bool keepPlayer)
{
    // The old level's effects go with it, a rocket's flight sound with its rocket.
    for (const XProjectile& record : GetProjectileList()->Records()) {
        if (record.isRocket && record.channel != -1) {
            FSOUND_StopSound(record.channel);
        }
    }
    GetProjectileList()->Clear();
    GetDecalList()->Clear();
    GetExplosionList()->Clear();

    // Making the table anew destroys the old scene's textures, and with them their GL textures.
    const double uploadStart = XFrameProfile::Now();
    textureHost->ResizeSceneTextures(level.textureCount);
    for (const XPreparedPicture& picture : level.pictures) {
        if (!picture.fromArchive) {
            textureHost->LoadDecodedTexture(picture.row, picture.pixels, picture.archivePath);
        } else if (picture.bitmap) {
            textureHost->LoadBitmapTexture(picture.row, picture.archivePath);
        } else {
            textureHost->LoadJpegTexture(picture.row, picture.archivePath);
        }
    }
    textureHost->FinishSceneTextures();
    const double uploadTime = XFrameProfile::Now() - uploadStart;
    *GetShaderManager() = std::move(level.shaders);
    *GetLightManager() = std::move(level.lights);

    std::unique_ptr<XOctTree> oldOctree = std::move(octree);
    std::unique_ptr<XScene> oldScene = std::move(scene);
    scene = std::move(level.scene);
    octree = std::move(level.octree);
    GetCollision()->Adopt(std::move(level.playerTriangles));
    GetCollision()->Adopt(std::move(level.unitTriangles));
    GetRenderer()->SetScene(scene.get());
    if (level.hasVisibility) {
        GetRenderer()->SetVisibility(std::move(level.visibility));
    }
    GetLog()->Log("Visibility: " + level.visibilityNote + ".");
    // The old level leaves in the prepared level's place: freeing a large one takes milliseconds, which the
    // caller can spend on another thread.
    level.scene = std::move(oldScene);
    level.octree = std::move(oldOctree);

    if (!level.infoProblem.empty()) {
        GetLog()->Log("Level: " + level.infoProblem + "; the player starts at the origin.");
    }
    spawn = level.info.spawn;
    if (!keepPlayer) {
        for (int i = 0; i < 2; ++i) {
            bodies[static_cast<size_t>(i)]->SetPosition(spawn + kStartOffset);
            bodies[static_cast<size_t>(i)]->GetVelocity() = XVector3();
        }
    }
    bodyWalked = !keepPlayer;
    ++reloads;
    return uploadTime;
}

void XGame::SetLevelNote(const std::string& text, int32_t showForMs)
{
    levelNote = text;
    levelNoteStays = showForMs <= 0;
    levelNoteUntil = GetTimer()->GetTime() + showForMs;
}

// The level's spawn point, from its settings file beside the scene file. A level without the file, or with a
// broken one, starts at the origin; the log says why.
void XGame::LoadLevelInfo()
{
    const std::string path = LevelInfoFilePath(GetOptions());
    if (!QXOpenResource(path.c_str()) || QXGetData() == nullptr) {
        GetLog()->Log("Level: no " + path + " in the archive; the player starts at the origin.");
        return;
    }
    XLevelInfo info;
    std::string problem;
    if (info.Parse(reinterpret_cast<const char*>(QXGetData()), QXGetSize(), problem)) {
        spawn = info.spawn;
    } else {
        GetLog()->Log("Level: " + path + ": " + problem + "; the player starts at the origin.");
    }
    QXCloseResource();
}

// The level's visibility data, beside its scene file: with it the world and spotlight passes draw only what the
// eye's cell sees. Without it (or with --no-visibility, or when it does not fit the world) the whole world is
// drawn, as always; the log says which.
void XGame::LoadVisibility()
{
    const std::string path = VisibilityFilePath(GetOptions());
    if (GetOptions().noVisibility) {
        GetLog()->Log("Visibility: --no-visibility, the whole world is drawn every frame.");
        return;
    }
    if (scene->GetWorldParts().empty()) {
        return;
    }
    if (!QXOpenResource(path.c_str()) || QXGetData() == nullptr) {
        GetLog()->Log("Visibility: no " + path + " in the archive; the whole world is drawn every frame.");
        return;
    }
    XVisibility visibility;
    std::string problem;
    const bool loaded = visibility.Load(QXGetData(), QXGetSize(), scene->GetWorldTriangleCount(), problem);
    QXCloseResource();
    if (!loaded) {
        GetLog()->Log("Visibility: " + path + " is not used (" + problem + "); the whole world is drawn every frame.");
        return;
    }
    const int views = visibility.ViewCellCount();
    const int owners = visibility.OwnerCount();
    if (GetRenderer()->SetVisibility(std::move(visibility))) {
        GetLog()->Log("Visibility: " + path + ", " + std::to_string(views) + " view cells, " + std::to_string(owners) +
                      " cells with triangles.");
    }
}

// Software OpenGL (llvmpipe) compiles the code for a combination of drawing state the first time a draw uses it,
// which takes from half a millisecond to several: the first shot, explosion, spotlight frame or pause panel would
// each stall its frame. Drawing every pass once here, into the back buffer that the first frame clears before
// anything is shown, moves that work into the start-up. The debug displays (F3, F4) are left out.
void XGame::WarmUpPasses()
{
    XRenderer* const renderer = GetRenderer();
    XPlayerBody* const player = GetPlayer();
    const XVector3 eye = player->GetEyePosition();
    const XVector3 forward = player->GetViewDirection();
    const XVector3 ahead = eye + forward * 10.0f;

    // The effect lists are set aside while the samples are drawn (and aged) in their place.
    std::vector<XDecal> decals;
    std::vector<XExplosion> explosions;
    decals.swap(GetDecalList()->Decals());
    explosions.swap(GetExplosionList()->Explosions());
    for (const uint8_t type : {uint8_t{1}, uint8_t{2}}) {
        XDecal decal;
        decal.type = type;
        decal.position = ahead;
        decal.normal = -forward;
        decal.edge = player->GetRight();
        decal.side = Cross(decal.normal, decal.edge);
        GetDecalList()->Add(decal);
    }
    XExplosion explosion;
    explosion.position = ahead;
    GetExplosionList()->Add(explosion);

    renderer->Clear();
    renderer->DrawSky(*player);
    renderer->DrawWorld(*scene);
    renderer->DrawSkyBehindWorld(*player);
    for (const char* const name : {"plasma", "rocket"}) {
        if (XSceneNode* const model = scene->FindNode(name)) {
            renderer->DrawWeapon(*model, *player, kWeaponRest);
        }
    }
    renderer->DrawFlares(*scene, eye);
    renderer->DrawSpotlight(*player, eye, forward);
    renderer->DrawDecals();
    renderer->DrawExplosionSprites(*scene, eye);
    renderer->DrawExplosionGlow();
    renderer->DrawProjectiles({ahead}, {ahead});
    DrawFps(OverlayLeft() + kCornerInset, -250.0f);
    renderer->DrawCrosshair();
    renderer->DrawMenu(XVector3(0.0f, kPanelOpen, 0.0f));
    GetFont()->SetTextPosition(-200.0f, 0.0f, 40);
    GetFont()->DrawOutlinedText(kHelpText, -1, false);
    renderer->DrawCursor(XPoint{0, 0});

    GetDecalList()->Decals().swap(decals);
    GetExplosionList()->Explosions().swap(explosions);
    renderer->Clear();
}

// ------------------------------------------------------------------------------------------------------------
// The frame
// ------------------------------------------------------------------------------------------------------------

void XGame::Frame()
{
    XFrameProfile* const profile = GetFrameProfile();
    const double simulationStart = profile->Enabled() ? XFrameProfile::Now() : 0.0;
    profile->StartCpu(XProfileSection::SimulationCpu);
    GetDebugText()->Clear();
    if (!flyMode && !paused) {
        UpdatePlayerPhysics();
    }
    GetPlayer()->Apply();
    GetProjectileList()->Update();
    UpdateKeyMovement();
    UpdateWeapons();
    AppendDebugLines();
    UpdateRockets();
    if (profile->Enabled()) {
        const double drawStart = XFrameProfile::Now();
        profile->StopCpu(XProfileSection::SimulationCpu);
        profile->StartCpu(XProfileSection::SubmissionCpu);
        profile->Add(XProfileSection::Simulation, drawStart - simulationStart);
        DrawFrame();
        // The draw ends with the swap, which counts its own wait in the driver.
        const double drawTime = XFrameProfile::Now() - drawStart;
        profile->Add(XProfileSection::Submission, drawTime - profile->Current(XProfileSection::DriverWait));
    } else {
        DrawFrame();
    }
    if (trace) {
        trace->WriteFrame(*this);
    }
}

void XGame::DrawFrame()
{
    XRenderer* const renderer = GetRenderer();
    XPlayerBody* const player = GetPlayer();
    const XVector3 eye = player->GetEyePosition();

    renderer->Clear();
    renderer->SetEyeInPlayerSpace(!flyMode && bodyWalked);
    // Behind an opaque world the sky is drawn last, only where the world left the background: same picture,
    // less to texture. A translucent material needs the sky beneath it first.
    const bool skyBehind = renderer->IsWorldOpaque(*scene);
    if (!skyBehind) {
        renderer->DrawSky(*player);
    }
    renderer->DrawWorld(*scene);
    if (skyBehind) {
        renderer->DrawSkyBehindWorld(*player);
    }
    if (weaponEnabled && !weaponModels.empty()) {
        if (XSceneNode* const model = scene->FindNode(currentWeapon == 1 ? "plasma" : "rocket")) {
            renderer->DrawWeapon(*model, *player, weaponModels[1]->GetValue());
        }
    }
    renderer->DrawFlares(*scene, eye);
    if (spotlightOn) {
        renderer->DrawSpotlight(*player, eye, player->GetViewDirection());
    }
    if (octreeBoxes && scene->GetOctree() != nullptr) {
        for (int part = 0; part < scene->GetOctree()->RenderRootCount(); ++part) {
            renderer->DrawOctreeCubes(scene->GetOctree()->RenderRoot(part));
        }
    }
    renderer->DrawDecals();
    renderer->DrawExplosionSprites(*scene, eye);
    renderer->DrawExplosionGlow();
    CollectProjectilePositions();
    renderer->DrawProjectiles(sparkPositions, rocketPositions);

    XFont* const font = GetFont();
    const int32_t now = GetTimer()->GetTime();
    if (!paused) {
        DrawFps(OverlayLeft() + kCornerInset, -250.0f);
    }
    if (now < 2000) {
        font->SetTextPosition(OverlayLeft() + kCornerInset, 250.0f, 40);
        font->DrawText("...press F1 for help", -1, true);
    }
    if (!levelNote.empty() && (levelNoteStays || now < levelNoteUntil)) {
        font->SetTextPosition(OverlayLeft() + kCornerInset, 215.0f, 70);
        font->DrawOutlinedText(levelNote.c_str(), -1, false);
    }
    if (debugInfo) {
        font->SetTextPosition(-100.0f, 100.0f, 40);
        font->DrawText(GetDebugText()->Text(), -1, true);
    }
    renderer->DrawCrosshair();
    if (paused) {
        renderer->DrawMenu(panel.GetValue());
    }
    if (helpShown) {
        // On the panel rather than under it, outlined so that it reads over the brightest scene behind.
        font->SetTextPosition(-200.0f, PanelY() + 100.0f, 40);
        const int32_t typed = (now - helpOpenedAt) / 5;
        font->DrawOutlinedText(kHelpText, typed > 0 ? typed : 0, false);
    }
    if (paused && !helpShown) {
        renderer->DrawCursor(GetInput()->GetMousePosition());
    }
    GetFrameProfile()->StopCpu(XProfileSection::SubmissionCpu); // the swap is the driver's time, not the engine's
    GetWindow()->SwapBuffers();
    GetGLErrorWatch()->AfterFrame(++framesDrawn);
}

void XGame::CollectProjectilePositions()
{
    sparkPositions.clear();
    rocketPositions.clear();
    for (const XProjectile& record : GetProjectileList()->Records()) {
        (record.isRocket ? rocketPositions : sparkPositions).push_back(record.position);
    }
}

// ------------------------------------------------------------------------------------------------------------
// Player physics and keys
// ------------------------------------------------------------------------------------------------------------

void XGame::UpdatePlayerPhysics()
{
    const float frameTime = GetTimer()->GetFrameTime();
    if (!(frameTime > 0.0f && frameTime < 300.0f)) {
        return; // a stall (or a pause) must not throw the player through walls
    }
    XPlayerBody* const player = GetPlayer();
    XMotion motion;
    motion.position = player->GetPosition();
    const XVector3 velocity = player->PhysicsStep();
    motion.velocity = velocity * static_cast<float>(frameTime / 200.0);
    if (GetInput()->IsKeyDown('R')) {
        motion.velocity.x /= 4.0f;
        motion.velocity.z /= 4.0f;
    }
    XCollision* const collision = GetCollision();
    player->SetPosition(collision->CollideAndSlide(scene.get(), motion, kPlayerScale));
    if (collision->OnCeiling()) {
        player->GetVelocity().y = 0.0f;
    }
    if (collision->OnFloor()) {
        player->GetVelocity().y = 0.0f;
        player->SetAirborne(false);
        bodyWalked = bodyWalked || (collision->Overlaps() == 0 && !collision->Stopped());
    } else {
        player->SetAirborne(true);
    }
}

void XGame::UpdateKeyMovement()
{
    if (paused) {
        return;
    }
    XPlayerBody* const player = GetPlayer();
    XInput* const input = GetInput();
    player->ClearImpulse();
    const float step = GetTimer()->GetFrameTime() / 10.0f;
    const XVector3 flyForward = player->GetViewDirection() * (step / 5.0f);
    const XVector3 flySide = player->GetRight() * (step / 5.0f);
    if (input->IsKeyDown(VK_UP)) {
        flyMode ? player->SetPosition(player->GetPosition() + flyForward) : player->PushForward(true);
    }
    if (input->IsKeyDown(VK_DOWN)) {
        flyMode ? player->SetPosition(player->GetPosition() - flyForward) : player->PushForward(false);
    }
    if (input->IsKeyDown(VK_RIGHT)) {
        flyMode ? player->SetPosition(player->GetPosition() + flySide) : player->PushSide(true);
    }
    if (input->IsKeyDown(VK_LEFT)) {
        flyMode ? player->SetPosition(player->GetPosition() - flySide) : player->PushSide(false);
    }
    if (input->IsKeyDown(VK_HOME)) {
        player->Raise(0.2f);
    }
}

void XGame::AppendDebugLines()
{
    if (!debugInfo) {
        return;
    }
    XDebugText* const text = GetDebugText();
    const XPlayerBody* const player = GetPlayer();
    const XVector3& position = player->GetPosition();
    text->AppendLine("player at: %.2f, %.2f, %.2f", position.x, position.y, position.z);
    text->AppendLine("Zoom factor: %f", player->GetZoom());
    if (triangleMode == 1) {
        text->AppendLine("showtris : rendering triangles.");
    } else if (triangleMode == 2) {
        text->AppendLine("showtris : octree triangles.");
    } else {
        text->AppendLine("showtris : off.");
    }
    if (octreeBoxes) {
        text->AppendLine("drawing octree BB's.");
    }
    text->AppendLine(flyMode ? "player collision : fly mode" : "player collision : walk mode");
    text->AppendLine(extensionsInUse ? "using OpenGL extensions." : "not using OpenGL extensions.");
    text->AppendLine("drawn triangles: %d", GetRenderer()->DrawnTriangles());
}

void XGame::TogglePause()
{
    if (paused) {
        panel.Start(XVector3(0.0f, kPanelHidden, 0.0f), 0, 300, true);
        return;
    }
    paused = true;
    panel.SetValue(XVector3(0.0f, kPanelHidden, 0.0f));
    panel.Start(XVector3(0.0f, kPanelOpen, 0.0f), 0, 300, false);
    GetTimer()->Pause();
    GetInput()->SetMouseCapture(false);
}

void XGame::OpenHelp()
{
    TogglePause();
    helpShown = true;
    helpOpenedAt = GetTimer()->GetTime();
}

void XGame::OnAnimationFinished(int kind)
{
    if (kind == kPanelAnimation) {
        if (paused) {
            paused = false;
            GetTimer()->Resume();
            helpShown = false;
            GetInput()->SetMouseCapture(true);
            TakeHeldKeys();
        }
        return;
    }
    if (kind == kValueAnimation && weaponSwitching) {
        weaponSwitching = false;
        currentWeapon = pendingWeapon;
        weaponModels[1]->Start(weaponModels[0]->GetValue(), 0, 300, true);
    }
}

void XGame::TakeHeldKeys()
{
    const XInput* const input = GetInput();
    spotlightOn = input->IsKeyHeld(VK_CONTROL);
    const bool zoomHeld = input->IsKeyHeld(VK_SHIFT);
    if (zoomHeld != zoomedIn) {
        StartZoom(zoomHeld);
    }
    XPlayerBody* const player = GetPlayer();
    player->ClearImpulse();
    if (flyMode) {
        return; // flying moves by the keys directly, with no push to keep
    }
    if (input->IsKeyHeld(VK_UP)) {
        player->PushForward(true);
    }
    if (input->IsKeyHeld(VK_DOWN)) {
        player->PushForward(false);
    }
    if (input->IsKeyHeld(VK_RIGHT)) {
        player->PushSide(true);
    }
    if (input->IsKeyHeld(VK_LEFT)) {
        player->PushSide(false);
    }
}

void XGame::StartZoom(bool in)
{
    zoomedIn = in;
    GetPlayer()->Start(XVector3(in ? 10.0f : 1.0f, 0.0f, 0.0f), 0, 200, true);
}

// ------------------------------------------------------------------------------------------------------------
// Weapons
// ------------------------------------------------------------------------------------------------------------

void XGame::UpdateWeapons()
{
    if (paused || GetTimer()->GetFrameTime() == 0.0f) {
        return;
    }
    XInput* const input = GetInput();
    const bool left = input->GetButton(0);
    const bool right = input->GetButton(1);
    if (right) {
        GetPlayer()->Jump();
    }
    const int32_t now = GetTimer()->GetTime();
    if (left && currentWeapon == 1 && !weaponSwitching && now - lastShotTime >= 100) {
        FireGun(now);
    }
    if (left && currentWeapon == 2 && !weaponSwitching && now - lastShotTime >= 300) {
        LaunchRocket(now);
    }
}

void XGame::FireGun(int32_t now)
{
    lastShotTime = now;
    const XPlayerBody* const player = GetPlayer();
    const XVector3 eye = player->GetEyePosition();
    const XVector3& view = player->GetViewDirection();
    const XVector3& right = player->GetRight();
    XVector3 end = eye + view * 200.0f;
    const float a = SpreadAngle(random);
    const float b = SpreadAngle(random);
    RotateAroundAxis(end, a, right);
    RotateAroundAxis(end, b, Cross(right, view));

    XMotion shot;
    shot.position = eye;
    shot.velocity = end - eye;
    XContact contact;
    const bool hit = GetCollision()->CastSegment(scene.get(), shot, kUnitScale, contact);
    PlayOnce("sten", 250);
    if (hit) {
        GetDecalList()->Add(DecalFromContact(contact, 1));
        AddSparks(random, contact.point, 20, 200.0);
    }

    const float x = static_cast<float>((4.0 - (random.Next15() % 80) / 5.0) / 60.0);
    const float z = static_cast<float>((3.5 - (random.Next15() % 80) / 5.0) / 30.0);
    if (weaponModels.size() == 2) {
        weaponModels[1]->Start(weaponModels[0]->GetValue() + XVector3(x, 0.0f, z), 0, 100, true);
    }
}

void XGame::LaunchRocket(int32_t now)
{
    lastShotTime = now;
    const XPlayerBody* const player = GetPlayer();
    const XVector3& view = player->GetViewDirection();
    XProjectile rocket;
    rocket.position = player->GetEyePosition() + view / 2.0f;
    rocket.velocity = view / 20.0f;
    rocket.lifetime = kRocketLifetime;
    rocket.isRocket = true;
    rocket.up = Cross(player->GetRight(), view).Normalized();
    PlayOnce("rockfire", 250);
    if (XSound* const flight = GetSoundLibrary()->Find("rockfly")) {
        rocket.channel = flight->Play(true);
        if (rocket.channel != -1) {
            FSOUND_SetVolume(rocket.channel, EffectVolume(255));
        }
    }
    GetProjectileList()->Add(rocket);
}

void XGame::UpdateRockets()
{
    XProjectileList* const projectiles = GetProjectileList();
    XCollision* const collision = GetCollision();
    for (XProjectile& rocket : projectiles->Records()) {
        if (!rocket.isRocket) {
            continue;
        }
        XMotion probe;
        probe.position = rocket.position;
        probe.velocity = rocket.velocity.Normalized() * 3.0f;
        XContact contact;
        if (!collision->CastSegment(scene.get(), probe, kUnitScale, contact)) {
            if (rocket.channel != -1) {
                // The flight sound fades with age: 255 / (age / 500), full volume at first.
                double volume = rocket.age > 0.0f ? std::trunc(255.0 / (rocket.age / 500.0)) : 255.0;
                volume = volume > 255.0 ? 255.0 : (volume < 0.0 ? 0.0 : volume);
                FSOUND_SetVolume(rocket.channel, EffectVolume(static_cast<int>(volume)));
            }
            continue;
        }
        projectiles->Expire(rocket);
        XExplosion explosion;
        explosion.position = contact.point - GetPlayer()->GetViewDirection() * 1.0f;
        explosion.rotation = GetTimer()->GetTime();
        explosion.scale = 7.0f;
        explosion.age = 0;
        GetExplosionList()->Add(explosion);
        AddSparks(random, contact.point, 100, 50.0);
        GetDecalList()->Add(DecalFromContact(contact, 2));
        PlayOnce("rockexp", 250);
        if (GetSoundLibrary()->Find("rockfly") != nullptr) {
            FSOUND_StopSound(rocket.channel);
        }
    }
}

// ------------------------------------------------------------------------------------------------------------
// Input
// ------------------------------------------------------------------------------------------------------------

void XGame::OnMouseDown(XPoint, int32_t)
{
}

void XGame::OnMouseUp(XPoint, int32_t button)
{
    if (button == 0 && weaponModels.size() == 2) {
        weaponModels[1]->Start(weaponModels[0]->GetValue(), 0, 200, true);
    }
}

void XGame::OnMouseMove(float dx, float dy)
{
    if (GetTimer()->GetFrameTime() < 0.1f) {
        return;
    }
    XPlayerBody* const player = GetPlayer();
    const double zoom = player->GetZoom();
    const XSettings& settings = GetSettings();
    const double vertical = settings.invertLook ? -settings.mouseSensitivity : settings.mouseSensitivity;
    player->SetYaw(static_cast<float>(player->GetYaw() - (dx / 10.0 * settings.mouseSensitivity) / zoom));
    player->SetPitch(static_cast<float>(player->GetPitch() - (dy / 10.0 * vertical) / zoom));
}

void XGame::OnFocusLost()
{
    if (!paused) {
        TogglePause();
        debugInfo = false;
    }
}

void XGame::OnKeyDown(int key)
{
    XPlayerBody* const player = GetPlayer();
    switch (key) {
    case VK_TAB:
        if (weaponModels.size() == 2) {
            pendingWeapon = currentWeapon == 1 ? 2 : 1;
            weaponModels[1]->Start(weaponModels[0]->GetValue() + XVector3(0.0f, -4.0f, 0.0f), 0, 300, true);
            weaponSwitching = true;
        }
        break;
    case VK_SHIFT:
        if (!paused) {
            StartZoom(true);
        }
        break;
    case VK_CONTROL:
        spotlightOn = true;
        break;
    case VK_ESCAPE:
        GetWindow()->RestoreDisplayMode();
        PostQuitMessage(0);
        break;
    case VK_SPACE:
        TogglePause();
        debugInfo = false;
        break;
    case VK_F1:
        OpenHelp();
        debugInfo = false;
        break;
    case VK_F3:
        if (!paused) {
            octreeBoxes = !octreeBoxes;
        }
        break;
    case VK_F4:
        triangleMode = (triangleMode + 1) % 3;
        GetRenderer()->SetTriangleMode(triangleMode);
        break;
    case VK_F8:
        if (!paused) {
            player->SetPosition(spawn + kResetOffset);
            bodyWalked = false;
        }
        break;
    case VK_F12:
        if (!paused) {
            debugInfo = !debugInfo;
        }
        break;
    case 'F':
        if (!paused) {
            flyMode = !flyMode;
            bodyWalked = false;
        }
        break;
    case 'W':
        if (!paused) {
            weaponEnabled = !weaponEnabled;
        }
        break;
    default:
        break;
    }
}

void XGame::OnKeyUp(int key)
{
    if (paused) {
        return;
    }
    XPlayerBody* const player = GetPlayer();
    player->ClearImpulse();
    if (key == VK_SHIFT) {
        StartZoom(false);
    } else if (key == VK_CONTROL) {
        spotlightOn = false;
    }
}

XGame* GetGame()
{
    static XGame* const game = new XGame();
    return game;
}
