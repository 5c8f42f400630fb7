// Tests of XWavefront: OBJ prefixes, faces, key choice, de-indexing and what it does with broken files.
#include "SceneTestSupport.h"

#include "scene/XWavefront.h"

#include <gtest/gtest.h>

#include <memory> // std::unique_ptr
#include <string>
#include <vector>

namespace {

std::unique_ptr<XMesh> Parse(XWavefront& loader, const std::string& text)
{
    // A block of exactly the text's length: the parser may not rely on a terminator.
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[text.size() + 1]);
    std::copy(text.begin(), text.end(), bytes.get());
    return loader.LoadFromMemory(text.empty() ? nullptr : bytes.get(), text.size());
}

std::vector<uint16_t> Triangles(const XMesh& mesh)
{
    return std::vector<uint16_t>(mesh.GetTriangles(), mesh.GetTriangles() + 3 * mesh.GetTriangleCount());
}

// n lines of the given kind: "v i 0 0", "vt i 0" or "vn 0 0 1".
std::string Lines(const char* kind, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (std::string(kind) == "v") {
            text += "v " + std::to_string(i) + " 0 0\n";
        } else if (std::string(kind) == "vt") {
            text += "vt " + std::to_string(i) + " 0.5\n";
        } else {
            text += "vn 0 0 1\n";
        }
    }
    return text;
}

} // namespace

