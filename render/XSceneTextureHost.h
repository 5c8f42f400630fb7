// XSceneTextureHost: the render layer's side of the scene loader — it turns the scene file's texture table
// into scene textures of the texture manager, and draws the loader's progress lines on cleared screens.
//
// Pictures of the table that are missing from the archive (or cannot be decoded) leave their rows empty and
// are reported together once the table is read: one missing picture as "Texture file NAME not found.", more
// as one message with their count and the first few names (the log lists the first hundred).
// Depends on: XTextureManager, XTextureLoader, XFont, XWindow, XLog, OpenGL.
#pragma once

#include "scene/XPictureDecoder.h" // XPicturePixels
#include "scene/XSceneLoaderHost.h"

#include <string>
#include <vector>

class XSceneTextureHost : public XSceneLoaderHost {
public:
    static constexpr int kNamedInMessage = 5;  // missing pictures named in the message
    static constexpr int kNamedInLog = 100;    // missing pictures listed in the log

    void ResizeSceneTextures(int count) override;
    void LoadJpegTexture(int row, const std::string& archivePath) override;
    void LoadBitmapTexture(int row, const std::string& archivePath) override;
    // Creates the texture of row `row` from a picture decoded beforehand (a level prepared off the main thread);
    // a picture of no pixels counts as missing, like a picture the archive does not have.
    void LoadDecodedTexture(int row, const XPicturePixels& picture, const std::string& archivePath);
    void FinishSceneTextures() override;
    void ShowProgress(const std::string& text) override;

private:
    void NoteMissing(const std::string& archivePath);

    std::vector<std::string> missingPictures; // the first kNamedInLog, in table order
    int missingCount = 0;
};

// Clears the screen, draws one line of text with the overlay at its current position, and presents it.
void ShowLoadingMessage(const char* text);
