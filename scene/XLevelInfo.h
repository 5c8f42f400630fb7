// XLevelInfo: what the level compiler tells the game about a level besides its scene and visibility: where the
// player starts ("scene\world.info" beside the scene file).
//
// The file is text, a setting a line: "spawn X Y Z" (the point the player's feet stand on at the start). Blank
// lines and lines starting with '#' are skipped, and so are keys this version does not know, so that a newer
// compiler's file still reads. A level without the file starts at the origin.
// Depends on: XVector3.
#pragma once

#include "math/XVector3.h"

#include <cstddef> // size_t
#include <string>

struct XLevelInfo {
    XVector3 spawn;

    // Reads the file's text. False, with the reason and line in problem, when a known key's line cannot be read
    // (then nothing of the file is taken).
    bool Parse(const char* text, size_t size, std::string& problem);
};
