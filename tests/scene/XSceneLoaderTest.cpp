// Tests of XSceneLoader: the positional scene file format, fed through a test archive (as the game does) or
// straight from memory, and what the loader makes of files that break the format.
#include "SceneTestSupport.h"

#include "scene/XArchive.h"
#include "scene/XLightManager.h"
#include "scene/XScene.h"
#include "scene/XSceneLoader.h"
#include "scene/XShaderManager.h"
#include "shell/XOptions.h"

#include <gtest/gtest.h>

#include <cmath>   // std::sqrt
#include <memory>  // std::unique_ptr
#include <sstream> // std::istringstream
#include <string>
#include <vector>

namespace {

// 1-based number of the first line of text that equals content; 0 when there is none.
int LineOf(const std::string& text, const std::string& content)
{
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (line == content) {
            return number;
        }
    }
    return 0;
}

std::string At(int line)
{
    return "scene\\world.msa, line " + std::to_string(line) + ":";
}

void ExpectVector2(const XVector2& actual, float x, float y)
{
    EXPECT_NEAR(actual.x, x, 1e-6f);
    EXPECT_NEAR(actual.y, y, 1e-6f);
}

void ExpectColor(const XColor3& actual, float r, float g, float b)
{
    EXPECT_NEAR(actual.r, r, 1e-6f);
    EXPECT_NEAR(actual.g, g, 1e-6f);
    EXPECT_NEAR(actual.b, b, 1e-6f);
}

std::vector<std::string> NodeNames(const XScene& scene)
{
    std::vector<std::string> names;
    for (int i = 0; i < scene.GetNodeCount(); ++i) {
        names.push_back(scene.GetNode(i)->GetName());
    }
    return names;
}

// A loader with its scene and recording host, loading through a fresh archive.
class SceneFileTest : public ::testing::Test {
protected:
    void LoadThroughArchive(const std::string& text)
    {
        SelectArchiveWithScene(text);
        loader.SetScene(&scene);
        loader.SetHost(&host);
        loader.Load("world");
    }

    // From a block of exactly the text's length: nothing may be read past it.
    void LoadFromExactMemory(const std::string& text)
    {
        std::unique_ptr<unsigned char[]> bytes(new unsigned char[text.size() + 1]);
        std::copy(text.begin(), text.end(), bytes.get());
        loader.SetScene(&scene);
        loader.SetHost(&host);
        loader.LoadFromMemory(text.empty() ? nullptr : bytes.get(), static_cast<uint32_t>(text.size()));
    }

    const std::vector<std::string>& Problems() const { return loader.GetProblems(); }

    XScene scene;
    RecordingHost host;
    XSceneLoader loader;
};

} // namespace

// ---------------------------------------------------------------------------------------------------------

TEST_F(SceneFileTest, SectionsLoadWhereverTheyStand)
{
    LoadThroughArchive(ReadSceneData("sections.msa"));
    EXPECT_EQ(NodeNames(scene), (std::vector<std::string>{"world", "skydome", "World"}));
    EXPECT_EQ(GetShaderManager()->GetCount(), 3);
    EXPECT_EQ(GetLightManager()->GetCount(), 2);
    EXPECT_EQ(loader.GetObjectCount(), 3);
    ASSERT_FALSE(host.calls.empty());
    EXPECT_EQ(host.calls.front(), "resize 8");
}

// The game builds on the geometry while the pictures load: the handler must see every object and no texture yet,
// whatever order the file's sections stand in.
TEST_F(SceneFileTest, ObjectsReadHandlerRunsOnceWithEveryObjectBeforeAnyTexture)
{
    std::vector<std::vector<std::string>> seen; // the node names at each call
    size_t hostCallsBefore = 0;
    loader.SetObjectsReadHandler([&] {
        seen.push_back(NodeNames(scene));
        hostCallsBefore = host.calls.size();
    });
    LoadThroughArchive(ReadSceneData("sections.msa"));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], (std::vector<std::string>{"world", "skydome", "World"}));
    EXPECT_EQ(hostCallsBefore, 0u);
    EXPECT_FALSE(host.calls.empty());
}

