// Tests of the extension entry points and the extension query.
#include "render/XExtensions.h"

#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <cstring> // strstr

namespace {

using ExtensionEntryPoints = RenderTest;

TEST_F(ExtensionEntryPoints, HoldTheFunctionsTheEngineCalls)
{
    ASSERT_TRUE(ExtensionEntryPointsLoaded());
    const XExtensionEntryPoints& points = GetExtensionEntryPoints();
    EXPECT_NE(points.activeTexture, nullptr);
    EXPECT_NE(points.clientActiveTexture, nullptr);
    EXPECT_NE(points.secondaryColorPointer, nullptr);
    EXPECT_NE(points.pointParameterf, nullptr);
    EXPECT_NE(points.pointParameterfv, nullptr);
    EXPECT_EQ(GetExtensionEntryPoint("glActiveTextureARB"), reinterpret_cast<void*>(points.activeTexture));
    EXPECT_EQ(GetExtensionEntryPoint("glPointParameterfvEXT"), reinterpret_cast<void*>(points.pointParameterfv));
    EXPECT_EQ(GetExtensionEntryPoint("glNoSuchFunctionXYZ"), nullptr);
    EXPECT_GE(ExtensionEntryPointCount(), 5u);
}

TEST_F(ExtensionEntryPoints, SelectTheActiveAndTheClientTextureUnit)
{
    SelectTextureUnit(1);
    SelectClientTextureUnit(1);
    GLint active = 0;
    GLint client = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &client);
    EXPECT_EQ(active, GL_TEXTURE1);
    EXPECT_EQ(client, GL_TEXTURE1);

    SelectTextureUnit(0);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &client);
    EXPECT_EQ(active, GL_TEXTURE0);
    EXPECT_EQ(client, GL_TEXTURE1);
    SelectClientTextureUnit(0);
}

using ExtensionQuery = RenderTest;

TEST_F(ExtensionQuery, ReportsNoExtensionEvenWhenTheDriverListsIt)
{
    const char* const listed = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    ASSERT_NE(listed, nullptr);
    EXPECT_NE(std::strstr(listed, "GL_ARB_multitexture"), nullptr) << "the driver should list multitexture";
    EXPECT_FALSE(IsExtensionSupported("GL_ARB_multitexture"));
    EXPECT_FALSE(IsExtensionSupported("GL_ARB_texture_compression"));
    EXPECT_FALSE(IsExtensionSupported("GL_EXT_texture_compression_s3tc"));
    EXPECT_FALSE(IsExtensionSupported("XGL_ARB_multitexture"));
    EXPECT_FALSE(IsExtensionSupported("XGL_EXT_point_parameters"));
}

} // namespace
