// Tests of the texture classes: defaults, ownership of the GL texture, and what a bind sets.
#include "render/XExtensions.h"
#include "render/XTexture.h"
#include "render/XTexture1D.h"
#include "render/XTexture2D.h"
#include "render/XTextureCube.h"

#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

GLint TextureParameter(GLenum target, GLenum parameter)
{
    GLint value = 0;
    glGetTexParameteriv(target, parameter, &value);
    return value;
}

GLint Binding(GLenum binding)
{
    GLint value = 0;
    glGetIntegerv(binding, &value);
    return value;
}

// Gives the texture a GL texture object of the target (a name becomes a texture when first bound).
void Realize(XTexture& texture, GLenum target)
{
    texture.GenerateName();
    glBindTexture(target, texture.GetId());
    glBindTexture(target, 0);
}

class TextureClasses : public RenderTest {
protected:
    void TearDown() override
    {
        for (int unit = 1; unit >= 0; --unit) {
            SelectTextureUnit(unit);
            glDisable(GL_TEXTURE_2D);
            glDisable(GL_TEXTURE_CUBE_MAP);
            glBindTexture(GL_TEXTURE_2D, 0);
            glBindTexture(GL_TEXTURE_1D, 0);
            glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        }
        TakeGLError();
    }
};

TEST_F(TextureClasses, StartWithTheirClassDefaults)
{
    const XTexture2D flat;
    EXPECT_EQ(flat.GetType(), 2);
    EXPECT_EQ(flat.GetName(), "2D");
    EXPECT_EQ(flat.GetWrap(), static_cast<GLenum>(GL_REPEAT));
    EXPECT_EQ(flat.GetId(), 0u);
    EXPECT_EQ(flat.GetMinFilter(), static_cast<GLenum>(GL_LINEAR));
    EXPECT_EQ(flat.GetMagFilter(), static_cast<GLenum>(GL_LINEAR));

    const XTexture1D line;
    EXPECT_EQ(line.GetType(), 1);
    EXPECT_EQ(line.GetName(), "1D");
    EXPECT_EQ(line.GetWrap(), static_cast<GLenum>(GL_REPEAT));

    const XTextureCube cube;
    EXPECT_EQ(cube.GetType(), 0);
    EXPECT_EQ(cube.GetName(), "");
    EXPECT_EQ(cube.GetMinFilter(), static_cast<GLenum>(GL_LINEAR));

    const XTexture base;
    EXPECT_EQ(base.GetType(), 0);
    EXPECT_EQ(base.GetName(), "");
}

TEST_F(TextureClasses, DestroyingATextureDeletesItsGLTexture)
{
    GLuint id = 0;
    {
        std::unique_ptr<XTexture> texture = std::make_unique<XTextureCube>();
        Realize(*texture, GL_TEXTURE_CUBE_MAP);
        id = texture->GetId();
        ASSERT_TRUE(glIsTexture(id));
    }
    EXPECT_FALSE(glIsTexture(id));
}

TEST_F(TextureClasses, ADeletedNameIsNeverDeletedAgainWhenOpenGLReusesIt)
{
    XTexture2D first;
    Realize(first, GL_TEXTURE_2D);
    first.DeleteName();
    EXPECT_EQ(first.GetId(), 0u);
    {
        XTexture2D second;
        Realize(second, GL_TEXTURE_2D);
        first.DeleteName();
        EXPECT_TRUE(glIsTexture(second.GetId()));
    }
}

TEST_F(TextureClasses, Bind2DSelectsTheUnitEnablesAndAppliesItsParameters)
{
    XTexture2D texture;
    Realize(texture, GL_TEXTURE_2D);
    texture.SetWrap(GL_CLAMP);
    texture.SetFilter(GL_NEAREST);
    SelectTextureUnit(0);
    texture.Bind(1);
    EXPECT_EQ(Binding(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(Binding(GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture.GetId()));
    EXPECT_EQ(TextureParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T), GL_CLAMP);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(TakeGLError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(TextureClasses, MipmapFilterMinifiesOnlyWhileMagnificationStaysLinear)
{
    XTexture2D texture;
    Realize(texture, GL_TEXTURE_2D);
    texture.SetFilter(GL_LINEAR_MIPMAP_NEAREST);
    texture.Bind(0);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(TakeGLError(), static_cast<unsigned>(GL_NO_ERROR)) << "binding raises no error, frame after frame";
    texture.SetFilter(GL_NEAREST_MIPMAP_LINEAR);
    texture.Bind(0);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), GL_NEAREST_MIPMAP_LINEAR);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(TakeGLError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(TextureClasses, Bind1DDoesNotEnableItsTarget)
{
    XTexture1D texture;
    Realize(texture, GL_TEXTURE_1D);
    texture.SetWrap(GL_CLAMP_TO_EDGE);
    texture.Bind(1);
    EXPECT_EQ(Binding(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_1D));
    EXPECT_EQ(Binding(GL_TEXTURE_BINDING_1D), static_cast<GLint>(texture.GetId()));
    EXPECT_EQ(TextureParameter(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
}

TEST_F(TextureClasses, CubeBindsOnTheActiveUnitClampedAndLinearWhateverItsFields)
{
    XTextureCube cube;
    Realize(cube, GL_TEXTURE_CUBE_MAP);
    cube.SetWrap(GL_REPEAT);
    cube.SetFilter(GL_NEAREST);
    SelectTextureUnit(1);
    cube.Bind(0);
    EXPECT_EQ(Binding(GL_ACTIVE_TEXTURE), GL_TEXTURE1);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_CUBE_MAP));
    EXPECT_EQ(Binding(GL_TEXTURE_BINDING_CUBE_MAP), static_cast<GLint>(cube.GetId()));
    EXPECT_EQ(TextureParameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureParameter(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    SelectTextureUnit(0);
    EXPECT_EQ(Binding(GL_TEXTURE_BINDING_CUBE_MAP), 0);
}

TEST_F(TextureClasses, BaseBindLeavesTheStateAlone)
{
    XTexture base;
    SelectTextureUnit(0);
    base.Bind(1);
    EXPECT_EQ(Binding(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

} // namespace
