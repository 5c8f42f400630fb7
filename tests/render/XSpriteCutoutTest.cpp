// Tests of the lit part of a sprite picture: a linear filter sampling anywhere outside it reads black texels
// only, on the full picture and on its next mipmap level, and it cuts away what a lit disc leaves black.
#include "render/XSpriteCutout.h"

#include <gtest/gtest.h>

#include <cmath> // floor, hypot
#include <vector>

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // rows from the bottom

    int At(int i, int j) const // the red channel; black outside the picture, as a black border gives
    {
        if (i < 0 || j < 0 || i >= width || j >= height) {
            return 0;
        }
        return rgb[static_cast<size_t>((j * width + i) * 3)];
    }
};

// A disc lit in red only, away from the middle, so that a swapped axis or a flipped row shows.
Picture Disc(int size, float centreX, float centreY, float radius)
{
    Picture picture{size, size, std::vector<unsigned char>(static_cast<size_t>(size * size * 3), 0)};
    for (int j = 0; j < size; ++j) {
        for (int i = 0; i < size; ++i) {
            if (std::hypot(i + 0.5f - centreX, j + 0.5f - centreY) < radius) {
                picture.rgb[static_cast<size_t>((j * size + i) * 3)] = 200;
            }
        }
    }
    return picture;
}

// The next mipmap level: each texel the mean of four.
Picture Halved(const Picture& picture)
{
    Picture half{picture.width / 2, picture.height / 2, {}};
    half.rgb.assign(static_cast<size_t>(half.width * half.height * 3), 0);
    for (int j = 0; j < half.height; ++j) {
        for (int i = 0; i < half.width; ++i) {
            const int sum = picture.At(2 * i, 2 * j) + picture.At(2 * i + 1, 2 * j) + picture.At(2 * i, 2 * j + 1) +
                            picture.At(2 * i + 1, 2 * j + 1);
            half.rgb[static_cast<size_t>((j * half.width + i) * 3)] = static_cast<unsigned char>((sum + 2) / 4);
        }
    }
    return half;
}

// Linear filtering at the point (x, y) of the square (-1 to 1 across): whether any of the four texels it
// blends is lit with a weight above nothing.
bool SamplesLight(const Picture& picture, float x, float y)
{
    const float u = (x + 1.0f) / 2.0f * static_cast<float>(picture.width) - 0.5f;
    const float v = (y + 1.0f) / 2.0f * static_cast<float>(picture.height) - 0.5f;
    const int i = static_cast<int>(std::floor(u));
    const int j = static_cast<int>(std::floor(v));
    const float a = u - static_cast<float>(i);
    const float b = v - static_cast<float>(j);
    return (picture.At(i, j) > 0 && a < 1.0f && b < 1.0f) || (picture.At(i + 1, j) > 0 && a > 0.0f && b < 1.0f) ||
           (picture.At(i, j + 1) > 0 && a < 1.0f && b > 0.0f) || (picture.At(i + 1, j + 1) > 0 && a > 0.0f && b > 0.0f);
}

bool Inside(const std::vector<XVector2>& polygon, float x, float y)
{
    for (size_t k = 0; k < polygon.size(); ++k) {
        const XVector2& p = polygon[k];
        const XVector2& q = polygon[(k + 1) % polygon.size()];
        if ((q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x) < 0.0f) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(SpriteCutout, SamplesOutsideItReadBlackTexelsOnBothLevels)
{
    const Picture full = Disc(32, 14.0f, 18.5f, 9.0f);
    const Picture half = Halved(full);
    XSpriteCutout cutout;
    cutout.Include(full.rgb.data(), full.width, full.height, 3);
    cutout.Include(half.rgb.data(), half.width, half.height, 3);
    const std::vector<XVector2> corners = cutout.Corners();
    ASSERT_GE(corners.size(), 4u);
    int outside = 0;
    for (int row = 0; row <= 512; ++row) {
        for (int column = 0; column <= 512; ++column) {
            const float x = -1.0f + static_cast<float>(column) / 256.0f;
            const float y = -1.0f + static_cast<float>(row) / 256.0f;
            if (Inside(corners, x, y)) {
                continue;
            }
            ++outside;
            ASSERT_FALSE(SamplesLight(full, x, y)) << "the full picture lights " << x << " " << y;
            ASSERT_FALSE(SamplesLight(half, x, y)) << "the next level lights " << x << " " << y;
        }
    }
    // The disc covers a quarter of the square; the cutout, symmetric about the middle, keeps about two thirds.
    EXPECT_GT(outside, 80000);
    EXPECT_LT(cutout.AreaShare(), 0.7f);
}

TEST(SpriteCutout, ABlackPictureKeepsNothingAndALitCornerKeepsTheSquare)
{
    Picture picture = Disc(16, 0.0f, 0.0f, 0.0f);
    XSpriteCutout cutout;
    cutout.Include(picture.rgb.data(), picture.width, picture.height, 3);
    EXPECT_TRUE(cutout.Corners().empty());

    picture.rgb[static_cast<size_t>((15 * 16 + 15) * 3 + 2)] = 1; // the top right texel, faintly blue
    cutout.Include(picture.rgb.data(), picture.width, picture.height, 3);
    EXPECT_FLOAT_EQ(cutout.AreaShare(), 1.0f);
    EXPECT_FLOAT_EQ(XSpriteCutout::Whole().AreaShare(), 1.0f);
}
