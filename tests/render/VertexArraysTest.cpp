// Tests of the client-array and texture-unit switches.
#include "render/VertexArrays.h"

#include "render/XExtensions.h"

#include "RenderTestSupport.h"

#include <gtest/gtest.h>

namespace {

bool TexCoordArrayEnabled(int unit)
{
    GLint previous = 0;
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &previous);
    SelectClientTextureUnit(unit);
    const bool enabled = glIsEnabled(GL_TEXTURE_COORD_ARRAY) == GL_TRUE;
    SelectClientTextureUnit(previous - GL_TEXTURE0);
    return enabled;
}

const void* TexCoordPointer(int unit)
{
    GLint previous = 0;
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &previous);
    SelectClientTextureUnit(unit);
    void* pointer = nullptr;
    glGetPointerv(GL_TEXTURE_COORD_ARRAY_POINTER, &pointer);
    SelectClientTextureUnit(previous - GL_TEXTURE0);
    return pointer;
}

GLint ClientUnit()
{
    GLint unit = 0;
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &unit);
    return unit;
}

class VertexArraySwitches : public RenderTest {
protected:
    void TearDown() override
    {
        for (int unit = 1; unit >= 0; --unit) {
            SelectClientTextureUnit(unit);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        SelectTextureUnit(0);
    }
};

TEST_F(VertexArraySwitches, ToggleVertexNormalAndColorArrays)
{
    EnableVertexArray(true);
    EnableNormalArray(true);
    EnableColorArray(true);
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_COLOR_ARRAY));
    EnableNormalArray(false);
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EnableVertexArray(false);
    EnableColorArray(false);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
}

TEST_F(VertexArraySwitches, TexCoordPointerSelectsItsClientUnit)
{
    const float first[4] = {0.0f, 1.0f, 2.0f, 3.0f};
    const float second[6] = {};
    SetTexCoordPointer(0, 2, first);
    EXPECT_EQ(ClientUnit(), GL_TEXTURE0);
    SetTexCoordPointer(1, 3, second);
    EXPECT_EQ(ClientUnit(), GL_TEXTURE1);
    EXPECT_EQ(TexCoordPointer(0), static_cast<const void*>(first));
    EXPECT_EQ(TexCoordPointer(1), static_cast<const void*>(second));
    GLint size = 0;
    glGetIntegerv(GL_TEXTURE_COORD_ARRAY_SIZE, &size);
    EXPECT_EQ(size, 3);
}

TEST_F(VertexArraySwitches, TexCoordArraySwitchActsOnTheLastSelectedClientUnit)
{
    const float coordinates[4] = {};
    SetTexCoordPointer(0, 2, coordinates);
    SetTexCoordPointer(1, 2, coordinates);
    EnableTexCoordArray(true);
    EXPECT_TRUE(TexCoordArrayEnabled(1));
    EXPECT_FALSE(TexCoordArrayEnabled(0));

    EnableTexCoordArray0(true);
    EXPECT_TRUE(TexCoordArrayEnabled(0));
    EXPECT_EQ(ClientUnit(), GL_TEXTURE0);
}

TEST_F(VertexArraySwitches, BothTexCoordArraysFollowTheRenderersCallOrder)
{
    const float coordinates[4] = {};
    SetTexCoordPointer(0, 2, coordinates);
    SetTexCoordPointer(1, 2, coordinates);
    EnableTexCoordArrays(true);
    EXPECT_TRUE(TexCoordArrayEnabled(0));
    EXPECT_TRUE(TexCoordArrayEnabled(1));

    // After the pair the client unit is 0, so the next pair switches unit 0 twice and leaves unit 1 on.
    EnableTexCoordArrays(false);
    EXPECT_FALSE(TexCoordArrayEnabled(0));
    EXPECT_TRUE(TexCoordArrayEnabled(1));
}

TEST_F(VertexArraySwitches, SetActiveTextureSelectsTheUnit)
{
    SetActiveTexture(1);
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE1);
    SetActiveTexture(0);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE0);
}

} // namespace
