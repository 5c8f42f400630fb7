// Tests of the normalization cube map: every texel stores the unit direction through it as bytes.
#include "render/XTextureLoader.h"

#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace {

using Texel = std::array<int, 3>;

class NormalizationCubeMap : public RenderTest {
protected:
    void TearDown() override { glBindTexture(GL_TEXTURE_CUBE_MAP, 0); }

    // Builds a map of `size` and keeps every face's level-0 bytes.
    void Build(int size)
    {
        cube = GetTextureLoader()->CreateNormalizationCubeMap(size);
        ASSERT_NE(cube, nullptr);
        glBindTexture(GL_TEXTURE_CUBE_MAP, cube->GetId());
        for (int face = 0; face < 6; ++face) {
            faces[face] = ReadTextureImage(static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face), 0, GL_RGB, 3);
            ASSERT_EQ(faces[face].size(), static_cast<size_t>(size * size * 3));
        }
        faceSize = size;
    }

    Texel At(int face, int x, int y) const
    {
        const size_t offset = static_cast<size_t>((y * faceSize + x) * 3);
        const Bytes& bytes = faces[face];
        return {bytes[offset], bytes[offset + 1], bytes[offset + 2]};
    }

    std::unique_ptr<XTexture> cube;
    Bytes faces[6];
    int faceSize = 0;
};

TEST_F(NormalizationCubeMap, PositiveXFaceOf64NearItsCentreAndCorner)
{
    Build(64);
    EXPECT_EQ(At(0, 31, 31), (Texel{254, 129, 129}));
    EXPECT_EQ(At(0, 32, 32), (Texel{254, 126, 126}));
    // Direction (1, 0.984375, 0.984375) before normalising.
    EXPECT_EQ(At(0, 0, 0), (Texel{202, 200, 200}));
}

TEST_F(NormalizationCubeMap, PositiveZFaceOf64NearItsCentre)
{
    Build(64);
    EXPECT_EQ(At(4, 31, 31), (Texel{126, 129, 254}));
}

TEST_F(NormalizationCubeMap, AxisDirectionsMapMinusOneZeroAndOneToBytes)
{
    // One texel per face: the direction through it is the face's axis.
    Build(1);
    EXPECT_EQ(At(0, 0, 0), (Texel{255, 128, 128}));
    EXPECT_EQ(At(1, 0, 0), (Texel{1, 128, 128}));
    EXPECT_EQ(At(2, 0, 0), (Texel{128, 255, 128}));
    EXPECT_EQ(At(3, 0, 0), (Texel{128, 1, 128}));
    EXPECT_EQ(At(4, 0, 0), (Texel{128, 128, 255}));
    EXPECT_EQ(At(5, 0, 0), (Texel{128, 128, 1}));
}

TEST_F(NormalizationCubeMap, OddSizesKeepTheirRowsInPlace)
{
    // Rows of 9 bytes: read as 4-byte aligned rows the centre texel would move.
    Build(3);
    EXPECT_EQ(At(0, 1, 1), (Texel{255, 128, 128}));
    EXPECT_EQ(At(5, 1, 1), (Texel{128, 128, 1}));
    // Corner of +Y at x = y = 0: s = t = -2/3, direction (-2/3, 1, -2/3) normalised.
    EXPECT_EQ(At(2, 0, 0), (Texel{66, 220, 66}));
}

TEST_F(NormalizationCubeMap, SamplesClampedAndLinear)
{
    Build(4);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_CLAMP_TO_EDGE);
    glGetTexParameteriv(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
}

TEST_F(NormalizationCubeMap, RefusesASizeWithoutTexels)
{
    EXPECT_FALSE(GetTextureLoader()->BuildNormalizationFaces(0));
}

} // namespace