// A host whose texture loading reads other archive entries, as the texture manager does when it is created
// by the first texture: the archive's one current resource changes under the loader.
class ArchiveReadingHost : public RecordingHost {
public:
    void LoadBitmapTexture(int row, const std::string& archivePath) override
    {
        RecordingHost::LoadBitmapTexture(row, archivePath);
        QXOpenResource("misc\\other.raw");
    }
    void LoadJpegTexture(int row, const std::string& archivePath) override
    {
        RecordingHost::LoadJpegTexture(row, archivePath);
        QXOpenResource("misc\\other.raw");
    }
};

TEST_F(SceneFileTest, SectionsAfterTheTexturesStillReadTheSceneWhenTextureLoadingOpensOtherEntries)
{
    const std::string path = UniqueFileName("busy", ".zip");
    const std::string sceneText = ReadSceneData("sections.msa");
    WriteZip(path, {{"scene/world.msa", Bytes(sceneText.begin(), sceneText.end())},
                    {"misc/other.raw", Bytes(4096, 'x')}});
    XOptions options = GetOptions();
    options.archive = path;
    SetOptions(options);
    ASSERT_TRUE(QXInitialize());
    ASSERT_TRUE(QXSetArchive(path.c_str(), ""));
    ArchiveReadingHost busyHost;
    loader.SetScene(&scene);
    loader.SetHost(&busyHost);
    loader.Load("world");
    ASSERT_GT(busyHost.calls.size(), 2u) << "the scene's textures were loaded";
    EXPECT_EQ(GetLightManager()->GetCount(), 2) << "the light table follows the texture table";
    EXPECT_EQ(loader.GetProblemCount(), 1);
}

TEST_F(SceneFileTest, OnlyTheNamelessTextureIsAProblem)
{
    const std::string text = ReadSceneData("sections.msa");
    LoadThroughArchive(text);
    ASSERT_EQ(loader.GetProblemCount(), 1);
    EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, "3 diffuse 64 64 upperbmp a.BMP")), "a.BMP"}))
        << Problems().front();
}

TEST_F(SceneFileTest, MemoryLoadNeedsNoTerminator)
{
    LoadFromExactMemory(ReadSceneData("sections.msa"));
    EXPECT_EQ(scene.GetNodeCount(), 3);
    EXPECT_EQ(loader.GetProblemCount(), 1);
}

TEST_F(SceneFileTest, MissingSceneFileLeavesEverythingEmpty)
{
    const std::string path = UniqueFileName("nothing", ".zip");
    const std::string otherText = "material_list : 1\n";
    WriteZip(path, {{"scene/other.msa", Bytes(otherText.begin(), otherText.end())}});
    XOptions options = GetOptions();
    options.archive = path;
    SetOptions(options);
    ASSERT_TRUE(QXInitialize());
    ASSERT_TRUE(QXSetArchive(path.c_str(), ""));
    loader.SetScene(&scene);
    loader.SetHost(&host);
    loader.Load("world");

    EXPECT_EQ(scene.GetNodeCount(), 0);
    EXPECT_EQ(GetShaderManager()->GetCount(), 0);
    EXPECT_EQ(GetLightManager()->GetCount(), 0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"resize 0"}));
    ASSERT_FALSE(Problems().empty());
    EXPECT_NE(Problems().front().find("scene\\world.msa: not found in the archive"), std::string::npos);
}