TEST(WavefrontLines, PrefixesMatchInAnyLetterCase)
{
    XWavefront loader;
    const std::unique_ptr<XMesh> mesh =
        Parse(loader, "# a triangle\nV 1 2 3\nv 4 5 6\nVn 0 0 1\nVT 0.25 0.75\nv 7 8 9\nF 1/1/1 2/1/1 3/1/1\n");
    ASSERT_NE(mesh, nullptr) << loader.GetError();
    EXPECT_EQ(mesh->GetVertexCount(), 3);
    EXPECT_EQ(mesh->GetPositions()[0], XVector3(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(mesh->GetPositions()[2], XVector3(7.0f, 8.0f, 9.0f));
    EXPECT_FLOAT_EQ(mesh->GetTexCoordsA()[1].y, 0.75f);
}

TEST(WavefrontLines, ThirdTextureCoordinateIsIgnored)
{
    XWavefront loader;
    const std::unique_ptr<XMesh> mesh = Parse(loader, "v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0.5 0.25 0.125\nvn 0 0 1\n"
                                                      "f 1/1/1 2/1/1 3/1/1\n");
    ASSERT_NE(mesh, nullptr) << loader.GetError();
    EXPECT_FLOAT_EQ(mesh->GetTexCoordsA()[2].x, 0.5f);
    EXPECT_FLOAT_EQ(mesh->GetTexCoordsA()[2].y, 0.25f);
}

TEST(WavefrontFaces, OnlyTheFirstThreeCornersCount)
{
    XWavefront loader;
    const std::unique_ptr<XMesh> mesh =
        Parse(loader, Lines("v", 4) + "vt 0 0\nvn 0 0 1\nf 4/1/1 3/1/1 2/1/1 1/1/1\n");
    ASSERT_NE(mesh, nullptr) << loader.GetError();
    EXPECT_EQ(mesh->GetTriangleCount(), 1);
    EXPECT_EQ(Triangles(*mesh), (std::vector<uint16_t>{3, 2, 1}));
}

TEST(WavefrontFaces, CornersNamePositionTextureNormal)
{
    XWavefront loader;
    const std::unique_ptr<XMesh> mesh =
        Parse(loader, Lines("v", 3) + "vt 0.1 0\nvt 0.2 0\nvn 1 0 0\nvn 0 1 0\nf 1/2/1 2/1/2 3/2/2\n");
    ASSERT_NE(mesh, nullptr) << loader.GetError();
    EXPECT_FLOAT_EQ(mesh->GetTexCoordsA()[0].x, 0.2f);
    EXPECT_FLOAT_EQ(mesh->GetTexCoordsA()[1].x, 0.1f);
    EXPECT_EQ(mesh->GetNormals()[0], XVector3(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(mesh->GetNormals()[2], XVector3(0.0f, 1.0f, 0.0f));
}

TEST(WavefrontFaces, LinesOfEveryKindMayStandAnywhere)
{
    XWavefront loader;
    const std::unique_ptr<XMesh> mesh = Parse(loader, "v 0 0 0\nvt 0 0\nv 1 0 0\nf 1/1/1 2/1/1 3/1/1\nvn 0 0 1\n"
                                                      "v 0 1 0\n");
    ASSERT_NE(mesh, nullptr) << loader.GetError();
    EXPECT_EQ(mesh->GetPositions()[2], XVector3(0.0f, 1.0f, 0.0f));
}

TEST(WavefrontKey, EqualCountsMakeThePositionsTheKey)
{
    XWavefront loader;
    const std::unique_ptr<XMesh> mesh =
        Parse(loader, Lines("v", 8) + Lines("vt", 8) + Lines("vn", 8) + "f 1/8/5 2/7/6 3/6/7\n");
    ASSERT_NE(mesh, nullptr) << loader.GetError();
    EXPECT_EQ(mesh->GetVertexCount(), 8);
    EXPECT_EQ(Triangles(*mesh), (std::vector<uint16_t>{0, 1, 2}));
    // Positions are copied whole; texture coordinates go to the vertices the corners name.
    EXPECT_FLOAT_EQ(mesh->GetPositions()[7].x, 7.0f);
    EXPECT_FLOAT_EQ(mesh->GetTexCoordsA()[0].x, 7.0f);
    EXPECT_FLOAT_EQ(mesh->GetTexCoordsA()[2].x, 5.0f);
}

TEST(WavefrontKey, MoreTextureCoordinatesMakeThemTheKey)
{
    XWavefront loader;
    const std::unique_ptr<XMesh> mesh =
        Parse(loader, Lines("v", 8) + Lines("vt", 12) + Lines("vn", 8) + "f 1/12/1 2/11/1 3/10/1\nf 4/12/1 5/1/1 6/2/1\n");
    ASSERT_NE(mesh, nullptr) << loader.GetError();
    EXPECT_EQ(mesh->GetVertexCount(), 12);
    EXPECT_EQ(Triangles(*mesh), (std::vector<uint16_t>{11, 10, 9, 11, 0, 1}));
    // Vertex 11 is named twice; the later corner's position wins.
    EXPECT_FLOAT_EQ(mesh->GetPositions()[11].x, 3.0f);
    EXPECT_FLOAT_EQ(mesh->GetPositions()[10].x, 1.0f);
    EXPECT_FLOAT_EQ(mesh->GetTexCoordsA()[11].x, 11.0f);
}

TEST(WavefrontKey, MoreNormalsMakeThemTheKey)
{
    XWavefront loader;
    const std::unique_ptr<XMesh> mesh =
        Parse(loader, Lines("v", 3) + "vt 0 0\n" + Lines("vn", 5) + "f 1/1/5 2/1/4 3/1/3\n");
    ASSERT_NE(mesh, nullptr) << loader.GetError();
    EXPECT_EQ(mesh->GetVertexCount(), 5);
    EXPECT_EQ(Triangles(*mesh), (std::vector<uint16_t>{4, 3, 2}));
    EXPECT_FLOAT_EQ(mesh->GetPositions()[3].x, 1.0f);
}

TEST(WavefrontErrors, FileWithoutFacesMakesNoMesh)
{
    XWavefront loader;
    EXPECT_EQ(Parse(loader, Lines("v", 3)), nullptr);
    EXPECT_NE(loader.GetError().find("no faces"), std::string::npos);
    EXPECT_EQ(Parse(loader, ""), nullptr);
}

TEST(WavefrontErrors, MissingKindsOfLineGiveEmptyListsAndAClearError)
{
    XWavefront loader;
    EXPECT_EQ(Parse(loader, Lines("v", 3) + "f 1/1/1 2/1/1 3/1/1\n"), nullptr);
    EXPECT_NE(loader.GetError().find("line 4: corner 1 names 1/1/1, but the file has 3 positions, 0 texture"),
              std::string::npos)
        << loader.GetError();
}

TEST(WavefrontErrors, MalformedFacesNameTheirLine)
{
    XWavefront loader;
    const std::string head = Lines("v", 3) + "vt 0 0\nvn 0 0 1\n";
    for (const char* face : {"f 1 2 3\n", "f 1//1 2//1 3//1\n", "f 1/1/1 2/1/1\n", "f a/b/c d/e/f g/h/i\n"}) {
        EXPECT_EQ(Parse(loader, head + face), nullptr) << face;
        EXPECT_NE(loader.GetError().find("line 6: a face needs"), std::string::npos) << loader.GetError();
    }
}

TEST(WavefrontErrors, IndicesOutsideTheirListsAreRefused)
{
    XWavefront loader;
    const std::string head = Lines("v", 3) + "vt 0 0\nvn 0 0 1\n";
    for (const char* face : {"f 0/1/1 2/1/1 3/1/1\n", "f 1/1/1 2/1/1 4/1/1\n", "f 1/2/1 2/1/1 3/1/1\n",
                             "f 1/1/1 2/1/-1 3/1/1\n", "f 1/1/1 2/1/1 99999999999999999999/1/1\n"}) {
        EXPECT_EQ(Parse(loader, head + face), nullptr) << face;
        EXPECT_NE(loader.GetError().find("line 6: corner"), std::string::npos) << loader.GetError();
    }
}

TEST(WavefrontErrors, MalformedNumbersAreRefused)
{
    XWavefront loader;
    EXPECT_EQ(Parse(loader, "v 1 2\n"), nullptr);
    EXPECT_NE(loader.GetError().find("line 1: a position line"), std::string::npos);
    EXPECT_EQ(Parse(loader, "v 0 0 0\nvt x 1\n"), nullptr);
    EXPECT_NE(loader.GetError().find("line 2: a texture coordinate line"), std::string::npos);
    EXPECT_EQ(Parse(loader, "vn 0 0 nan\n"), nullptr);
    EXPECT_NE(loader.GetError().find("line 1: a normal line"), std::string::npos);
}

TEST(WavefrontErrors, TooManyVerticesAreRefused)
{
    XWavefront loader;
    EXPECT_EQ(Parse(loader, Lines("v", 50000) + "vt 0 0\nvn 0 0 1\nf 1/1/1 2/1/1 3/1/1\n"), nullptr);
    EXPECT_NE(loader.GetError().find("50000 vertices"), std::string::npos) << loader.GetError();
}

TEST(WavefrontFile, LoadsFromDisk)
{
    const std::string path = UniqueFileName("mesh", ".obj");
    ASSERT_TRUE(
        WriteWholeFile(path, "v 0 0 0\r\nv 1 0 0\r\nv 0 1 0\r\nvt 0 0\r\nvn 0 0 1\r\nf 1/1/1 2/1/1 3/1/1\r\n"));
    XWavefront loader;
    const std::unique_ptr<XMesh> mesh = loader.LoadFromFile(path.c_str());
    ASSERT_NE(mesh, nullptr) << loader.GetError();
    EXPECT_EQ(mesh->GetPositions()[1], XVector3(1.0f, 0.0f, 0.0f));
}

TEST(WavefrontFile, BrokenFileShowsAnErrorAndGivesNull)
{
    const std::string path = UniqueFileName("broken", ".obj");
    ASSERT_TRUE(WriteWholeFile(path, "v 0 0 0\n"));
    XWavefront loader;
    testing::internal::CaptureStderr();
    EXPECT_EQ(loader.LoadFromFile(path.c_str()), nullptr);
    const std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_NE(shown.find("XWavefront::LoadFromFile : " + path + ", no faces"), std::string::npos) << shown;
}

TEST(WavefrontFileDeathTest, MissingFileStopsTheProgram)
{
    XWavefront loader;
    EXPECT_EXIT(loader.LoadFromFile("no/such/file.obj"), testing::ExitedWithCode(1),
                "XWavefront::LoadFromFile : \nFile not found - no/such/file.obj");
}
