// XSceneLoaderHost: what the scene loader needs from the layers above it to fill the scene texture table
// and to show its progress. The render layer implements it (creating GL textures, drawing the loading
// text); the loader itself stays free of OpenGL, so it can be tested and fuzzed without a window.
// Depends on: nothing.
#pragma once

#include <string>

class XSceneLoaderHost {
public:
    virtual ~XSceneLoaderHost() = default;

    // Empties the scene texture table and sizes it to count entries, all empty.
    virtual void ResizeSceneTextures(int count) = 0;

    // Creates the texture of table row `row` from the archive picture (a JPEG or a BMP). A picture that
    // cannot be loaded leaves the row empty, which the renderers treat as "bind nothing".
    virtual void LoadJpegTexture(int row, const std::string& archivePath) = 0;
    virtual void LoadBitmapTexture(int row, const std::string& archivePath) = 0;

    // Called once the texture table has been read (also when it was missing or cut short): the place to
    // report, in one message, the pictures that could not be loaded.
    virtual void FinishSceneTextures() {}

    // Shows one line of loading progress on a freshly cleared screen.
    virtual void ShowProgress(const std::string& text) = 0;
};
