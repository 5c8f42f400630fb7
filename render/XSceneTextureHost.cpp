// XSceneTextureHost: scene textures from the texture table, and loading-screen lines.
#include "render/XSceneTextureHost.h"

#include "render/XFont.h"
#include "render/XTextureLoader.h"
#include "render/XTextureManager.h"
#include "shell/XWindow.h"

#include <GL/gl.h>

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
}

void XSceneTextureHost::LoadJpegTexture(int row, const std::string& archivePath)
{
    StoreSceneTexture(row, GetTextureLoader()->CreateTextureFromJPEG(archivePath, false, GL_REPEAT), archivePath);
}

void XSceneTextureHost::LoadBitmapTexture(int row, const std::string& archivePath)
{
    StoreSceneTexture(row, GetTextureLoader()->CreateTextureFromBitmap(2, archivePath, false, GL_REPEAT),
                      archivePath);
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