TEST_F(SceneFileTest, ProblemsAreLoggedAndSummedUp)
{
    LoadThroughArchive(ReadSceneData("sections.msa"));
    const std::string log = ReadWholeFile("Korvath.log");
    EXPECT_NE(log.find("a.BMP\" has neither"), std::string::npos);
    EXPECT_NE(log.find("The scene file has 1 problem. The first:"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------------------

TEST(SceneFileHeads, FileWithoutHeadsGivesEmptySections)
{
    XScene scene;
    RecordingHost host;
    XSceneLoader loader;
    loader.SetScene(&scene);
    loader.SetHost(&host);
    GetLightManager()->SetCount(5);
    const std::string text = "just some text\nobject_start without the blank\n";
    loader.LoadFromMemory(reinterpret_cast<const unsigned char*>(text.data()), static_cast<uint32_t>(text.size()));
    EXPECT_EQ(scene.GetNodeCount(), 0);
    EXPECT_EQ(GetShaderManager()->GetCount(), 0);
    EXPECT_EQ(GetLightManager()->GetCount(), 0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"resize 0"}));
    EXPECT_EQ(loader.GetProblemCount(), 3);
    EXPECT_TRUE(AnyContains(loader.GetProblems(), {"no \"material_list\" line"}));
    EXPECT_TRUE(AnyContains(loader.GetProblems(), {"no \"texture_table\" line"}));
    EXPECT_TRUE(AnyContains(loader.GetProblems(), {"no \"light_table\" line"}));
}

TEST(SceneFileHeads, EachSectionSearchesFromTheFirstLine)
{
    // The head's "object count" line is itself the material head; the material block must still be read
    // from the lines after it, not from the top of the file.
    const std::string text = "objects\n\n\nmaterial_list : 1\n\n\nname m\n"
                             "a 1 0 0\nb 0 1 0\nc 0 0 1\nd 1 1 1\nv 3\nt 0.5\nt1 -1\nt2 -1\nt3 -1\n"
                             "texture_table : 0\nlight_table : 0\n";
    XSceneLoader loader;
    loader.LoadFromMemory(reinterpret_cast<const unsigned char*>(text.data()), static_cast<uint32_t>(text.size()));
    ASSERT_EQ(GetShaderManager()->GetCount(), 1);
    const XShader& shader = GetShaderManager()->GetShader(0);
    ExpectColor(shader.colors[2], 1.0f, 0.0f, 0.0f);
    ExpectColor(shader.colors[3], 1.0f, 1.0f, 1.0f);
    EXPECT_FLOAT_EQ(shader.param, 3.0f);
    EXPECT_FLOAT_EQ(shader.opacity, 0.5f);
    EXPECT_EQ(loader.GetProblemCount(), 0);
}

TEST(SceneFileHeads, CountsOutsideTheirLimitsEmptyTheSection)
{
    const std::string text = "material_list : -3\ntexture_table : 20000\nlight_table : x\n";
    RecordingHost host;
    XSceneLoader loader;
    loader.SetHost(&host);
    loader.LoadFromMemory(reinterpret_cast<const unsigned char*>(text.data()), static_cast<uint32_t>(text.size()));
    EXPECT_EQ(GetShaderManager()->GetCount(), 0);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"resize 0"}));
    EXPECT_EQ(GetLightManager()->GetCount(), 0);
    EXPECT_TRUE(AnyContains(loader.GetProblems(), {At(1), "-3"}));
    EXPECT_TRUE(AnyContains(loader.GetProblems(), {At(2), "20000"}));
    EXPECT_TRUE(AnyContains(loader.GetProblems(), {At(3), "light_table : <count>"}));
}

// ---------------------------------------------------------------------------------------------------------

TEST_F(SceneFileTest, MaterialColoursFillSlotsTwoOneZeroThree)
{
    LoadThroughArchive(ReadSceneData("sections.msa"));
    const XShader& shader = GetShaderManager()->GetShader(0);
    ExpectColor(shader.colors[2], 0.1f, 0.2f, 0.3f);
    ExpectColor(shader.colors[1], 0.4f, 0.5f, 0.6f);
    ExpectColor(shader.colors[0], 0.7f, 0.8f, 0.9f);
    ExpectColor(shader.colors[3], 0.0f, 0.25f, 0.5f);
    EXPECT_FLOAT_EQ(shader.param, 12.5f);
    EXPECT_FLOAT_EQ(shader.opacity, 1.0f);
}

