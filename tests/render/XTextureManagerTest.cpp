// Tests of the texture manager: the special table's fixed slots and the scene table.
#include "render/XTextureManager.h"

#include "render/XTexture2D.h"

#include "RenderTestSupport.h"

#include <gmock/gmock.h> // matchers
#include <gtest/gtest.h>

#include <memory>

namespace {

using testing::ExitedWithCode;
using testing::KilledBySignal;

class TextureManagement : public RenderTest {
protected:
    void TearDown() override
    {
        glBindTexture(GL_TEXTURE_2D, 0);
        TakeGLError();
    }

    // The first texel of level 0 of a special texture, as RGBA bytes.
    static Bytes FirstTexel(const XTexture& texture)
    {
        glBindTexture(GL_TEXTURE_2D, texture.GetId());
        const Bytes pixels = ReadTextureImage(GL_TEXTURE_2D, 0, GL_RGBA, 4);
        return Bytes(pixels.begin(), pixels.begin() + 4);
    }
};

using SpecialTextures = TextureManagement;

struct ExpectedSlot {
    int slot;
    int type;
    const char* name;
    GLenum wrap;
    GLenum filter;
};

TEST_F(SpecialTextures, EachFilledSlotHasItsNameWrapAndFilter)
{
    const XTextureManager manager;
    const ExpectedSlot expected[] = {
        {0, 0, "spotcube", GL_CLAMP, GL_LINEAR},
        {1, 2, "decal", GL_REPEAT, GL_LINEAR_MIPMAP_NEAREST},
        {2, 2, "decal", GL_REPEAT, GL_LINEAR_MIPMAP_NEAREST},
        {3, 2, "menu", GL_CLAMP, GL_LINEAR},
        {5, 2, "cursor", GL_CLAMP, GL_LINEAR},
        {6, 2, "font2D", GL_REPEAT, GL_LINEAR_MIPMAP_NEAREST},
        {7, 0, "", 0, GL_LINEAR_MIPMAP_NEAREST},
        {9, 2, "explode", GL_REPEAT, GL_LINEAR_MIPMAP_LINEAR},
        {16, 2, "explode", GL_REPEAT, GL_LINEAR_MIPMAP_LINEAR},
        {17, 2, "weapon", GL_REPEAT, GL_LINEAR_MIPMAP_NEAREST},
        {18, 2, "light", GL_CLAMP, GL_LINEAR},
        {26, 2, "decal", GL_CLAMP, GL_LINEAR_MIPMAP_NEAREST},
    };
    for (const ExpectedSlot& slot : expected) {
        const XTexture* const texture = manager.GetSpecialTexture(slot.slot);
        ASSERT_NE(texture, nullptr) << "slot " << slot.slot;
        EXPECT_EQ(texture->GetType(), slot.type) << "slot " << slot.slot;
        EXPECT_EQ(texture->GetName(), slot.name) << "slot " << slot.slot;
        EXPECT_EQ(texture->GetWrap(), slot.wrap) << "slot " << slot.slot;
        EXPECT_EQ(texture->GetMinFilter(), slot.filter) << "slot " << slot.slot;
        EXPECT_EQ(texture->GetMagFilter(), slot.filter) << "slot " << slot.slot;
        EXPECT_TRUE(glIsTexture(texture->GetId())) << "slot " << slot.slot;
    }
}

TEST_F(SpecialTextures, EachSlotHoldsThePictureOfItsFile)
{
    const XTextureManager manager;
    EXPECT_EQ(FirstTexel(*manager.GetSpecialTexture(1)), Bytes(4, kDecalByte));
    EXPECT_EQ(FirstTexel(*manager.GetSpecialTexture(2)), Bytes(4, kDecal2Byte));
    EXPECT_EQ(FirstTexel(*manager.GetSpecialTexture(3)), Bytes(4, kMenuByte));
    EXPECT_EQ(FirstTexel(*manager.GetSpecialTexture(5)), Bytes(4, kCursorByte));
    EXPECT_EQ(FirstTexel(*manager.GetSpecialTexture(17)), Bytes(4, kWeaponByte));
    EXPECT_EQ(FirstTexel(*manager.GetSpecialTexture(18))[0], kLightRed);
    for (int frame = 1; frame <= 8; ++frame) {
        const XTexture* const texture = manager.GetSpecialTexture(8 + frame);
        ASSERT_NE(texture, nullptr) << "frame " << frame;
        EXPECT_EQ(FirstTexel(*texture)[0], kExplosionRedStep * frame) << "frame " << frame;
    }
}

TEST_F(SpecialTextures, OtherSlotsStayEmpty)
{
    const XTextureManager manager;
    EXPECT_EQ(manager.GetSpecialTexture(4), nullptr);
    EXPECT_EQ(manager.GetSpecialTexture(8), nullptr);
    for (int slot = 19; slot <= 25; ++slot) {
        EXPECT_EQ(manager.GetSpecialTexture(slot), nullptr) << "slot " << slot;
    }
    for (int slot = 27; slot <= 99; ++slot) {
        EXPECT_EQ(manager.GetSpecialTexture(slot), nullptr) << "slot " << slot;
    }
    // Outside the table there is nothing either.
    EXPECT_EQ(manager.GetSpecialTexture(100), nullptr);
    EXPECT_EQ(manager.GetSpecialTexture(-1), nullptr);
}

TEST_F(SpecialTextures, WeaponHasOneLevelWhileItsFilterIsAMipmapMode)
{
    const XTextureManager manager;
    const XTexture* const weapon = manager.GetSpecialTexture(kSpecialWeapon);
    ASSERT_NE(weapon, nullptr);
    glBindTexture(GL_TEXTURE_2D, weapon->GetId());
    EXPECT_EQ(TextureLevelWidth(GL_TEXTURE_2D, 0), 64);
    EXPECT_EQ(TextureLevelWidth(GL_TEXTURE_2D, 1), 0);
    EXPECT_EQ(weapon->GetMinFilter(), static_cast<GLenum>(GL_LINEAR_MIPMAP_NEAREST));
}

TEST_F(SpecialTextures, MissingFontIsReportedAndStopsTheLoading)
{
    std::vector<ZipEntry> entries = SpecialTextureEntries();
    RemoveEntry(entries, "misc/font.bmp");
    const ScopedArchive archive(entries);
    BeginCapturingErrors();
    const XTextureManager manager;
    const std::string errors = EndCapturingErrors();
    EXPECT_EQ(errors, "RUdezer: Texture file misc\\font.bmp not found.\n"
                      "RUdezer: Error processing [void XTextureManager::LoadSpecialTextures(void)]\n");
    EXPECT_NE(manager.GetSpecialTexture(0), nullptr); // made before the font
    for (const int slot : {1, 2, 3, 5, 6, 7, 9, 16, 17, 18, 26}) {
        EXPECT_EQ(manager.GetSpecialTexture(slot), nullptr) << "slot " << slot;
    }
}

TEST_F(SpecialTextures, MissingGlowPictureIsReportedAndStopsTheLoading)
{
    std::vector<ZipEntry> entries = SpecialTextureEntries();
    RemoveEntry(entries, "misc/rocketl.jpg");
    const ScopedArchive archive(entries);
    BeginCapturingErrors();
    const XTextureManager manager;
    const std::string errors = EndCapturingErrors();
    EXPECT_EQ(errors, "RUdezer: Texture file misc\\rocketl.jpg not found.\n"
                      "RUdezer: Error processing [void XTextureManager::LoadSpecialTextures(void)]\n");
    EXPECT_NE(manager.GetSpecialTexture(kSpecialDecal2), nullptr); // made before the glow
    EXPECT_EQ(manager.GetSpecialTexture(kSpecialRocketGlow), nullptr);
    EXPECT_EQ(manager.GetSpecialTexture(kSpecialExplosionFirst), nullptr); // made after it
}

TEST_F(SpecialTextures, MissingExplosionFrameIsFatal)
{
    std::vector<ZipEntry> entries = SpecialTextureEntries();
    RemoveEntry(entries, "explode/rlboom_3.tga");
    const ScopedArchive archive(entries);
    EXPECT_EXIT(XTextureManager(), ExitedWithCode(1), "RUdezer: Texture file explode\\\\rlboom_3.tga not found.");
}

using SceneTextures = TextureManagement;

// A small 2D texture with a GL texture object.
std::unique_ptr<XTexture> MakeTexture()
{
    std::unique_ptr<XTexture> texture = std::make_unique<XTexture2D>();
    texture->GenerateName();
    glBindTexture(GL_TEXTURE_2D, texture->GetId());
    const unsigned char pixel[4] = {1, 2, 3, 4};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

TEST_F(SceneTextures, IndexOutsideTheTableIsFatal)
{
    XTextureManager manager;
    manager.ResizeSceneTextures(3);
    EXPECT_EXIT(manager.GetTexture(-1), ExitedWithCode(1), "XTextureManager: Unexisting texture request.");
    EXPECT_EXIT(manager.GetTexture(3), ExitedWithCode(1), "XTextureManager: Unexisting texture request.");
}

TEST_F(SceneTextures, LastIndexIsInsideTheTable)
{
    XTextureManager manager;
    manager.ResizeSceneTextures(3);
    std::unique_ptr<XTexture> texture = MakeTexture();
    XTexture* const stored = texture.get();
    manager.SetTexture(2, std::move(texture));
    EXPECT_EQ(manager.GetTexture(2), stored);
    EXPECT_EQ(manager.GetTexture(0), nullptr);
    EXPECT_EQ(manager.GetSceneTextureCount(), 3);
}

TEST_F(SceneTextures, BindTextureBindsOnlyFilledEntries)
{
    XTextureManager manager;
    manager.ResizeSceneTextures(2);
    manager.SetTexture(1, MakeTexture());
    EXPECT_FALSE(manager.BindTexture(0, 0));
    EXPECT_TRUE(manager.BindTexture(1, 0));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, static_cast<GLint>(manager.GetTexture(1)->GetId()));
    glDisable(GL_TEXTURE_2D);
}

TEST_F(SceneTextures, ResizeDestroysEveryEarlierTexture)
{
    XTextureManager manager;
    manager.ResizeSceneTextures(2);
    manager.SetTexture(0, MakeTexture());
    manager.SetTexture(1, MakeTexture());
    const GLuint first = manager.GetTexture(0)->GetId();
    const GLuint second = manager.GetTexture(1)->GetId();
    manager.ResizeSceneTextures(4);
    EXPECT_FALSE(glIsTexture(first));
    EXPECT_FALSE(glIsTexture(second));
    EXPECT_EQ(manager.GetSceneTextureCount(), 4);
    for (int index = 0; index < 4; ++index) {
        EXPECT_EQ(manager.GetTexture(index), nullptr) << index;
    }
}

TEST_F(SceneTextures, DeleteTextureKeepsTheObjectInTheTable)
{
    XTextureManager manager;
    manager.ResizeSceneTextures(1);
    manager.SetTexture(0, MakeTexture());
    const GLuint id = manager.GetTexture(0)->GetId();
    manager.DeleteTexture(0);
    EXPECT_FALSE(glIsTexture(id));
    EXPECT_NE(manager.GetTexture(0), nullptr);
}

TEST_F(SceneTextures, StoringOutsideTheTableIsAProgrammingError)
{
    XTextureManager manager;
    manager.ResizeSceneTextures(1);
    EXPECT_EXIT(manager.SetTexture(1, nullptr), KilledBySignal(SIGABRT), "Assertion failed: .*file texture");
}

TEST_F(SceneTextures, DestroyingTheManagerDeletesAllItsTextures)
{
    GLuint scene = 0;
    GLuint font = 0;
    {
        XTextureManager manager;
        manager.ResizeSceneTextures(1);
        manager.SetTexture(0, MakeTexture());
        scene = manager.GetTexture(0)->GetId();
        font = manager.GetSpecialTexture(kSpecialFont)->GetId();
    }
    EXPECT_FALSE(glIsTexture(scene));
    EXPECT_FALSE(glIsTexture(font));
}

} // namespace
