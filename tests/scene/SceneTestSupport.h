// Helpers for the scene tests: the test data files, a ZIP archive holding a scene file, and a loader host
// that records what the loader asks of it. Files, ZIP archives and unique names come from tests/support.
#pragma once

#include "math/XVector3.h"
#include "scene/XSceneLoaderHost.h"
#include "support/FileContents.h"
#include "support/TestArchive.h"

#include <string>
#include <vector>

// Expects each component of the vector within 1e-5 of x, y, z.
void ExpectVector(const XVector3& actual, float x, float y, float z);

// The bytes of tests/scene/data/<name>; fails the calling test when the file cannot be read.
std::string ReadSceneData(const std::string& name);

// Makes an archive whose only entry is "scene/world.msa" with the given text, selects it and makes it the
// archive the options name (as the game does before loading).
void SelectArchiveWithScene(const std::string& sceneText);

// Records every call as one line: "resize N", "jpeg ROW PATH", "bmp ROW PATH", "progress TEXT".
class RecordingHost : public XSceneLoaderHost {
public:
    void ResizeSceneTextures(int count) override;
    void LoadJpegTexture(int row, const std::string& archivePath) override;
    void LoadBitmapTexture(int row, const std::string& archivePath) override;
    void ShowProgress(const std::string& text) override;

    std::vector<std::string> calls;
};

// True when some text of the list contains every one of the parts.
bool AnyContains(const std::vector<std::string>& texts, const std::vector<std::string>& parts);
