// Tests of the per-unit texture switches.
#include "render/TextureUnits.h"

#include "render/XExtensions.h"

#include "RenderTestSupport.h"

#include <gtest/gtest.h>

namespace {

bool EnabledOnUnit(GLenum capability, int unit)
{
    SelectTextureUnit(unit);
    return glIsEnabled(capability) == GL_TRUE;
}

bool TexCoordArrayOn(int unit)
{
    SelectClientTextureUnit(unit);
    return glIsEnabled(GL_TEXTURE_COORD_ARRAY) == GL_TRUE;
}

GLint BoundOnUnit(GLenum binding, int unit)
{
    SelectTextureUnit(unit);
    GLint name = 0;
    glGetIntegerv(binding, &name);
    return name;
}

class TextureUnitSwitches : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        glGenTextures(3, names);
        for (int unit = 0; unit < 2; ++unit) {
            SelectTextureUnit(unit);
            glBindTexture(GL_TEXTURE_1D, names[0]);
            glBindTexture(GL_TEXTURE_2D, names[1]);
            glBindTexture(GL_TEXTURE_CUBE_MAP, names[2]);
            glEnable(GL_TEXTURE_1D);
            glEnable(GL_TEXTURE_2D);
            glEnable(GL_TEXTURE_CUBE_MAP);
            SelectClientTextureUnit(unit);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        }
    }

    void TearDown() override
    {
        for (int unit = 0; unit < 2; ++unit) {
            SelectTextureUnit(unit);
            glDisable(GL_TEXTURE_1D);
            glDisable(GL_TEXTURE_2D);
            glDisable(GL_TEXTURE_CUBE_MAP);
            SelectClientTextureUnit(unit);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        glDeleteTextures(3, names);
        SelectTextureUnit(0);
        SelectClientTextureUnit(0);
    }

    GLuint names[3] = {};
};

TEST_F(TextureUnitSwitches, UnbindOneUnitOrBoth)
{
    UnbindTexture2D(1);
    EXPECT_EQ(BoundOnUnit(GL_TEXTURE_BINDING_2D, 0), static_cast<GLint>(names[1]));
    EXPECT_EQ(BoundOnUnit(GL_TEXTURE_BINDING_2D, 1), 0);

    UnbindTexture1D(-1);
    EXPECT_EQ(BoundOnUnit(GL_TEXTURE_BINDING_1D, 0), 0);
    EXPECT_EQ(BoundOnUnit(GL_TEXTURE_BINDING_1D, 1), 0);

    UnbindCubeMap(0);
    EXPECT_EQ(BoundOnUnit(GL_TEXTURE_BINDING_CUBE_MAP, 0), 0);
    EXPECT_EQ(BoundOnUnit(GL_TEXTURE_BINDING_CUBE_MAP, 1), static_cast<GLint>(names[2]));
    UnbindCubeMap(-1);
    EXPECT_EQ(BoundOnUnit(GL_TEXTURE_BINDING_CUBE_MAP, 1), 0);
}

TEST_F(TextureUnitSwitches, DisableTexturesOnOneUnitKeepsItsCubeMap)
{
    DisableTextures(0);
    EXPECT_FALSE(EnabledOnUnit(GL_TEXTURE_1D, 0));
    EXPECT_FALSE(EnabledOnUnit(GL_TEXTURE_2D, 0));
    EXPECT_TRUE(EnabledOnUnit(GL_TEXTURE_CUBE_MAP, 0));
    EXPECT_TRUE(EnabledOnUnit(GL_TEXTURE_2D, 1));
}

TEST_F(TextureUnitSwitches, DisableTexturesOnBothUnitsIncludesCubeMaps)
{
    DisableTextures(-1);
    for (int unit = 0; unit < 2; ++unit) {
        EXPECT_FALSE(EnabledOnUnit(GL_TEXTURE_1D, unit)) << unit;
        EXPECT_FALSE(EnabledOnUnit(GL_TEXTURE_2D, unit)) << unit;
        EXPECT_FALSE(EnabledOnUnit(GL_TEXTURE_CUBE_MAP, unit)) << unit;
    }
}

TEST_F(TextureUnitSwitches, DisableTexture1DTouchesOnlyThatTarget)
{
    DisableTexture1D(-1);
    EXPECT_FALSE(EnabledOnUnit(GL_TEXTURE_1D, 0));
    EXPECT_FALSE(EnabledOnUnit(GL_TEXTURE_1D, 1));
    EXPECT_TRUE(EnabledOnUnit(GL_TEXTURE_2D, 0));
}

TEST_F(TextureUnitSwitches, DisableTexture2DAlsoStopsThatUnitsCoordinateArray)
{
    DisableTexture2D(1);
    EXPECT_FALSE(EnabledOnUnit(GL_TEXTURE_2D, 1));
    EXPECT_FALSE(TexCoordArrayOn(1));
    EXPECT_TRUE(EnabledOnUnit(GL_TEXTURE_2D, 0));
    EXPECT_TRUE(TexCoordArrayOn(0));

    DisableTexture2D(-1);
    EXPECT_FALSE(EnabledOnUnit(GL_TEXTURE_2D, 0));
    EXPECT_FALSE(TexCoordArrayOn(0));
}

TEST_F(TextureUnitSwitches, DisableCubeMapStopsCoordinateArraysOnlyForBothUnits)
{
    DisableCubeMap(1);
    EXPECT_FALSE(EnabledOnUnit(GL_TEXTURE_CUBE_MAP, 1));
    EXPECT_TRUE(EnabledOnUnit(GL_TEXTURE_CUBE_MAP, 0));
    EXPECT_TRUE(TexCoordArrayOn(1));

    DisableCubeMap(-1);
    EXPECT_FALSE(EnabledOnUnit(GL_TEXTURE_CUBE_MAP, 0));
    EXPECT_FALSE(TexCoordArrayOn(0));
    EXPECT_FALSE(TexCoordArrayOn(1));
    EXPECT_TRUE(EnabledOnUnit(GL_TEXTURE_2D, 0));
}

TEST_F(TextureUnitSwitches, EnableTexture2DActsOnTheActiveUnitWithoutSelecting)
{
    DisableTextures(-1);
    SelectTextureUnit(0);
    EnableTexture2D(1);
    EXPECT_TRUE(EnabledOnUnit(GL_TEXTURE_2D, 0));
    EXPECT_FALSE(EnabledOnUnit(GL_TEXTURE_2D, 1));
}

} // namespace