TEST_F(SceneFileTest, ThirdTextureReplacesTheSecond)
{
    LoadThroughArchive(ReadSceneData("sections.msa"));
    const XShader& both = GetShaderManager()->GetShader(0); // texture numbers 0, 4, 7
    EXPECT_EQ(both.texture0, 0);
    EXPECT_EQ(both.texture1, 7);
    EXPECT_TRUE(both.hasTexture2);
    EXPECT_TRUE(both.hasTexture3);
    EXPECT_TRUE(both.hasBoth);

    const XShader& lightMapOnly = GetShaderManager()->GetShader(1); // 5, 4, -1
    EXPECT_EQ(lightMapOnly.texture0, 5);
    EXPECT_EQ(lightMapOnly.texture1, 4);
    EXPECT_TRUE(lightMapOnly.hasTexture2);
    EXPECT_FALSE(lightMapOnly.hasTexture3);
    EXPECT_FALSE(lightMapOnly.hasBoth);
}

TEST_F(SceneFileTest, TransparencyBecomesOpacity)
{
    LoadThroughArchive(ReadSceneData("sections.msa"));
    const XShader& glass = GetShaderManager()->GetShader(2);
    EXPECT_FLOAT_EQ(glass.opacity, 0.75f);
    EXPECT_EQ(glass.texture0, -1);
    EXPECT_EQ(glass.texture1, -1);
    EXPECT_FALSE(glass.hasTexture2);
}

TEST(SceneFileMaterialTextures, NumbersBeyondTheTableBecomeNone)
{
    const std::string text = "material_list : 1\n\n\nname m\na 0 0 0\nb 0 0 0\nc 0 0 0\nd 0 0 0\nv 0\nt 0\n"
                             "t1 1\nt2 2\nt3 -7\ntexture_table : 2\n0 d 1 1 a a.jpg\n1 d 1 1 b b.jpg\nlight_table : 0\n";
    XSceneLoader loader;
    loader.LoadFromMemory(reinterpret_cast<const unsigned char*>(text.data()), static_cast<uint32_t>(text.size()));
    const XShader& shader = GetShaderManager()->GetShader(0);
    EXPECT_EQ(shader.texture0, 1);
    EXPECT_EQ(shader.texture1, -1) << "row 2 is beyond a table of 2 rows";
    EXPECT_TRUE(AnyContains(loader.GetProblems(), {At(13), "-7"}));
    EXPECT_TRUE(AnyContains(loader.GetProblems(), {At(11), "texture 2 is not in the texture table (2 rows)"}));
}

// ---------------------------------------------------------------------------------------------------------

TEST_F(SceneFileTest, TexturesLoadByNameWithProgress)
{
    LoadThroughArchive(ReadSceneData("sections.msa"));
    const std::vector<std::string> expected = {
        "resize 8",
        "jpeg 0 scene\\stone.jpg",
        "progress Loading texture scene\\stone.jpg.",
        "jpeg 1 scene\\a.jpg.bmp", // the JPEG test comes first
        "progress Loading texture scene\\a.jpg.bmp.",
        "jpeg 2 scene\\a.JPG",
        "progress Loading texture scene\\a.JPG.",
        "progress Loading texture scene\\a.BMP.", // neither test matches: the entry stays empty
        "bmp 4 scene\\lm.bmp",
        "progress Loading texture scene\\lm.bmp.",
        "jpeg 5 scene\\e.jpg",
        "progress Loading texture scene\\e.jpg.",
        "bmp 6 scene\\f.bmp",
        "progress Loading texture scene\\f.bmp.",
        "jpeg 7 scene\\g.jpg",
        "progress Loading texture scene\\g.jpg.",
    };
    EXPECT_EQ(host.calls, expected);
}

TEST_F(SceneFileTest, LightsKeepTheirPositionsAndColours)
{
    LoadThroughArchive(ReadSceneData("sections.msa"));
    ASSERT_EQ(GetLightManager()->GetCount(), 2);
    ExpectVector(GetLightManager()->GetLight(0).GetPosition(), 10.0f, 4.0f, -2.0f);
    ExpectColor(GetLightManager()->GetLight(0).GetColor(), 1.0f, 0.9f, 0.8f);
    ExpectVector(GetLightManager()->GetLight(1).GetPosition(), -5.0f, 2.5f, 0.0f);
    ExpectColor(GetLightManager()->GetLight(1).GetColor(), 0.2f, 0.3f, 0.4f);
}

