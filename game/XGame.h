// XGame: the one object that owns the play — the scene, the player bodies, the weapon models, the pause panel
// and every game flag. It is the program's only input listener. Its start-up (StartUp, then Init) runs inside
// the first frame, once the window's OpenGL context exists; Frame runs once per loop pass.
//
// File index: construction and start-up; the frame; player physics and keys; weapons; input handlers.
// Depends on: every layer below (shell, scene, sound, space, render).
#pragma once

#include "game/XPausePanel.h"
#include "game/XPlayerBody.h"
#include "math/XRandom.h"
#include "scene/XSceneLoader.h"
#include "shell/XInputListener.h"
#include "shell/XVectorAnimator.h"

#include <array>
#include <cstdint> // int32_t
#include <future>
#include <memory> // std::unique_ptr
#include <string>
#include <vector>

class XCollisionMesh;
class XOctTree;
class XScene;
class XSceneTextureHost;
class XTrace;
struct XPreparedLevel;

class XGame : public XInputListener {
public:
    static constexpr int kBodyCount = 10;

    XGame();
    ~XGame() override;

    XPlayerBody* GetPlayer() const;
    XScene* GetScene() const;
    const char* GetArchiveName() const;

    // --- Start-up
    // The first-frame hook: the extension entry points, then Init("world").
    void StartUp();
    // Loads the scene with its loading screens, builds the octree, prepares the weapons and the sound.
    void Init(const char* sceneName);

    // --- Another level in place of the running one (the level watcher's)
    // Swaps the prepared level in, between two frames: its textures are made (the old scene's are deleted),
    // its tables, scene, octree, collision triangles and visibility take the old ones' places, and the old
    // level's projectiles, marks and explosions go. The player keeps position, view and state, unless
    // keepPlayer is false (the new level has geometry where the player is): then the player starts again at
    // the new level's spawn (F8 resets to the new spawn either way). The old scene and octree are left in
    // `level`, to be freed where it costs no frame.
    // Returns the milliseconds spent making the textures (the upload).
    double AdoptLevel(XPreparedLevel& level, bool keepPlayer);
    // The levels swapped in so far.
    int ReloadCount() const { return reloads; }
    // A line or two shown over the game at the top left, for showForMs of game time (0: until the next note);
    // an empty text clears it.
    void SetLevelNote(const std::string& text, int32_t showForMs);
    const std::string& LevelNote() const { return levelNote; }
    // The scale of the player's body in the collision queries.
    static const XVector3& PlayerScale();

    // --- The frame
    void Frame();
    void UpdatePlayerPhysics();
    void UpdateKeyMovement();
    void AppendDebugLines();
    void TogglePause();
    void OpenHelp();
    // Arrival reports of animators, by kind: the pause panel's ends the pause, a weapon model's ends a running
    // weapon switch, the zoom's ends nothing.
    void OnAnimationFinished(int kind);
    // Takes the keys as they are held now for what their presses and releases set: the spotlight, the zoom
    // and the walking push. Releases during a pause reach none of the handlers, so play resumes with this.
    void TakeHeldKeys();

    // --- Weapons
    void UpdateWeapons();
    void UpdateRockets();

    // --- Input
    void OnMouseDown(XPoint point, int32_t button) override;
    void OnMouseUp(XPoint point, int32_t button) override;
    void OnMouseMove(float dx, float dy) override;
    void OnKeyDown(int key) override;
    void OnKeyUp(int key) override;
    // Switching to another program pauses the game, as Space would.
    void OnFocusLost() override;

    // --- State, for the trace and tests
    int32_t CurrentWeapon() const { return currentWeapon; }
    bool IsFlyMode() const { return flyMode; }
    bool IsPaused() const { return paused; }
    bool IsHelpShown() const { return helpShown; }
    bool IsSpotlightOn() const { return spotlightOn; }
    bool IsWeaponEnabled() const { return weaponEnabled; }
    bool IsWeaponSwitching() const { return weaponSwitching; }
    bool AreOctreeBoxesShown() const { return octreeBoxes; }
    bool IsDebugInfoShown() const { return debugInfo; }
    int32_t TriangleMode() const { return triangleMode; }
    float PanelY() const;

