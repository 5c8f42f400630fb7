// XLevelPreview: the level viewer mode (--level FILE): a level source compiled on the fly into a scratch
// folder (the scene file and its light maps, lit with the game's own textures taken from its archive), which
// the archive layer then serves in front of the game's archive — so a level author walks a change at once,
// without repacking anything.
// Depends on: the level compiler (tools/levelc), the archive (scene/XArchive).
#pragma once

#include <string>

struct XLevelPreview {
    bool compiled = false;
    std::string folder;  // the scratch folder holding scene/world.msa and the light maps
    std::string summary; // what the compiler made, for the user
    std::string error;   // why it failed: the file, the line and the problem
};

// Compiles the level source with the base textures of the archive; does not touch the archive selection.
XLevelPreview CompileLevelPreview(const std::string& sourcePath, const std::string& archivePath);

// A new scratch folder for a compile of the level, holding the base textures of the preview compiled at the
// start (copied from its folder's scene/: no use of the archive, so any thread may make one). Empty, with the
// reason in problem, when it cannot be made.
std::string MakeLevelFolder(const XLevelPreview& first, std::string& problem);

// Removes a preview's scratch folder.
void RemoveLevelPreview(const XLevelPreview& preview);
void RemoveLevelFolder(const std::string& folder);