TEST_F(SceneFileTest, LightsBeyondTheTableAreIgnored)
{
    const std::string text = ReadSceneData("lights.msa");
    LoadThroughArchive(text);
    ASSERT_EQ(GetLightManager()->GetCount(), 100);
    ExpectVector(GetLightManager()->GetLight(99).GetPosition(), 99.0f, 0.0f, 0.0f);
    EXPECT_EQ(loader.GetProblemCount(), 1);
    EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, "light_table : 105")), "105 lights"}));
}

// ---------------------------------------------------------------------------------------------------------

TEST_F(SceneFileTest, EqualCountsMakeThePositionsTheKey)
{
    LoadThroughArchive(ReadSceneData("sections.msa"));
    const XMesh* const mesh = scene.FindNode("world")->GetMesh();
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetVertexCount(), 4);
    ASSERT_EQ(mesh->GetTriangleCount(), 2);
    const std::vector<uint16_t> triangles(mesh->GetTriangles(), mesh->GetTriangles() + 6);
    EXPECT_EQ(triangles, (std::vector<uint16_t>{0, 1, 2, 0, 2, 3}));
}

TEST_F(SceneFileTest, VerticesTakeBothCoordinateSetsCrossedAndAreScaled)
{
    LoadThroughArchive(ReadSceneData("sections.msa"));
    const XMesh* const mesh = scene.FindNode("world")->GetMesh();
    ASSERT_NE(mesh, nullptr);
    // Scale (2, 1, 1).
    ExpectVector(mesh->GetPositions()[1], 2.0f, 0.0f, 0.0f);
    ExpectVector(mesh->GetPositions()[2], 2.0f, 1.0f, 0.0f);
    // Coordinates A come from the second set (vertices 0 .. 3 take its entries 3, 2, 1, 0), B from the first
    // (entries 1, 2, 3, 0).
    ExpectVector2(mesh->GetTexCoordsA()[0], 0.0f, 0.0f);
    ExpectVector2(mesh->GetTexCoordsA()[1], 0.0f, 0.5f);
    ExpectVector2(mesh->GetTexCoordsA()[3], 0.5f, 0.0f);
    ExpectVector2(mesh->GetTexCoordsB()[0], 1.0f, 0.0f);
    ExpectVector2(mesh->GetTexCoordsB()[2], 0.0f, 1.0f);
    // The normal (1, 1, 0)/sqrt(2) turned by the inverse scale: (0.5, 1, 0) normalised.
    ExpectVector(mesh->GetNormals()[0], 0.5f / std::sqrt(1.25f), 1.0f / std::sqrt(1.25f), 0.0f);
    ExpectVector(mesh->GetNormals()[3], 0.0f, 0.0f, 1.0f);
}

TEST_F(SceneFileTest, NodesGetFrameBoundsAndGroups)
{
    LoadThroughArchive(ReadSceneData("sections.msa"));
    const XSceneNode* const world = scene.FindNode("world");
    ASSERT_NE(world, nullptr);
    ExpectVector(world->GetFrame().translate, 5.0f, 6.0f, 7.0f);
    ExpectVector(scene.FindNode("skydome")->GetFrame().rot2, -1.0f, 0.0f, 0.0f);
    // Bounds of the scaled positions (0..2, 0..1, 0).
    ExpectVector(world->GetBounds().center, 1.0f, 0.5f, 0.0f);
    ExpectVector(world->GetBounds().size, 2.0f, 1.0f, 0.0f);
    ASSERT_EQ(world->GetMaterialGroupCount(), 2);
    EXPECT_EQ(world->GetMaterialGroup(0).materialId, 0);
    EXPECT_EQ(world->GetMaterialGroup(1).materialId, 1);
    EXPECT_EQ(world->GetMaterialGroup(1).triangleCount, 1);
    EXPECT_EQ(world->GetGroupFirstTriangle(1), 1);
}

