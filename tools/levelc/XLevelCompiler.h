// XLevelCompiler: turns a level source into the engine's scene file and its pictures.
//
// Steps: parse the source; cut the solids' faces against each other; flood the open space from the spawn
// and leave out faces that look into the void; weld, repair T-junctions and triangulate; lay out the light
// maps; assemble the "world" object (one material per base texture and light-map page) and the sky dome,
// weapon and bullet models; bake the light maps; work out the visibility; cut a world beyond the engine's mesh
// limits into parts ("world", "world.2", ...); write "scene/world.msa", "scene/world.vis", "scene/world.info"
// (the spawn) and "scene/lightmap<N>.bmp" into the staging folder (a map's into "maps/<name>/"). The base
// textures must already be in <staging>/scene: their average colours tint the bounced light.
// Depends on: everything else in tools/levelc.
#pragma once

#include "tools/levelc/XLevelSource.h"
#include "tools/levelc/XLightBaker.h"
#include "tools/levelc/XSceneObject.h"

#include <string>
#include <vector>

// The time one step of a compile took.
struct XStageTime {
    std::string name;
    double seconds = 0.0;
};

struct XCompileStats {
    int solids = 0;
    int fragments = 0;
    int culledFragments = 0;
    int polygons = 0;
    int charts = 0;
    int pages = 0;
    double pageUsage = 0.0;
    int worldVertices = 0;
    int worldTriangles = 0;
    int worldMaterials = 0;
    int worldParts = 1; // scene objects the world takes ("world", "world.2", ...)
    long reachableCells = 0;
    int visibilityViewCells = 0;    // cells the eye can be in
    int visibilityOwnerCells = 0;   // cells that hold triangles
    double visibilityAverageSeen = 0.0; // owner cells a view cell sees, on average
    std::vector<std::string> warnings;
    std::vector<XStageTime> stages; // in the order they ran
};

// How to compile a level and where its files go.
struct XCompileSettings {
    XBakeSettings bake;
    // Preview quality: four hemisphere rays a texel, light-map texels twice as large, no bounced light, and a
    // visibility file in which every cell sees everything within the camera's reach. The level is as correct
    // and as fully lit as at shipping quality, only coarser, and it compiles many times faster.
    bool quick = false;
    // Preview light maps only, with the shipping visibility file: for test builds, whose pictures need the
    // level's real visibility but not its finest light.
    bool quickLight = false;
    // Empty for the game's own level, written to <staging>/scene. Otherwise the name of a map (letters, digits,
    // '-' and '_'), written to <staging>/maps/<name>: its scene file names every picture by its archive path
    // ("scene\\brick.jpg" for the base textures it shares, "maps\\<name>\\lightmap0.bmp" for its own light maps).
    std::string map;
};

class XLevelCompiler {
public:
    static const int kMaxCount = 50000; // the engine's mesh limit (counts must stay below it)
    static const int kMaxMapName = 40;

    // Compiles the source file into the staging folder. Throws XLevelError with the file and line of the
    // problem (or line 0 for problems of the whole level).
    static XCompileStats CompileFile(const std::string& sourcePath, const std::string& stagingFolder,
                                     const XCompileSettings& settings);
    static XCompileStats CompileFile(const std::string& sourcePath, const std::string& stagingFolder,
                                     const XBakeSettings& settings);

    // The same for a parsed source; the scene is returned as well as written.
    static XCompileStats Compile(const XLevelSource& level, const std::string& stagingFolder,
                                 const XCompileSettings& settings, XSceneFile& scene);
    // The game's own level at the given bake settings.
    static XCompileStats Compile(const XLevelSource& level, const std::string& stagingFolder,
                                 const XBakeSettings& settings, XSceneFile& scene);

    // File names of the light-map pages.
    static std::string LightmapName(int page);

    // The folder, relative to the staging folder, that a level's files go to ("scene" or "maps/<name>").
    static std::string OutputFolder(const XCompileSettings& settings);
};
