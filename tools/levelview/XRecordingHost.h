// XRecordingHost: a scene loader host that only records which picture file each texture row names, so that
// the level viewer can load them itself, without OpenGL.
// Depends on: XSceneLoaderHost.
#pragma once

#include "scene/XSceneLoaderHost.h"

#include <string>
#include <vector>

class XRecordingHost : public XSceneLoaderHost {
public:
    void ResizeSceneTextures(int count) override { fileNames.assign(static_cast<size_t>(count), std::string()); }
    void LoadJpegTexture(int row, const std::string& archivePath) override { Record(row, archivePath); }
    void LoadBitmapTexture(int row, const std::string& archivePath) override { Record(row, archivePath); }
    void ShowProgress(const std::string&) override {}

    // Row r's file name as the scene file gives it (empty when the row was never loaded): for the game's own
    // level a name inside the archive folder "scene", for a map an archive path ("maps\\citadel\\lightmap0.bmp").
    const std::vector<std::string>& FileNames() const { return fileNames; }

private:
    void Record(int row, const std::string& archivePath)
    {
        // The loader puts the scene folder in front of every name; what follows it is the file's own text.
        const std::string sceneFolder = "scene\\";
        if (row >= 0 && row < static_cast<int>(fileNames.size())) {
            const bool inScene = archivePath.compare(0, sceneFolder.size(), sceneFolder) == 0;
            fileNames[static_cast<size_t>(row)] = inScene ? archivePath.substr(sceneFolder.size()) : archivePath;
        }
    }

    std::vector<std::string> fileNames;
};
