// The level compiler on small sources: the surface it keeps, the way faces look, the counts, the files it
// writes, its determinism and its errors.
#include "LevelTestSupport.h"

#include "scene/XMesh.h"
#include "scene/XSceneNode.h"
#include "scene/XShaderManager.h"
#include "tools/levelc/XLevelError.h"
#include "tools/levelc/XLevelParser.h"
#include "tools/levelc/XWorldParts.h"

#include <gtest/gtest.h>

#include <stb_image.h> // stbi_load

#include <algorithm> // min, max
#include <cmath>     // fabs

using namespace level_test;

namespace {

XVector3 TriangleNormal(const XSceneObject& object, const std::array<int, 3>& t)
{
    const XVector3& p0 = object.positions[static_cast<size_t>(t[0])];
    const XVector3& p1 = object.positions[static_cast<size_t>(t[1])];
    const XVector3& p2 = object.positions[static_cast<size_t>(t[2])];
    return Cross(p1 - p0, p2 - p1).Normalized();
}

XVector3 Centroid(const XSceneObject& object, const std::array<int, 3>& t)
{
    return (object.positions[static_cast<size_t>(t[0])] + object.positions[static_cast<size_t>(t[1])] +
            object.positions[static_cast<size_t>(t[2])]) /
           3.0f;
}

class BoxRoom : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = scratch.Path().string();
        WriteStandInTextures(folder, {"floor.jpg", "wall.jpg"});
        stats = CompileText(BoxRoomSource(), folder, scene);
        world = &scene.objects[0];
    }

    const ScratchDirectory scratch{"korvath-level-box"};
    std::string folder;
    XSceneFile scene;
    XCompileStats stats;
    const XSceneObject* world = nullptr;
};

} // namespace

TEST_F(BoxRoom, KeepsOnlyTheSixInnerFaces)
{
    // Six solids of six faces: the faces between touching solids go, and so do the outside ones.
    EXPECT_EQ(world->name, "world");
    double area = 0.0;
    for (const std::array<int, 3>& t : world->triangles) {
        const XVector3& p0 = world->positions[static_cast<size_t>(t[0])];
        area += 0.5 * Cross(world->positions[static_cast<size_t>(t[1])] - p0,
                            world->positions[static_cast<size_t>(t[2])] - p0).Length();
    }
    // Floor and ceiling 20 x 20, four walls 20 x 8.
    EXPECT_NEAR(area, 2 * 400.0 + 4 * 160.0, 0.01);
    EXPECT_EQ(stats.charts, 6);
}

TEST_F(BoxRoom, EveryFaceLooksIntoTheRoom)
{
    ASSERT_GT(world->TriangleCount(), 0);
    const XVector3 inside(0.0f, 4.0f, 0.0f);
    for (const std::array<int, 3>& t : world->triangles) {
        const XVector3 n = TriangleNormal(*world, t);
        EXPECT_GT(Dot(n, inside - Centroid(*world, t)), 0.0f);
        // The stored normals agree with the winding.
        for (const int v : t) {
            EXPECT_GT(Dot(world->normals[static_cast<size_t>(v)], n), 0.999f);
        }
    }
}

TEST_F(BoxRoom, WritesEqualArraysAndGroupsThatCoverEveryTriangle)
{
    for (const XSceneObject& object : scene.objects) {
        EXPECT_EQ(object.uv0.size(), object.positions.size()) << object.name;
        EXPECT_EQ(object.uv1.size(), object.positions.size()) << object.name;
        EXPECT_EQ(object.normals.size(), object.positions.size()) << object.name;
        int covered = 0;
        for (const XSceneGroup& group : object.groups) {
            covered += group.triangleCount;
            EXPECT_GE(group.material, 0);
            EXPECT_LT(group.material, static_cast<int>(scene.materials.size()));
        }
        EXPECT_EQ(covered, object.TriangleCount()) << object.name;
    }
}

TEST_F(BoxRoom, LoadsThroughTheEngineLoaderWithoutProblems)
{
    const LoadedScene loaded = LoadCompiled(folder);
    EXPECT_EQ(loaded.problems, 0) << (loaded.problemTexts.empty() ? "" : loaded.problemTexts[0]);
    const XSceneNode* node = loaded.scene->FindNode("world");
    ASSERT_NE(node, nullptr);
    // Equal array lengths make the positions the loader's key: one mesh vertex per written vertex.
    EXPECT_EQ(node->GetMesh()->GetVertexCount(), world->VertexCount());
    EXPECT_EQ(node->GetMesh()->GetTriangleCount(), world->TriangleCount());
    // The loader's first coordinate set (texCoordsA) is the file's second: the base texture's.
    for (int v = 0; v < world->VertexCount(); ++v) {
        EXPECT_NEAR(node->GetMesh()->GetTexCoordsA()[v].x, world->uv1[static_cast<size_t>(v)].x, 1e-6f);
        EXPECT_NEAR(node->GetMesh()->GetTexCoordsB()[v].y, world->uv0[static_cast<size_t>(v)].y, 1e-6f);
    }
    for (const std::string& names : {std::string("world"), std::string("skydome"), std::string("plasma"),
                                     std::string("rocket"), std::string("bullet")}) {
        EXPECT_NE(loaded.scene->FindNode(names), nullptr) << names;
    }
}

