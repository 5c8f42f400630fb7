// The default level as the engine receives it: compiled here from assets/levels/default.level (with the real
// textures, few light-map rays), then loaded through the engine's scene loader and its octree.
#include "LevelTestSupport.h"

#include "math/XTriangle.h"
#include "scene/XLightManager.h"
#include "scene/XMesh.h"
#include "scene/XSceneNode.h"
#include "scene/XShaderManager.h"
#include "space/XOctTree.h"
#include "tools/leveltex/XLevelTextures.h"
#include "tools/levelc/XLevelParser.h"

#include <gtest/gtest.h>

#include <stb_image.h> // stbi_info

#include <cmath>   // fabs, acos
#include <cstdio>  // rename
#include <fstream>
#include <functional> // hash
#include <fcntl.h>    // open
#include <sys/file.h> // flock
#include <sys/stat.h> // stat
#include <unistd.h>   // close

using namespace level_test;

namespace {

class DefaultLevel : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // CTest runs every test in a process of its own: the compiled level is kept in a folder named after
        // the source text's hash and made once per build of this program, in a scratch folder renamed into place, so that processes
        // running side by side never see half of it.
        const std::string path = KORVATH_SOURCE_DIR "/assets/levels/default.level";
        const std::string text = ReadWholeFile(path);
        source = new XLevelSource(XLevelParser::ParseFile(path));
        // The key also holds the test program's own time stamp: a rebuilt compiler gets a fresh compile.
        struct stat self = {};
        stat("/proc/self/exe", &self);
        folder = new std::string(std::string(KORVATH_BINARY_DIR) + "/tests/level/default-level-" +
                                 std::to_string(std::hash<std::string>()(text)) + "-" +
                                 std::to_string(static_cast<long long>(self.st_mtime)));
        // Tests started side by side wait here for the first to compile, instead of each compiling its own.
        const int lock = open((*folder + ".lock").c_str(), O_CREAT | O_RDWR, 0644);
        if (lock >= 0) {
            flock(lock, LOCK_EX);
        }
        if (ReadWholeFile(*folder + "/scene/world.msa").empty()) {
            // Removed again unless it was renamed into place.
            const ScratchDirectory scratchDirectory("korvath-level-default");
            const std::string scratch = scratchDirectory.Path().string();
            std::string error;
            ASSERT_TRUE(XLevelTextures::WriteAll(scratch, error)) << error;
            // Preview quality with one ray a texel: these tests look at the geometry, the materials and the
            // lights, not at the light maps' finish or the visibility file.
            XCompileSettings settings;
            settings.bake.hemisphereRays = 1;
            settings.quick = true;
            XSceneFile scene;
            const XCompileStats stats = XLevelCompiler::Compile(*source, scratch, settings, scene);
            std::string warnings;
            for (const std::string& warning : stats.warnings) {
                warnings += warning + "\n";
            }
            std::ofstream(scratch + "/warnings.txt") << warnings;
            std::rename(scratch.c_str(), folder->c_str()); // fails when another process was first
        }
        if (lock >= 0) {
            close(lock); // and with it the lock
        }
        warnings = new std::string(ReadWholeFile(*folder + "/warnings.txt"));
        loaded = new LoadedScene(LoadCompiled(*folder));
        XSceneNode* world = loaded->scene->FindNode("world");
        ASSERT_NE(world, nullptr);
        octree = BuildOctTree(world->GetMesh());
    }

    static void TearDownTestSuite()
    {
        delete octree;
        delete loaded;
        delete warnings;
        delete source;
        delete folder;
    }

    // The first triangle that the segment from `from` to `to` crosses, through the engine's octree.
    static bool FirstHit(const XVector3& from, const XVector3& to, XTriangle& triangle, XVector3& point)
    {
        float best = 1e30f;
        bool found = false;
        for (const XOctNode* node : octree->SegmentQuery(from, to)) {
            for (int i = 0; i < node->TriangleCount(); ++i) {
                XVector3 hit;
                if (node->Triangle(i).SegmentHit(from, to - from, 0.0f, hit) && Distance(from, hit) < best) {
                    best = Distance(from, hit);
                    triangle = node->Triangle(i);
                    point = hit;
                    found = true;
                }
            }
        }
        return found;
    }

    static std::string* folder;
    static XLevelSource* source;
    static std::string* warnings;
    static LoadedScene* loaded;
    static XOctTree* octree;
};

std::string* DefaultLevel::folder = nullptr;
XLevelSource* DefaultLevel::source = nullptr;
std::string* DefaultLevel::warnings = nullptr;
LoadedScene* DefaultLevel::loaded = nullptr;
XOctTree* DefaultLevel::octree = nullptr;

} // namespace