TEST_F(SceneFileTest, LargerFirstCoordinateSetBecomesTheKeyAndLastWriteWins)
{
    LoadThroughArchive(ReadSceneData("sections.msa"));
    const XMesh* const mesh = scene.FindNode("skydome")->GetMesh();
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetVertexCount(), 4) << "one vertex per entry of the first coordinate set";
    const std::vector<uint16_t> triangles(mesh->GetTriangles(), mesh->GetTriangles() + 6);
    EXPECT_EQ(triangles, (std::vector<uint16_t>{0, 1, 2, 3, 2, 1}));
    // The second triangle writes vertices 2 and 1 again with other positions.
    ExpectVector(mesh->GetPositions()[0], 0.0f, 0.0f, 0.0f);
    ExpectVector(mesh->GetPositions()[1], 0.0f, 10.0f, 0.0f);
    ExpectVector(mesh->GetPositions()[2], 10.0f, 0.0f, 0.0f);
    ExpectVector(mesh->GetPositions()[3], 0.0f, 0.0f, 0.0f);
    ExpectVector2(mesh->GetTexCoordsB()[3], 0.75f, 0.0f);
}

TEST_F(SceneFileTest, MissingEndObjectEndsTheGroupsAtTheNextHeadOrTheEnd)
{
    const std::string text = ReadSceneData("missing_end.msa");
    LoadThroughArchive(text);
    ASSERT_EQ(NodeNames(scene), (std::vector<std::string>{"first", "second"}));
    ExpectVector(scene.GetNode(1)->GetMesh()->GetPositions()[1], 2.0f, 0.0f, 0.0f);
    // The head of "second" where "end_object" of "first" belongs; the end of the data needs no word.
    EXPECT_EQ(loader.GetProblemCount(), 1);
    EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, "object_start : second")), "end_object"}));
}

// The documented example with its object moved to the end of the file, ending after the triangle line of its
// last group with the given text instead of the free line and "end_object".
std::string ExampleEndingInObject(const std::string& ending)
{
    const std::string example = ReadSceneData("example.msa");
    const size_t start = example.find("object_start : world\n");
    const std::string lastTriangle = "0/0/0/0 2/0/0/0 1/0/0/0\n";
    const size_t triangle = example.find(lastTriangle);
    const size_t end = example.find("end_object\n");
    if (start == std::string::npos || triangle == std::string::npos || end == std::string::npos) {
        ADD_FAILURE() << "example.msa does not have the expected object block";
        return example;
    }
    const std::string object = example.substr(start, triangle + lastTriangle.size() - start);
    const std::string rest = example.substr(0, start) + example.substr(end + std::string("end_object\n").size());
    return rest + object + ending;
}

TEST_F(SceneFileTest, BlankLinesAtTheEndOfTheFileEndTheLastObjectWithoutAProblem)
{
    for (const std::string ending : {"", "\n", "\n\n", "\n\n\n", "\n\n\n\n\n", "\r\n\r\n  \r\n\t\n"}) {
        const std::string text = ExampleEndingInObject(ending);
        XScene fresh;
        XSceneLoader freshLoader;
        freshLoader.SetScene(&fresh);
        freshLoader.LoadFromMemory(reinterpret_cast<const unsigned char*>(text.data()),
                                   static_cast<uint32_t>(text.size()));
        const std::vector<std::string>& problems = freshLoader.GetProblems();
        EXPECT_EQ(freshLoader.GetProblemCount(), 0) << testing::PrintToString(ending) << ": "
                                                    << (problems.empty() ? "" : problems.front());
        ASSERT_EQ(NodeNames(fresh), (std::vector<std::string>{"world"})) << testing::PrintToString(ending);
        EXPECT_EQ(fresh.GetNode(0)->GetMesh()->GetTriangleCount(), 1);
    }
}

TEST_F(SceneFileTest, TextAfterBlankLinesAtTheEndOfTheLastObjectIsStillAProblem)
{
    const std::string text = ExampleEndingInObject("\n\n\nstray words\n");
    LoadFromExactMemory(text);
    ASSERT_EQ(NodeNames(scene), (std::vector<std::string>{"world"})) << "the complete object is kept";
    EXPECT_EQ(loader.GetProblemCount(), 1);
    // The free line after the group is passed over; the blank line after it is where a word belongs.
    EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, "0/0/0/0 2/0/0/0 1/0/0/0") + 2), "end_object"}));
}