TEST_F(BoxRoom, LightMapIsBrightUnderTheLampAndDarkerInTheCorners)
{
    // The light at (0, 6, 0) with radius 20: the floor's texel under it against one near a corner.
    const XSceneObject& w = *world;
    float centre = -1.0f;
    float corner = 2.0f;
    int width = 0;
    int height = 0;
    int channels = 0;
    const std::string path = folder + "/scene/lightmap0.bmp";
    unsigned char* pixels = stbi_load(path.c_str(), &width, &height, &channels, 3);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, 256);
    EXPECT_EQ(height, 256);
    // The floor is one chart mapped straight onto the page: its middle and a point near one corner.
    float minS = 1e9f;
    float maxS = -1e9f;
    float minT = 1e9f;
    float maxT = -1e9f;
    for (size_t v = 0; v < w.positions.size(); ++v) {
        if (w.normals[v].y > 0.9f && w.positions[v].y < 0.01f) {
            minS = std::min(minS, w.uv0[v].x);
            maxS = std::max(maxS, w.uv0[v].x);
            minT = std::min(minT, w.uv0[v].y);
            maxT = std::max(maxT, w.uv0[v].y);
        }
    }
    auto brightnessAt = [&](float s, float t) {
        // Pictures are stored top row first; t = 0 is the bottom row.
        const int x = std::min(std::max(static_cast<int>(s * width), 0), width - 1);
        const int y = std::min(std::max(height - 1 - static_cast<int>(t * height), 0), height - 1);
        const unsigned char* p = pixels + (static_cast<size_t>(y) * width + x) * 3;
        return (p[0] + p[1] + p[2]) / (3.0f * 255.0f);
    };
    centre = brightnessAt((minS + maxS) * 0.5f, (minT + maxT) * 0.5f);
    corner = brightnessAt(minS + 1.5f / width, minT + 1.5f / height);
    stbi_image_free(pixels);
    EXPECT_GT(centre, 0.5f);
    EXPECT_GT(centre, corner + 0.2f);
}

TEST(LevelCompilerOutput, IsTheSameOnEveryRun)
{
    const ScratchDirectory firstScratch("korvath-level-run1");
    const ScratchDirectory secondScratch("korvath-level-run2");
    const std::string first = firstScratch.Path().string();
    const std::string second = secondScratch.Path().string();
    WriteStandInTextures(first, {"floor.jpg", "wall.jpg"});
    WriteStandInTextures(second, {"floor.jpg", "wall.jpg"});
    const std::string source = BoxRoomSource() + "pillar 3 3 0 8 radius 1 sides 8 mat wall\n";
    XSceneFile sceneA;
    XSceneFile sceneB;
    // Different thread counts must not change a byte.
    const XLevelSource level = XLevelParser::Parse(source, "test.level");
    XBakeSettings one;
    one.hemisphereRays = 16;
    one.threads = 1;
    XBakeSettings two = one;
    two.threads = 2;
    XLevelCompiler::Compile(level, first, one, sceneA);
    XLevelCompiler::Compile(level, second, two, sceneB);
    const std::string msa = ReadWholeFile(first + "/scene/world.msa");
    EXPECT_FALSE(msa.empty());
    EXPECT_EQ(msa, ReadWholeFile(second + "/scene/world.msa"));
    EXPECT_EQ(ReadWholeFile(first + "/scene/lightmap0.bmp"), ReadWholeFile(second + "/scene/lightmap0.bmp"));
}

TEST(LevelCompilerMaps, GoToTheirOwnFolderAndShareTheBaseTexturesOfScene)
{
    const ScratchDirectory scratch("korvath-level-map");
    const std::string folder = scratch.Path().string();
    WriteStandInTextures(folder, {"floor.jpg", "wall.jpg"});
    XCompileSettings settings;
    settings.bake.hemisphereRays = 1;
    settings.map = "room";
    XSceneFile scene;
    XLevelCompiler::Compile(XLevelParser::Parse(BoxRoomSource(), "room.level"), folder, settings, scene);
    EXPECT_FALSE(ReadWholeFile(folder + "/maps/room/world.msa").empty());
    EXPECT_FALSE(ReadWholeFile(folder + "/maps/room/world.vis").empty());
    EXPECT_EQ(ReadWholeFile(folder + "/maps/room/world.info"), "# box room\nspawn 0 0 0\n");
    EXPECT_FALSE(ReadWholeFile(folder + "/maps/room/lightmap0.bmp").empty());
    EXPECT_TRUE(ReadWholeFile(folder + "/scene/world.msa").empty());
    EXPECT_TRUE(ReadWholeFile(folder + "/maps/room/floor.jpg").empty());
    for (const XSceneTexture& row : scene.textures) {
        const std::string expected = row.type == "lightmap" ? "maps\\room\\lightmap" : "scene\\";
        EXPECT_EQ(row.fileName.rfind(expected, 0), 0u) << row.fileName;
    }
    settings.map = "../room";
    EXPECT_THROW(XLevelCompiler::Compile(XLevelParser::Parse(BoxRoomSource(), "room.level"), folder, settings, scene),
                 XLevelError);
}