TEST_F(DefaultLevel, LoadsWithoutProblemsAndHasTheFiveObjects)
{
    EXPECT_EQ(loaded->problems, 0) << (loaded->problemTexts.empty() ? "" : loaded->problemTexts[0]);
    EXPECT_TRUE(warnings->empty()) << *warnings;
    for (const char* name : {"world", "skydome", "plasma", "rocket", "bullet"}) {
        const XSceneNode* node = loaded->scene->FindNode(name);
        ASSERT_NE(node, nullptr) << name;
        ASSERT_NE(node->GetMesh(), nullptr) << name;
        EXPECT_LT(node->GetMesh()->GetVertexCount(), 50000) << name;
        EXPECT_LT(node->GetMesh()->GetTriangleCount(), 50000) << name;
    }
}

TEST_F(DefaultLevel, EveryWorldMaterialHasABaseTextureAndALightMap)
{
    const XSceneNode* world = loaded->scene->FindNode("world");
    for (int g = 0; g < world->GetMaterialGroupCount(); ++g) {
        const XShader& shader = GetShaderManager()->GetShader(world->GetMaterialGroup(g).materialId);
        ASSERT_GE(shader.texture0, 0);
        ASSERT_GE(shader.texture1, 0);
        EXPECT_NE(loaded->textureFiles[static_cast<size_t>(shader.texture0)].find(".jpg"), std::string::npos);
        EXPECT_EQ(loaded->textureFiles[static_cast<size_t>(shader.texture1)].rfind("lightmap", 0), 0u);
    }
    // The weapons and the bullet carry no light map, so the world pass skips them; the sky has its clouds.
    for (const char* name : {"plasma", "rocket", "bullet"}) {
        const XSceneNode* node = loaded->scene->FindNode(name);
        const XShader& shader = GetShaderManager()->GetShader(node->GetMaterialGroup(0).materialId);
        EXPECT_GE(shader.texture0, 0) << name;
        EXPECT_EQ(shader.texture1, -1) << name;
    }
    const XShader& sky =
        GetShaderManager()->GetShader(loaded->scene->FindNode("skydome")->GetMaterialGroup(0).materialId);
    EXPECT_EQ(loaded->textureFiles[static_cast<size_t>(sky.texture0)], "sky_clouds.jpg");
}

TEST_F(DefaultLevel, TextureFilesExistWithLoadableNames)
{
    ASSERT_FALSE(loaded->textureFiles.empty());
    for (const std::string& name : loaded->textureFiles) {
        EXPECT_LE(name.size(), 126u);
        EXPECT_TRUE(name.find(".jpg") != std::string::npos || name.find(".bmp") != std::string::npos) << name;
        int width = 0;
        int height = 0;
        int channels = 0;
        ASSERT_TRUE(stbi_info((*folder + "/scene/" + name).c_str(), &width, &height, &channels)) << name;
        // Power-of-two sizes, as mipmapped textures want.
        EXPECT_EQ(width & (width - 1), 0) << name;
        EXPECT_EQ(height & (height - 1), 0) << name;
    }
}

TEST_F(DefaultLevel, HasAtLeastFiveColouredLightsInOpenSpace)
{
    ASSERT_GE(GetLightManager()->GetCount(), 5);
    for (const XLevelLight& light : source->lights) {
        for (const XSolid& solid : source->solids) {
            EXPECT_FALSE(solid.Contains(light.position, -0.3)) << "light of line " << light.line;
        }
    }
}

TEST_F(DefaultLevel, StartAndResetPositionsStandOverTheFloorInOpenSpace)
{
    // The start (0, 3, 0) and the F8 position (1, 5, -1) both fall onto the floor at y = 0.
    for (const XVector3& start : {XVector3(0.0f, 3.0f, 0.0f), XVector3(1.0f, 5.0f, -1.0f)}) {
        XTriangle floor;
        XVector3 hit;
        ASSERT_TRUE(FirstHit(start, XVector3(start.x, -1.0f, start.z), floor, hit));
        EXPECT_EQ(floor.Classify(), XTriangle::Floor);
        EXPECT_NEAR(hit.y, 0.0f, 1e-4f);
        // Nothing within the player's reach around the standing body (4 tall, 1.8 wide) or above it.
        XTriangle other;
        XVector3 point;
        EXPECT_FALSE(FirstHit(XVector3(start.x, 0.2f, start.z), XVector3(start.x, 8.0f, start.z), other, point));
        for (const XVector3& direction : {XVector3(1, 0, 0), XVector3(-1, 0, 0), XVector3(0, 0, 1), XVector3(0, 0, -1)}) {
            EXPECT_FALSE(FirstHit(XVector3(start.x, 1.0f, start.z), XVector3(start.x, 1.0f, start.z) + direction * 3.0f,
                                  other, point));
        }
    }
    // Open space in front: yaw 0 looks along +z, at least 20 units free at eye height.
    XTriangle wall;
    XVector3 point;
    EXPECT_FALSE(FirstHit(XVector3(0.0f, 3.0f, 0.0f), XVector3(0.0f, 3.0f, 20.0f), wall, point));
}

