// TestLevel: small levels made in code for end-to-end tests — a list of textured quads written as a scene
// file, packed with the engine's own data files (fonts, sounds, effect pictures from the build's data
// folder) into an archive the real program can load.
#pragma once

#include "math/XVector3.h"

#include <filesystem>
#include <string>
#include <vector>

class TestLevel {
public:
    // A quad a-b-c-d, counter-clockwise seen from the open side (its normal points there).
    TestLevel& Quad(const XVector3& a, const XVector3& b, const XVector3& c, const XVector3& d);
    // A floor at height y facing up over x0..x1, z0..z1.
    TestLevel& Floor(float y, float x0, float z0, float x1, float z1);
    // A ceiling at height y facing down.
    TestLevel& Ceiling(float y, float x0, float z0, float x1, float z1);
    // A wall in the plane z = z facing -z, over x0..x1 and y0..y1.
    TestLevel& WallFacingMinusZ(float z, float x0, float x1, float y0, float y1);
    // A wall in the plane x = x facing -x.
    TestLevel& WallFacingMinusX(float x, float z0, float z1, float y0, float y1);
    TestLevel& Light(const XVector3& position, const XVector3& color);
    // Leaves out the "world" object (for the missing-world case).
    TestLevel& WithoutWorld();
    // Leaves an engine data entry ("misc/font.bmp") out of the archive.
    TestLevel& WithoutEntry(const std::string& name);
    // Every surface pure white (its picture and its light map): the brightest scene there is.
    TestLevel& WhiteSurfaces();
    // Writes the world as parts ("world", "world.2", ...) of at most quads quads each, in the order they were
    // added, as a world too large for one mesh comes.
    TestLevel& InParts(int quads);

    // The scene file's text.
    std::string SceneText() const;
    // Writes an archive at path: the build's engine data plus this level. False when the build's data
    // folder is missing.
    bool WriteArchive(const std::filesystem::path& path) const;

private:
    std::vector<XVector3> corners; // four per quad
    std::vector<std::pair<XVector3, XVector3>> lights;
    bool withWorld = true;
    std::vector<std::string> leftOut;
    bool white = false;
    int quadsPerPart = 0; // 0: one object
};
