// Helpers for the scene tests, and the scratch working directory every test runs in.
#include "SceneTestSupport.h"

#include "scene/XArchive.h"
#include "shell/XLog.h"
#include "shell/XOptions.h"
#include "support/ScratchEnvironment.h"
#include "support/TestArchive.h"

#include <gtest/gtest.h>

namespace {

// The loaders write "Korvath.log" into the working directory: keep it out of the source and build trees.
// No test may ever reach a message box, so they go to stderr.
class SceneTestEnvironment : public ScratchEnvironment {
public:
    SceneTestEnvironment() : ScratchEnvironment("korvath-scene-test") {}

    void SetUp() override
    {
        ScratchEnvironment::SetUp();
        GetLog()->SetDialogsEnabled(false);
    }
};

::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new SceneTestEnvironment());

} // namespace

void ExpectVector(const XVector3& actual, float x, float y, float z)
{
    EXPECT_NEAR(actual.x, x, 1e-5f);
    EXPECT_NEAR(actual.y, y, 1e-5f);
    EXPECT_NEAR(actual.z, z, 1e-5f);
}

std::string ReadSceneData(const std::string& name)
{
    const std::string path = std::string(KORVATH_SOURCE_DIR) + "/tests/scene/data/" + name;
    const std::string text = ReadWholeFile(path);
    EXPECT_FALSE(text.empty()) << "cannot read " << path;
    return text;
}

void SelectArchiveWithScene(const std::string& sceneText)
{
    const std::string path = UniqueFileName("scene", ".zip");
    WriteZip(path, {{"scene/world.msa", Bytes(sceneText.begin(), sceneText.end())}});
    XOptions options = GetOptions();
    options.archive = path;
    SetOptions(options);
    ASSERT_TRUE(QXInitialize());
    ASSERT_TRUE(QXSetArchive(path.c_str(), ""));
}

void RecordingHost::ResizeSceneTextures(int count)
{
    calls.push_back("resize " + std::to_string(count));
}

void RecordingHost::LoadJpegTexture(int row, const std::string& archivePath)
{
    calls.push_back("jpeg " + std::to_string(row) + " " + archivePath);
}

void RecordingHost::LoadBitmapTexture(int row, const std::string& archivePath)
{
    calls.push_back("bmp " + std::to_string(row) + " " + archivePath);
}

void RecordingHost::ShowProgress(const std::string& text)
{
    calls.push_back("progress " + text);
}

bool AnyContains(const std::vector<std::string>& texts, const std::vector<std::string>& parts)
{
    for (const std::string& text : texts) {
        bool all = true;
        for (const std::string& part : parts) {
            all = all && text.find(part) != std::string::npos;
        }
        if (all) {
            return true;
        }
    }
    return false;
}
