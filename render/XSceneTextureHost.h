// XSceneTextureHost: the render layer's side of the scene loader — it turns the scene file's texture table
// into scene textures of the texture manager, and draws the loader's progress lines on cleared screens.
// Depends on: XTextureManager, XTextureLoader, XFont, XWindow, OpenGL.
#pragma once

#include "scene/XSceneLoaderHost.h"

class XSceneTextureHost : public XSceneLoaderHost {
public:
    void ResizeSceneTextures(int count) override;
    void LoadJpegTexture(int row, const std::string& archivePath) override;
    void LoadBitmapTexture(int row, const std::string& archivePath) override;
    void ShowProgress(const std::string& text) override;
};

// Clears the screen, draws one line of text with the overlay at its current position, and presents it.
void ShowLoadingMessage(const char* text);
