// Levels beyond the engine's limits: meshes of 50,000 vertices or triangles (indices are 16-bit, the limit is
// 49,999) and light tables longer than 100. The loader leaves out what does not fit and says so; the game
// runs on when the world is still there, and stops with its reason when it is not.
#include "FaultRun.h"
#include "TestLevel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The engine's files with a level of the given scene text (textures "base.bmp" and "light.bmp", as the
// test levels name them).
std::vector<ZipEntry> LevelEntries(const std::string& sceneText)
{
    std::vector<ZipEntry> entries;
    for (ZipEntry& entry : DefaultDataEntries()) {
        if (entry.name.rfind("scene/", 0) != 0) {
            entries.push_back(std::move(entry));
        }
    }
    entries.push_back({"scene/world.msa", Bytes(sceneText.begin(), sceneText.end())});
    entries.push_back({"scene/base.bmp", SolidBmp(8, 8, 180)});
    entries.push_back({"scene/light.bmp", SolidBmp(8, 8, 220)});
    return entries;
}

// An object block of `vertexCount` positions on a grid below the floor and `triangleCount` triangles over
// them, with one texture coordinate and one normal shared by every corner.
std::string ObjectText(const std::string& name, int vertexCount, int triangleCount)
{
    std::string text = "object_start : " + name + "\n--\n--\n1 0 0\n0 1 0\n0 0 1\n--\n0 0 0\n--\n1 1 1\n--\n";
    text += "vertices : " + std::to_string(vertexCount) + "\n--\n";
    for (int v = 0; v < vertexCount; ++v) {
        text += std::to_string(v % 300) + " -5 " + std::to_string(v / 300) + "\n";
    }
    text += "--\nuv set 0 : 1\n--\n0 0\n--\nuv set 1 : 1\n--\n0 0\n--\nnormals : 1\n--\n0 1 0\n--\n";
    text += "number_of_materials : 1\nindice_count : " + std::to_string(triangleCount) + "\n--\n";
    text += "material_id : 0\nindice_count : " + std::to_string(triangleCount) + "\n--\n";
    for (int t = 0; t < triangleCount; ++t) {
        const int a = t % (vertexCount - 2);
        text += std::to_string(a) + "/0/0/0 " + std::to_string(a + 1) + "/0/0/0 " + std::to_string(a + 2) + "/0/0/0\n";
    }
    return text + "--\nend_object\n";
}

// A floor of n x n tiles of one quad each: 4 n^2 vertices, 2 n^2 triangles.
TestLevel TiledFloor(int tiles)
{
    TestLevel level;
    for (int i = 0; i < tiles; ++i) {
        for (int j = 0; j < tiles; ++j) {
            const float x = static_cast<float>(i) - tiles / 2.0f;
            const float z = static_cast<float>(j) - tiles / 2.0f;
            level.Floor(0.0f, x, z, x + 1.0f, z + 1.0f);
        }
    }
    return level;
}

FaultResult RunScene(const std::string& sceneText, const std::vector<std::string>& extra = {})
{
    FaultRun run;
    run.Entries(LevelEntries(sceneText));
    for (const std::string& argument : extra) {
        run.Argument(argument);
    }
    return run.Run();
}

} // namespace

TEST(MeshLimits, AWorldOf50000VerticesIsLeftOutAndTheGameSaysThereIsNoWorld)
{
    // 113 x 113 tiles would be 51,076 vertices; 112 x 112 is 50,176: over the limit.
    const FaultResult result = RunScene(TiledFloor(112).SceneText());
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 1);
    EXPECT_TRUE(result.Logs("50176")) << "the count is named\n" << result.log;
    EXPECT_TRUE(result.Logs("object \"world\" is left out of the scene")) << result.log;
    EXPECT_TRUE(result.SaysOnStderr("RUdezer: World mesh could not be found in scene")) << result.program.err;
}

TEST(MeshLimits, AWorldJustUnderTheLimitLoadsAndPlays)
{
    // 111 x 111 tiles: 49,284 vertices, 24,642 triangles.
    const FaultResult result = RunScene(TiledFloor(111).SceneText());
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0) << result.program.err;
    EXPECT_FALSE(result.Logs("left out")) << result.log;
}

TEST(MeshLimits, AWorldOf50000TrianglesIsLeftOut)
{
    const std::string scene = TestLevel().WithoutWorld().SceneText() + ObjectText("world", 600, 50000);
    const FaultResult result = RunScene(scene);
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 1);
    EXPECT_TRUE(result.Logs("50000")) << result.log;
    EXPECT_TRUE(result.Logs("object \"world\" is left out of the scene")) << result.log;
    EXPECT_TRUE(result.SaysOnStderr("RUdezer: World mesh could not be found in scene")) << result.program.err;
}

TEST(MeshLimits, AnOversizedExtraObjectIsLeftOutAndTheGameRunsOn)
{
    TestLevel level;
    level.Floor(0.0f, -50.0f, -50.0f, 50.0f, 50.0f).WallFacingMinusZ(20.0f, -50.0f, 50.0f, 0.0f, 20.0f);
    const std::string scene = level.SceneText() + ObjectText("crate", 50000, 10);
    const FaultResult result = RunScene(scene, {"--dump-scene", "scene.json"});
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0) << result.program.err;
    EXPECT_TRUE(result.Logs("object \"crate\" is left out of the scene")) << result.log;
    EXPECT_TRUE(result.SaysOnStderr("RUdezer: The scene file has ")) << "one box sums the problems up\n"
                                                                   << result.program.err;
}

TEST(LightLimits, ATableOf150LightsKeepsTheFirst100AndSaysSo)
{
    TestLevel level;
    level.Floor(0.0f, -50.0f, -50.0f, 50.0f, 50.0f);
    for (int i = 0; i < 150; ++i) {
        level.Light(XVector3(static_cast<float>(i % 15) * 6.0f - 45.0f, 8.0f, static_cast<float>(i / 15) * 9.0f - 45.0f),
                    XVector3(1.0f, 0.9f, 0.8f));
    }
    FaultRun run;
    run.Entries(LevelEntries(level.SceneText())).Argument("--dump-scene").Argument("scene.json");
    const FaultResult result = run.Run();
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 0) << result.program.err;
    EXPECT_TRUE(result.Logs("150")) << "the count is named\n" << result.log;
    EXPECT_TRUE(result.SaysOnStderr("RUdezer: The scene file has ")) << result.program.err;
    const std::string dump = ReadWholeFile(run.Directory() / "scene.json");
    EXPECT_NE(dump.find("\"lights\": {\"count\": 100"), std::string::npos) << dump.substr(0, 400);
}