TEST_F(DefaultLevel, EveryWorldFaceLooksIntoOpenSpace)
{
    const XMesh* mesh = loaded->scene->FindNode("world")->GetMesh();
    const uint16_t* indices = mesh->GetTriangles();
    for (int t = 0; t < mesh->GetTriangleCount(); ++t) {
        const XTriangle triangle(mesh->GetPositions()[indices[3 * t]], mesh->GetPositions()[indices[3 * t + 1]],
                                 mesh->GetPositions()[indices[3 * t + 2]]);
        const XVector3 front = triangle.Centroid() + triangle.normal * 0.05f;
        for (const XSolid& solid : source->solids) {
            ASSERT_FALSE(solid.Contains(XVector3d(front), 0.0))
                << "triangle " << t << " looks into the solid of line " << solid.SourceLine();
        }
    }
}

TEST_F(DefaultLevel, FloorsAreWalkableAndTheSteepSlopeIsNot)
{
    // Every upward face is either walkable (under 45 degrees; the ramp's 20) or the slide slope, steeper than
    // the player's collision can stand on or walk up (its ellipsoid flattens slopes: floors up to about 65
    // degrees, pushed up to about 73).
    const XMesh* mesh = loaded->scene->FindNode("world")->GetMesh();
    const uint16_t* indices = mesh->GetTriangles();
    int steep = 0;
    for (int t = 0; t < mesh->GetTriangleCount(); ++t) {
        const XTriangle triangle(mesh->GetPositions()[indices[3 * t]], mesh->GetPositions()[indices[3 * t + 1]],
                                 mesh->GetPositions()[indices[3 * t + 2]]);
        if (triangle.normal.y <= 0.01f || triangle.normal.y >= 0.999f) {
            continue;
        }
        const float angle = std::acos(triangle.normal.y) * 180.0f / 3.14159265f;
        if (angle < 45.0f) {
            EXPECT_LE(angle, 35.0f) << "a ramp steeper than 35 degrees";
        } else if (angle < 89.0f) {
            EXPECT_GE(angle, 74.0f);
            EXPECT_LE(angle, 80.0f);
            ++steep;
        }
    }
    EXPECT_GT(steep, 0);
}

TEST_F(DefaultLevel, StaysWithinNinetyUnitsOfTheOrigin)
{
    const XMesh* mesh = loaded->scene->FindNode("world")->GetMesh();
    for (int v = 0; v < mesh->GetVertexCount(); ++v) {
        const XVector3& p = mesh->GetPositions()[v];
        EXPECT_LE(std::fabs(p.x), 90.0f);
        EXPECT_LE(std::fabs(p.z), 90.0f);
        EXPECT_LE(std::fabs(p.y), 90.0f);
    }
}

TEST_F(DefaultLevel, SkyDomeSurroundsTheOriginFacingInwards)
{
    const XMesh* mesh = loaded->scene->FindNode("skydome")->GetMesh();
    const uint16_t* indices = mesh->GetTriangles();
    for (int t = 0; t < mesh->GetTriangleCount(); ++t) {
        const XTriangle triangle(mesh->GetPositions()[indices[3 * t]], mesh->GetPositions()[indices[3 * t + 1]],
                                 mesh->GetPositions()[indices[3 * t + 2]]);
        EXPECT_LT(Dot(triangle.normal, triangle.Centroid()), 0.0f);
        EXPECT_NEAR(triangle.Centroid().Length(), 150.0f, 10.0f);
    }
}

TEST_F(DefaultLevel, WeaponsAreSmallTexturedAndPointAlongZ)
{
    for (const char* name : {"plasma", "rocket"}) {
        const XMesh* mesh = loaded->scene->FindNode(name)->GetMesh();
        XVector3 min(1e9f, 1e9f, 1e9f);
        XVector3 max(-1e9f, -1e9f, -1e9f);
        for (int v = 0; v < mesh->GetVertexCount(); ++v) {
            const XVector3& p = mesh->GetPositions()[v];
            min = XVector3(std::fmin(min.x, p.x), std::fmin(min.y, p.y), std::fmin(min.z, p.z));
            max = XVector3(std::fmax(max.x, p.x), std::fmax(max.y, p.y), std::fmax(max.z, p.z));
            EXPECT_NEAR(mesh->GetNormals()[v].Length(), 1.0f, 1e-3f);
            // The lit draw reads texCoordsB (the file's first set): inside the texture.
            EXPECT_GE(mesh->GetTexCoordsB()[v].x, 0.0f);
            EXPECT_LE(mesh->GetTexCoordsB()[v].x, 1.0f);
        }
        EXPECT_LE(max.x - min.x, 0.45f) << name;
        EXPECT_LE(max.y - min.y, 0.5f) << name;
        EXPECT_GE(max.z - min.z, 1.0f) << name; // longest along z
        EXPECT_LE(max.z - min.z, 1.4f) << name;
    }
}
