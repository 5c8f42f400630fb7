// Tests of the material and light tables.
#include "scene/XLightManager.h"
#include "scene/XShaderManager.h"
#include "support/FileContents.h"

#include <gtest/gtest.h>

#include <string>

TEST(ShaderTable, ResizeMakesDefaultRecords)
{
    XShaderManager shaders;
    shaders.Resize(2);
    shaders.GetShader(1).texture0 = 4;
    shaders.Resize(3);
    EXPECT_EQ(shaders.GetCount(), 3);
    EXPECT_EQ(shaders.GetShader(1).texture0, -1) << "resizing replaces every record";
    EXPECT_FLOAT_EQ(shaders.GetShader(2).opacity, 1.0f);
    shaders.Resize(-4);
    EXPECT_EQ(shaders.GetCount(), 0);
}

TEST(ShaderTable, OutOfRangeIndexWarnsAndGivesADefaultRecord)
{
    XShaderManager shaders;
    shaders.Resize(2);
    const std::string warning = "Warning: Trying to bind unexisting shader!";
    const size_t before = CountOf(ReadWholeFile("Korvath.log"), warning);

    XShader& outside = shaders.GetShader(2);
    EXPECT_EQ(outside.texture0, -1);
    outside.texture0 = 9;
    EXPECT_EQ(shaders.GetShader(-1).texture0, -1) << "a change to the default record does not stick";
    EXPECT_EQ(CountOf(ReadWholeFile("Korvath.log"), warning), before + 2);

    shaders.GetShader(1);
    EXPECT_EQ(CountOf(ReadWholeFile("Korvath.log"), warning), before + 2) << "an index inside the table warns nothing";
}

TEST(ShaderTable, EachOutOfRangeIndexWarnsOnceUntilTheTableIsResized)
{
    XShaderManager shaders;
    shaders.Resize(2);
    const std::string warning = "Warning: Trying to bind unexisting shader!";
    const size_t before = CountOf(ReadWholeFile("Korvath.log"), warning);

    for (int frame = 0; frame < 300; ++frame) {
        shaders.GetShader(7);
        shaders.GetShader(7);
    }
    EXPECT_EQ(CountOf(ReadWholeFile("Korvath.log"), warning), before + 1) << "one line for index 7, not one per call";
    EXPECT_EQ(shaders.GetShader(7).texture0, -1) << "every call still gets the default record";

    shaders.GetShader(-3);
    EXPECT_EQ(CountOf(ReadWholeFile("Korvath.log"), warning), before + 2) << "another index has its own line";

    shaders.Resize(2);
    shaders.GetShader(7);
    EXPECT_EQ(CountOf(ReadWholeFile("Korvath.log"), warning), before + 3) << "a new table warns afresh";
}

TEST(LightTable, CountStaysWithinTheTable)
{
    XLightManager lights;
    lights.SetCount(150);
    EXPECT_EQ(lights.GetCount(), 100);
    lights.SetCount(-1);
    EXPECT_EQ(lights.GetCount(), 0);
    lights.GetLight(99).SetPosition(1.0f, 2.0f, 3.0f);
    lights.GetLight(99).SetColor(0.5f, 0.25f, 1.0f);
    EXPECT_EQ(lights.GetLight(99).GetPosition(), XVector3(1.0f, 2.0f, 3.0f));
    EXPECT_FLOAT_EQ(lights.GetLight(99).GetColor().g, 0.25f);
    EXPECT_EQ(lights.GetLight(0).GetPosition(), XVector3()) << "lights start at the origin";
}

TEST(LightTableDeathTest, IndexOutsideTheTableStops)
{
    XLightManager lights;
    EXPECT_DEATH(lights.GetLight(100), "i >= 0 && i < kMaxLights");
}