TEST_F(SceneFileTest, DuplicateNamesAndLetterCase)
{
    LoadThroughArchive(ReadSceneData("duplicates.msa"));
    ASSERT_EQ(scene.GetNodeCount(), 3);
    ExpectVector(scene.FindNode("world")->GetFrame().translate, 1.0f, 0.0f, 0.0f);
    ExpectVector(scene.FindNode("World")->GetFrame().translate, 3.0f, 0.0f, 0.0f);
    EXPECT_EQ(scene.FindNode("WORLD"), nullptr);
}

// ---------------------------------------------------------------------------------------------------------

class SceneFileBrokenTest : public SceneFileTest {
protected:
    void SetUp() override
    {
        text = ReadSceneData("malformed.msa");
        LoadThroughArchive(text);
    }

    std::string text;
};

TEST_F(SceneFileBrokenTest, BrokenObjectsAreLeftOutAndTheRestLoads)
{
    EXPECT_EQ(NodeNames(scene), (std::vector<std::string>{"badmaterial", "good"}));
    ASSERT_NE(scene.FindNode("good")->GetMesh(), nullptr);
    EXPECT_EQ(scene.FindNode("good")->GetMesh()->GetTriangleCount(), 1);
    for (const char* name : {"badvertex", "badindex", "badsum", "toobig", "negative", "zeroscale", "badtriangle"}) {
        const std::string head = std::string("object_start : ") + name;
        EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, head)), std::string("object \"") + name +
                                                                         "\" is left out"}))
            << name;
    }
}

TEST_F(SceneFileBrokenTest, EachProblemNamesItsLine)
{
    EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, "1 2 x")), "expected three numbers"}));
    EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, "0/0/0/0 1/0/0/0 3/0/0/0")), "position index 3"}));
    EXPECT_TRUE(AnyContains(Problems(), {"groups hold 1 triangles, but indice_count says 2"}));
    EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, "vertices : 50000")), "50000"}));
    EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, "normals : -1")), "-1"}));
    EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, "1 0 1")), "scale of 0"}));
    EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, "material_id : 7")), "material 7 is not in the material list"}));
    EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, "0/0/0 1/0/0 2/0/0")), "expected a triangle"}));
}

TEST_F(SceneFileBrokenTest, ObjectWithAnUnknownMaterialStaysWithNoMaterial)
{
    const XSceneNode* const node = scene.FindNode("badmaterial");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->GetMaterialGroup(0).materialId, -1);
}

TEST_F(SceneFileBrokenTest, BadMaterialLineKeepsTheOtherItems)
{
    const XShader& shader = GetShaderManager()->GetShader(0);
    ExpectColor(shader.colors[1], 0.0f, 0.0f, 0.0f);
    ExpectColor(shader.colors[2], 1.0f, 1.0f, 1.0f);
    ExpectColor(shader.colors[0], 1.0f, 1.0f, 1.0f);
    EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, "diffuse 0.4 zz 0.6")), "second colour"}));
}

TEST_F(SceneFileBrokenTest, BadTextureRowsLeaveTheirEntriesEmpty)
{
    const std::vector<std::string> expected = {
        "resize 3",
        "jpeg 1 scene\\ok.jpg",
        "progress Loading texture scene\\ok.jpg.",
        "progress Loading texture scene\\picture.png.",
    };
    EXPECT_EQ(host.calls, expected);
    EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, "0 diffuse 256")), "texture row 0"}));
    EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, "2 diffuse 16 16 noext picture.png")), "picture.png"}));
}

TEST_F(SceneFileBrokenTest, BadLightIsLeftOut)
{
    ASSERT_EQ(GetLightManager()->GetCount(), 1);
    ExpectVector(GetLightManager()->GetLight(0).GetPosition(), 3.0f, 4.0f, 5.0f);
    EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, "position: 1 2")), "light 0"}));
}

// ---------------------------------------------------------------------------------------------------------

