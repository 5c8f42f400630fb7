// XSceneTextureHost: scene textures from the texture table, and loading-screen lines.
#include "render/XSceneTextureHost.h"

#include "render/XFont.h"
#include "render/XTextureLoader.h"
#include "render/XTextureManager.h"
#include "shell/XLog.h"
#include "shell/XWindow.h"

#include <GL/gl.h>

#include <algorithm> // std::min
#include <memory>    // std::unique_ptr
#include <utility>   // std::move

namespace {

// Stores a freshly created texture in its row with the scene textures' wrap and filter.
void StoreSceneTexture(int row, std::unique_ptr<XTexture> texture, const std::string& archivePath)
{
    XTextureManager* const manager = GetTextureManager();
    if (row < 0 || row >= manager->GetSceneTextureCount()) {
        return;
    }
    if (texture) {
        texture->SetName(archivePath);
        texture->SetWrap(GL_REPEAT);
        texture->SetFilter(GL_LINEAR_MIPMAP_NEAREST);
    }
    manager->SetTexture(row, std::move(texture));
}

} // namespace

void XSceneTextureHost::ResizeSceneTextures(int count)
{
    GetTextureManager()->ResizeSceneTextures(count);
    missingPictures.clear();
    missingCount = 0;
}

void XSceneTextureHost::LoadJpegTexture(int row, const std::string& archivePath)
{
    std::unique_ptr<XTexture> texture =
        GetTextureLoader()->CreateTextureFromJPEG(archivePath, false, GL_REPEAT, XMissingPicture::LeaveToCaller);
    if (!texture) {
        NoteMissing(archivePath);
    }
    StoreSceneTexture(row, std::move(texture), archivePath);
}

void XSceneTextureHost::LoadBitmapTexture(int row, const std::string& archivePath)
{
    std::unique_ptr<XTexture> texture = GetTextureLoader()->CreateTextureFromBitmap(2, archivePath, false, GL_REPEAT,
                                                                                    XMissingPicture::LeaveToCaller);
    if (!texture) {
        NoteMissing(archivePath);
    }
    StoreSceneTexture(row, std::move(texture), archivePath);
}

void XSceneTextureHost::LoadDecodedTexture(int row, const XPicturePixels& picture, const std::string& archivePath)
{
    std::unique_ptr<XTexture> texture = GetTextureLoader()->CreateTextureFromPixels(picture, archivePath, GL_REPEAT);
    if (!texture) {
        NoteMissing(archivePath);
    }
    StoreSceneTexture(row, std::move(texture), archivePath);
}

void XSceneTextureHost::NoteMissing(const std::string& archivePath)
{
    ++missingCount;
    if (missingCount <= kNamedInLog) {
        missingPictures.push_back(archivePath);
    }
}

void XSceneTextureHost::FinishSceneTextures()
{
    if (missingCount == 0) {
        return;
    }
    if (missingCount == 1) {
        GetLog()->ShowError("Texture file " + missingPictures.front() + " not found.");
    } else {
        for (const std::string& name : missingPictures) {
            GetLog()->Log("Texture file " + name + " not found.");
        }
        if (missingCount > kNamedInLog) {
            GetLog()->Log(std::to_string(missingCount - kNamedInLog) + " more texture files not found.");
        }
        std::string names;
        const int named = std::min(missingCount, kNamedInMessage);
        for (int i = 0; i < named; ++i) {
            names += (i > 0 ? ", " : "") + missingPictures[static_cast<size_t>(i)];
        }
        if (missingCount > named) {
            names += " and " + std::to_string(missingCount - named) + " more";
        }
        GetLog()->ShowError(std::to_string(missingCount) + " texture files not found: " + names + ".");
    }
    missingPictures.clear();
    missingCount = 0;
}

void XSceneTextureHost::ShowProgress(const std::string& text)
{
    ShowLoadingMessage(text.c_str());
}

void ShowLoadingMessage(const char* text)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GetFont()->DrawText(text, -1, true);
    GetWindow()->SwapBuffers();
}
