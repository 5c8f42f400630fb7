// Tests of the scene texture host: the texture table's rows become scene textures, and the pictures that
// cannot be had are reported together once the table is read.
#include "render/XSceneTextureHost.h"

#include "render/XTextureManager.h"

#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class SceneTextureTable : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        std::vector<ZipEntry> entries = SpecialTextureEntries();
        PutEntry(entries, "scene/here.bmp", EncodeBmp(2, 2, Bytes(2 * 2 * 3, 99)));
        archive = std::make_unique<ScopedArchive>(entries);
        GetTextureManager(); // its own pictures load now, before any errors are captured
    }

    void TearDown() override
    {
        archive.reset();
        TakeGLError();
    }

    // Loads the table's rows (the missing ones named "scene\\gone<N>.jpg") and returns what was reported.
    std::string LoadTable(int missing, int rowOfThePresentPicture)
    {
        BeginCapturingErrors();
        host.ResizeSceneTextures(missing + 1);
        int gone = 0;
        for (int row = 0; row <= missing; ++row) {
            if (row == rowOfThePresentPicture) {
                host.LoadBitmapTexture(row, "scene\\here.bmp");
            } else {
                host.LoadJpegTexture(row, "scene\\gone" + std::to_string(gone++) + ".jpg");
            }
        }
        const std::string duringTheTable = EndCapturingErrors();
        EXPECT_EQ(duringTheTable, "") << "nothing is reported picture by picture";
        BeginCapturingErrors();
        host.FinishSceneTextures();
        return EndCapturingErrors();
    }

    std::unique_ptr<ScopedArchive> archive;
    XSceneTextureHost host;
};

TEST_F(SceneTextureTable, OneMissingPictureIsNamedAsBefore)
{
    EXPECT_EQ(LoadTable(1, 1), "RUdezer: Texture file scene\\gone0.jpg not found.\n");
    EXPECT_EQ(GetTextureManager()->GetTexture(0), nullptr);
    EXPECT_NE(GetTextureManager()->GetTexture(1), nullptr);
}

TEST_F(SceneTextureTable, ManyMissingPicturesGiveOneMessageWithTheFirstNamesAndTheCount)
{
    const std::string reported = LoadTable(12, 3);
    EXPECT_EQ(reported, "RUdezer: 12 texture files not found: scene\\gone0.jpg, scene\\gone1.jpg, scene\\gone2.jpg, "
                        "scene\\gone3.jpg, scene\\gone4.jpg and 7 more.\n");
    EXPECT_NE(GetTextureManager()->GetTexture(3), nullptr) << "the picture that is there is loaded";
    EXPECT_EQ(GetTextureManager()->GetTexture(12), nullptr);
}

TEST_F(SceneTextureTable, ATableWithoutMissingPicturesReportsNothing)
{
    EXPECT_EQ(LoadTable(0, 0), "");
    BeginCapturingErrors();
    host.FinishSceneTextures();
    EXPECT_EQ(EndCapturingErrors(), "") << "a finished table is not reported again";
}

} // namespace
