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

    // Row r's file name inside the archive folder "scene" (empty when the row was never loaded).
    const std::vector<std::string>& FileNames() const { return fileNames; }

private:
    void Record(int row, const std::string& archivePath)
    {
        if (row >= 0 && row < static_cast<int>(fileNames.size())) {
            const size_t slash = archivePath.find_last_of("\\/");
            fileNames[static_cast<size_t>(row)] = slash == std::string::npos ? archivePath : archivePath.substr(slash + 1);
        }
    }

    std::vector<std::string> fileNames;
};