    static const char* const kHelpText;

private:
    void FireGun(int32_t now);
    void LaunchRocket(int32_t now);
    void DrawFrame();
    // Starts the zoom in to 10x (Shift pressed) or back out to 1x (released), over 200 ms.
    void StartZoom(bool in);
    void CollectProjectilePositions();
    // Draws every pass once, with a sample of each effect, and clears the picture again, so that the driver
    // prepares each pass's state during the start-up instead of stalling the frame that first needs it.
    void WarmUpPasses();
    void LoadVisibility();
    // The level's spawn point from its settings file beside the scene file.
    void LoadLevelInfo();
    // Both scales' collision triangles, made on threads of their own.
    struct CollisionMeshes {
        std::unique_ptr<XCollisionMesh> player;
        std::unique_ptr<XCollisionMesh> unit;
        double milliseconds = 0.0; // from the start of their build to its end
    };
    // Makes the world's octree and starts the collision triangles' build beside the rest of the loading, as
    // soon as the scene file's objects are read. A scene without a world is left to the steps after the file.
    void StartGeometry();
    // The collision queries' prepared triangles at the player's scale and at the unit scale: those started by
    // StartGeometry when it could, made here otherwise.
    void PrepareCollision();
    static CollisionMeshes MakeCollisionMeshes(const XOctTree& tree);
    // Makes the room of the weapons' effects (records, marks, explosions, the positions drawn) once, so that
    // no frame, however much it fires, allocates for them.
    void ReserveEffects();

    std::string archiveName;
    int32_t currentWeapon = 1;
    int32_t helpOpenedAt = 0;
    bool flyMode = false;
    // Whether the body is where walking put it. Fly mode, a reset of the position or a level swapped in under
    // the player may leave it inside or against a solid, where the eye sees through what the visibility data
    // counts on; it is where walking put it again once it stands on a floor, clear of everything.
    bool bodyWalked = true;
    int32_t currentBody = 0;
    XVector3 spawn; // where the level's player stands at the start
    std::unique_ptr<XScene> scene;
    std::unique_ptr<XOctTree> octree; // the scene's (the scene does not own it)
    double geometryTime = 0.0;        // milliseconds StartGeometry took
    std::future<CollisionMeshes> collisionBuild; // started by StartGeometry
    int reloads = 0;
    std::string levelNote;
    int32_t levelNoteUntil = 0; // game time the note goes at
    bool levelNoteStays = false;
    std::array<std::unique_ptr<XPlayerBody>, kBodyCount> bodies;
    XSceneLoader sceneLoader;
    bool helpShown = false;
    bool spotlightOn = false;
    bool zoomedIn = false; // the last zoom started went in
    bool weaponEnabled = true;
    bool extensionsInUse = false;
    bool octreeBoxes = false;
    int32_t triangleMode = 0;
    bool debugInfo = false;
    bool paused = false;
    std::vector<std::unique_ptr<XVectorAnimator>> weaponModels;
    XPausePanel panel;
    bool weaponSwitching = false;
    int32_t pendingWeapon = 1;

    std::unique_ptr<XSceneTextureHost> textureHost;
    std::unique_ptr<XTrace> trace;
    int32_t lastShotTime = 0;
    // The shots' spread, the sparks and the gun's kick, one stream a run: a replayed fight draws the same numbers
    // whatever else in the process uses the C library's generator.
    XRandom random;
    int framesDrawn = 0; // for the OpenGL error watch
    // Reused every frame for the projectile pass.
    std::vector<XVector3> sparkPositions;
    std::vector<XVector3> rocketPositions;
};

// The process-wide game object, created on first use.
XGame* GetGame();