TEST_F(SceneFileTest, LongLinesAndNamesAreCut)
{
    const std::string text = ReadSceneData("long_lines.msa");
    LoadThroughArchive(text);
    ASSERT_EQ(scene.GetNodeCount(), 1);
    EXPECT_EQ(scene.GetNode(0)->GetName(), std::string(254, 'n'));
    ExpectVector(scene.GetNode(0)->GetMesh()->GetPositions()[1], 1.0f, 0.0f, 0.0f);
    EXPECT_TRUE(AnyContains(Problems(), {At(LineOf(text, "object_start : " + std::string(300, 'n'))), "cut"}));
    EXPECT_TRUE(AnyContains(Problems(), {"line longer than 999 characters"}));
    EXPECT_TRUE(AnyContains(Problems(), {At(4), "file name longer than 126 characters"}));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"resize 2", "jpeg 1 scene\\short.jpg",
                                                    "progress Loading texture scene\\short.jpg."}));
    EXPECT_FALSE(AnyContains(Problems(), {At(2)})) << "a long line that is passed over is no problem";
}

TEST_F(SceneFileTest, AZeroByteInANameIsReportedWithItsLine)
{
    std::string text = ReadSceneData("example.msa");
    const int headLine = LineOf(text, "object_start : world");
    const std::string head = "object_start : world";
    text.replace(text.find(head), head.size(), std::string("object_start : wo\0rld", 22));
    LoadFromExactMemory(text);
    EXPECT_EQ(loader.GetProblemCount(), 1);
    EXPECT_TRUE(AnyContains(Problems(), {At(headLine), "a zero byte at column 18"}))
        << (Problems().empty() ? "" : Problems().front());
}

TEST_F(SceneFileTest, AZeroByteInALineThatIsReadIsReportedButNotInAFreeLine)
{
    std::string text = ReadSceneData("example.msa");
    const int triangleLine = LineOf(text, "0/0/0/0 2/0/0/0 1/0/0/0");
    text.replace(text.find("0/0/0/0 2/0/0/0 1/0/0/0"), 23, std::string("0/0/0/0 2/0/0/0 1/0/0/0\0 # x", 29));
    text.replace(text.find("(free)"), 6, std::string("(fr\0ee)", 7));
    LoadFromExactMemory(text);
    EXPECT_EQ(loader.GetProblemCount(), 1) << (Problems().empty() ? "" : Problems().front());
    EXPECT_TRUE(AnyContains(Problems(), {At(triangleLine), "a zero byte at column 24"}));
    EXPECT_EQ(NodeNames(scene), (std::vector<std::string>{"world"})) << "what comes before the byte is read";
}

TEST(SceneFileProblems, OnlyTheFirstHundredAreListed)
{
    std::string text = "material_list : 0\ntexture_table : 150\n";
    for (int i = 0; i < 150; ++i) {
        text += "bad row\n";
    }
    text += "light_table : 0\n";
    XSceneLoader loader;
    loader.LoadFromMemory(reinterpret_cast<const unsigned char*>(text.data()), static_cast<uint32_t>(text.size()));
    EXPECT_EQ(loader.GetProblemCount(), 150);
    EXPECT_EQ(loader.GetProblems().size(), 100u);
}

TEST_F(SceneFileTest, DocumentedExampleLoadsCleanly)
{
    // tests/scene/data/example.msa is the example of docs/scene-format.md.
    LoadThroughArchive(ReadSceneData("example.msa"));
    EXPECT_EQ(loader.GetProblemCount(), 0) << (Problems().empty() ? "" : Problems().front());
    ASSERT_EQ(NodeNames(scene), (std::vector<std::string>{"world"}));
    EXPECT_EQ(loader.GetObjectCount(), 1);
    const std::vector<uint16_t> triangles(scene.GetNode(0)->GetMesh()->GetTriangles(),
                                          scene.GetNode(0)->GetMesh()->GetTriangles() + 3);
    EXPECT_EQ(triangles, (std::vector<uint16_t>{0, 2, 1}));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"resize 2", "jpeg 0 scene\\stone.jpg",
                                                    "progress Loading texture scene\\stone.jpg.",
                                                    "bmp 1 scene\\lm0.bmp", "progress Loading texture scene\\lm0.bmp."}));
    EXPECT_EQ(GetLightManager()->GetCount(), 1);
    EXPECT_EQ(GetShaderManager()->GetShader(0).texture1, 1);
}
