// XPreparedLevel: a level read and built away from the main thread, ready to take the running game's place at a
// frame boundary (XGame::AdoptLevel): the scene with its meshes and octree, its material and light tables, its
// pictures decoded but not yet made textures (that needs the OpenGL context), the collision triangles prepared
// for the player's and the unit scale, and the visibility data.
//
// PrepareLevel makes one from a folder of compiled level files (the level viewer's: scene/world.msa, its
// pictures, scene/world.vis, scene/world.info). It touches neither OpenGL nor the archive layer, whose state
// belongs to the main thread; a picture the folder does not have is left for the main thread to read from the
// archive.
// Depends on: XScene, XSceneLoader, XShaderManager, XLightManager, XPictureDecoder, XVisibility, XOctTree,
// XCollisionMesh, XOptions.
#pragma once

#include "scene/XLevelInfo.h"
#include "scene/XLightManager.h"
#include "scene/XPictureDecoder.h"
#include "scene/XScene.h"
#include "scene/XShaderManager.h"
#include "scene/XVisibility.h"
#include "space/XCollisionMesh.h"
#include "space/XOctTree.h"

#include <memory> // std::unique_ptr
#include <string>
#include <vector>

// One row of the scene's texture table.
struct XPreparedPicture {
    int row = 0;
    std::string archivePath;  // as the scene file names it: "scene\floor_tiles.jpg"
    bool bitmap = false;      // a bitmap row (else a JPEG row), for a picture read from the archive
    bool fromArchive = false; // not in the folder: the main thread reads it from the archive
    XPicturePixels pixels;    // decoded from the folder; empty when it could not be decoded (a missing picture)
};

struct XPreparedLevel {
    std::unique_ptr<XScene> scene;
    std::unique_ptr<XOctTree> octree; // the scene's, owned here (the scene does not own it)
    XShaderManager shaders;
    XLightManager lights;
    int textureCount = 0;
    std::vector<XPreparedPicture> pictures;
    std::unique_ptr<XCollisionMesh> playerTriangles;
    std::unique_ptr<XCollisionMesh> unitTriangles;
    bool hasVisibility = false;
    XVisibility visibility;
    std::string visibilityNote; // what became of the visibility file, for the log
    XLevelInfo info;            // from the level's settings file (defaults without one)
    std::string infoProblem;    // why that file could not be read, for the log; empty when it could
    int worldTriangles = 0;
};

// Reads and builds the level of the folder for bodies of the given scale. False, with the reason in problem,
// when the folder holds no scene file or the scene has no world to walk in; problems of single lines of the
// scene file go to the log as the scene loader reports them.
bool PrepareLevel(const std::string& folder, const XVector3& playerScale, XPreparedLevel& level,
                  std::string& problem);
