// The large level, The Citadel: its generator writes exactly the committed source, and the compiled map fits the
// engine's mesh limits, has its lights, starts the player on the ground floor and names its pictures so that the
// game finds them. The map is the build's own (maps/citadel in the data folder, compiled at the build's level
// quality); a build without it gets one compiled here at preview quality.
#include "LevelTestSupport.h"

#include "math/XTriangle.h"
#include "scene/XLightManager.h"
#include "scene/XMesh.h"
#include "scene/XSceneNode.h"
#include "space/XOctTree.h"
#include "tools/levelc/XLevelParser.h"
#include "tools/leveltex/XLevelTextures.h"

#include <gtest/gtest.h>

#include <cmath>   // fabs
#include <cstdio>  // remove, rename
#include <cstdlib> // system
#include <sys/stat.h> // stat
#include <unistd.h>   // getpid

using namespace level_test;

namespace {

const char* const kSource = KORVATH_SOURCE_DIR "/assets/levels/citadel.level";

bool Exists(const std::string& path)
{
    struct stat info = {};
    return stat(path.c_str(), &info) == 0;
}

class CitadelMap : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        staging = new std::string(KORVATH_BINARY_DIR "/data");
        if (!Exists(*staging + "/maps/citadel/world.msa")) {
            // Compiled once for all the test processes: in a scratch folder renamed into place when done.
            *staging = KORVATH_BINARY_DIR "/tests/level/citadel-preview";
            if (!Exists(*staging + "/maps/citadel/world.msa")) {
                // Made next to its final place, so that the rename stays on one file system.
                const std::string scratch = *staging + "-" + std::to_string(getpid());
                std::system(("rm -rf '" + scratch + "' && mkdir -p '" + scratch + "'").c_str());
                std::string error;
                ASSERT_TRUE(XLevelTextures::WriteAll(scratch, error)) << error;
                XCompileSettings settings;
                settings.quick = true;
                settings.map = "citadel";
                XSceneFile scene;
                XLevelCompiler::Compile(XLevelParser::ParseFile(kSource), scratch, settings, scene);
                if (std::rename(scratch.c_str(), staging->c_str()) != 0) {
                    std::system(("rm -rf '" + scratch + "'").c_str()); // another process was first
                }
            }
        }
        loaded = new LoadedScene(LoadSceneFile(*staging + "/maps/citadel/world.msa"));
        XSceneNode* world = loaded->scene->FindNode("world");
        ASSERT_NE(world, nullptr);
        octree = BuildOctTree(world->GetMesh());
    }

    static void TearDownTestSuite()
    {
        delete octree;
        delete loaded;
        delete staging;
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

    static std::string* staging;
    static LoadedScene* loaded;
    static XOctTree* octree;
};

std::string* CitadelMap::staging = nullptr;
LoadedScene* CitadelMap::loaded = nullptr;
XOctTree* CitadelMap::octree = nullptr;

} // namespace

TEST(CitadelSource, GeneratorWritesTheCommittedFileByteForByte)
{
    const ScratchDirectory scratch("korvath-citadel-source");
    const std::string written = scratch.Path().string() + "/citadel.level";
    const std::string command = "python3 '" KORVATH_SOURCE_DIR "/scripts/make-citadel-level.py' '" + written +
                                "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string committed = ReadWholeFile(kSource);
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(ReadWholeFile(written) == committed) << "run scripts/make-citadel-level.py and commit its output";
}

TEST_F(CitadelMap, IsLargeAndStillFitsTheEngineMeshLimits)
{
    EXPECT_EQ(loaded->problems, 0) << (loaded->problemTexts.empty() ? "" : loaded->problemTexts[0]);
    const XMesh* mesh = loaded->scene->FindNode("world")->GetMesh();
    EXPECT_GE(mesh->GetTriangleCount(), 30000);
    EXPECT_LT(mesh->GetTriangleCount(), 50000);
    EXPECT_LT(mesh->GetVertexCount(), 50000);
    for (int v = 0; v < mesh->GetVertexCount(); ++v) {
        const XVector3& p = mesh->GetPositions()[v];
        ASSERT_LE(std::fabs(p.x), 90.0f);
        ASSERT_LE(std::fabs(p.z), 90.0f);
    }
}

TEST_F(CitadelMap, HasFortyToAHundredLights)
{
    EXPECT_GE(GetLightManager()->GetCount(), 40);
    EXPECT_LE(GetLightManager()->GetCount(), 100);
}

TEST_F(CitadelMap, StartAndResetPositionsStandOnTheGroundFloorWithRoomAround)
{
    for (const XVector3& start : {XVector3(0.0f, 3.0f, 0.0f), XVector3(1.0f, 5.0f, -1.0f)}) {
        XTriangle floor;
        XVector3 hit;
        ASSERT_TRUE(FirstHit(start, XVector3(start.x, -1.0f, start.z), floor, hit));
        EXPECT_EQ(floor.Classify(), XTriangle::Floor);
        EXPECT_NEAR(hit.y, 0.0f, 1e-4f);
        XTriangle other;
        XVector3 point;
        for (const XVector3& direction : {XVector3(1, 0, 0), XVector3(-1, 0, 0), XVector3(0, 0, 1), XVector3(0, 0, -1)}) {
            EXPECT_FALSE(FirstHit(XVector3(start.x, 1.0f, start.z), XVector3(start.x, 1.0f, start.z) + direction * 3.0f,
                                  other, point));
        }
    }
}

TEST_F(CitadelMap, NamesItsLightMapsAndTheSharedTexturesByArchivePath)
{
    ASSERT_FALSE(loaded->textureFiles.empty());
    int lightMaps = 0;
    for (const std::string& name : loaded->textureFiles) {
        // The loader's host gives the shared textures by their name inside the archive's "scene" folder and
        // the map's own light maps by their whole archive path.
        const bool lightMap = name.rfind("maps\\citadel\\lightmap", 0) == 0;
        lightMaps += lightMap ? 1 : 0;
        EXPECT_TRUE(lightMap || name.find('\\') == std::string::npos) << name;
        std::string path = lightMap ? name : "scene\\" + name;
        for (char& c : path) {
            c = c == '\\' ? '/' : c;
        }
        EXPECT_TRUE(Exists(*staging + "/" + path)) << name;
    }
    EXPECT_GE(lightMaps, 1);
}
