// Helpers for the scene tests, and the temporary working directory every test runs in.
#include "SceneTestSupport.h"

#include "scene/XArchive.h"
#include "shell/XLog.h"
#include "shell/XOptions.h"

#include <gtest/gtest.h>
#include <zip.h> // zip_open, zip_file_add, ...

#include <cstdio>     // std::fopen
#include <cstdlib>    // mkdtemp
#include <filesystem> // std::filesystem::remove_all
#include <fstream>    // std::ifstream
#include <sstream>    // std::ostringstream
#include <unistd.h>   // chdir

namespace {

// The loaders write "Korvath.log" into the working directory: keep it out of the source and build trees.
// No test may ever reach a message box, so they go to stderr.
class SceneTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        char pattern[] = "/tmp/korvath-scene-test-XXXXXX";
        const char* const directory = mkdtemp(pattern);
        ASSERT_NE(directory, nullptr);
        path = directory;
        ASSERT_EQ(chdir(directory), 0);
        GetLog()->SetDialogsEnabled(false);
    }

    void TearDown() override
    {
        if (!path.empty() && chdir("/tmp") == 0) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }

private:
    std::string path;
};

::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new SceneTestEnvironment());

} // namespace

std::string ReadSceneData(const std::string& name)
{
    const std::string path = std::string(KORVATH_SOURCE_DIR) + "/tests/scene/data/" + name;
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << "cannot read " << path;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries)
{
    int error = 0;
    zip_t* const archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr) << "zip_open failed with " << error;
    for (const auto& entry : entries) {
        zip_source_t* const source = zip_source_buffer(archive, entry.second.data(), entry.second.size(), 0);
        ASSERT_NE(source, nullptr);
        ASSERT_GE(zip_file_add(archive, entry.first.c_str(), source, ZIP_FL_ENC_UTF_8), 0) << zip_strerror(archive);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

void WriteTextFile(const std::string& path, const std::string& text)
{
    FILE* const file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(text.data(), 1, text.size(), file), text.size());
    std::fclose(file);
}

std::string UniqueFileName(const char* stem, const char* extension)
{
    static int counter = 0;
    ++counter;
    return std::string(stem) + "-" + std::to_string(counter) + extension;
}

void SelectArchiveWithScene(const std::string& sceneText)
{
    const std::string path = UniqueFileName("scene", ".zip");
    WriteZip(path, {{"scene/world.msa", sceneText}});
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