TEST(LevelCompilerErrors, NameTheLineOfTheSpawnOrLight)
{
    const ScratchDirectory scratch("korvath-level-errors");
    const std::string folder = scratch.Path().string();
    WriteStandInTextures(folder, {"floor.jpg", "wall.jpg"});
    XSceneFile scene;
    auto lineOf = [&](const std::string& text) {
        try {
            CompileText(text, folder, scene);
        } catch (const XLevelError& error) {
            return error.Line();
        }
        return -1;
    };
    std::string source = BoxRoomSource();
    // The spawn is the last line (13); put it inside the floor slab, then in mid-air.
    const std::string withoutSpawn = source.substr(0, source.rfind("spawn"));
    EXPECT_EQ(lineOf(withoutSpawn + "spawn 0 -2.5 0\n"), 13);
    EXPECT_EQ(lineOf(withoutSpawn + "spawn 0 3 0\n"), 13);
    // A light inside a wall.
    EXPECT_EQ(lineOf(withoutSpawn + "spawn 0 0 0\nlight 10.5 4 0 color 1 1 1 radius 5\n"), 14);
    // A texture that is not there.
    EXPECT_EQ(lineOf("material floor missing.jpg 4\n" + source.substr(source.find("material wall"))), 1);
    // A solid so far away that the grid of the open space would not fit: refused before it is made.
    try {
        CompileText(withoutSpawn + "spawn 0 0 0\nbox 3000 -1 3000  3001 0 3001  mat wall\n", folder, scene);
        ADD_FAILURE() << "a box of 3,000 units compiled";
    } catch (const XLevelError& error) {
        EXPECT_EQ(error.Line(), 0);
        EXPECT_NE(std::string(error.what()).find("too large"), std::string::npos) << error.what();
    }
}

TEST(LevelCompilerWorldParts, CutALargeWorldIntoPartsUnderTheLimitThatTogetherAreTheWorldInOrder)
{
    // A strip of quads sharing their edge vertices, three materials in groups of 7, 5 and 8 triangles.
    XSceneObject world;
    world.name = "world";
    for (int v = 0; v < 22; ++v) {
        const float x = static_cast<float>(v / 2);
        world.positions.emplace_back(x, static_cast<float>(v % 2), 0.0f);
        world.normals.emplace_back(0.0f, 0.0f, 1.0f);
        world.uv0.emplace_back(x * 0.1f, 0.5f);
        world.uv1.emplace_back(x, static_cast<float>(v));
    }
    for (int t = 0; t < 20; ++t) {
        world.triangles.push_back({t, t + 1, t + 2});
    }
    world.groups = {XSceneGroup{4, 7}, XSceneGroup{1, 5}, XSceneGroup{4, 8}};

    EXPECT_EQ(XWorldParts::Split(world, 23).size(), 1u) << "a world that fits stays whole";
    const std::vector<XSceneObject> parts = XWorldParts::Split(world, 6);
    ASSERT_GE(parts.size(), 4u);
    const std::vector<int> materials = {4, 4, 4, 4, 4, 4, 4, 1, 1, 1, 1, 1, 4, 4, 4, 4, 4, 4, 4, 4};
    size_t t = 0;
    for (size_t p = 0; p < parts.size(); ++p) {
        const XSceneObject& part = parts[p];
        EXPECT_EQ(part.name, p == 0 ? "world" : "world." + std::to_string(p + 1));
        EXPECT_LT(part.VertexCount(), 6);
        EXPECT_LT(part.TriangleCount(), 6);
        ASSERT_EQ(part.normals.size(), part.positions.size());
        ASSERT_EQ(part.uv0.size(), part.positions.size());
        ASSERT_EQ(part.uv1.size(), part.positions.size());
        int grouped = 0;
        size_t local = 0;
        for (const XSceneGroup& group : part.groups) {
            for (int i = 0; i < group.triangleCount; ++i, ++local, ++t) {
                ASSERT_LT(t, world.triangles.size());
                EXPECT_EQ(group.material, materials[t]) << "triangle " << t;
                for (size_t k = 0; k < 3; ++k) {
                    const size_t mine = static_cast<size_t>(part.triangles[local][k]);
                    const size_t theirs = static_cast<size_t>(world.triangles[t][k]);
                    EXPECT_EQ(part.positions[mine], world.positions[theirs]) << "triangle " << t;
                    EXPECT_EQ(part.uv0[mine].x, world.uv0[theirs].x);
                    EXPECT_EQ(part.uv1[mine].y, world.uv1[theirs].y);
                }
            }
            grouped += group.triangleCount;
        }
        EXPECT_EQ(grouped, part.TriangleCount()) << "the groups cover the part";
    }
    EXPECT_EQ(t, world.triangles.size()) << "every triangle, in order, once";
}
