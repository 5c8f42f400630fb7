// Tests of XMatrix: storage order, products, point transforms and the transposes.
#include "math/XMatrix.h"

#include "VectorMatchers.h"

#include <gtest/gtest.h>

namespace {

XMatrix Translation(float x, float y, float z)
{
    XMatrix m;
    m(0, 3) = x;
    m(1, 3) = y;
    m(2, 3) = z;
    return m;
}

XMatrix Counting()
{
    float values[16] = {};
    for (int i = 0; i < 16; ++i) {
        values[i] = static_cast<float>(i + 1);
    }
    return XMatrix::FromArray(values);
}

} // namespace

TEST(XMatrixStorage, DefaultIsIdentity)
{
    const XMatrix m;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(m(r, c), r == c ? 1.0f : 0.0f) << r << "," << c;
        }
    }
}

TEST(XMatrixStorage, ElementRowColumnIsAtFourRowPlusColumn)
{
    XMatrix m;
    m(1, 2) = 9.0f;
    m(3, 0) = -4.0f;
    EXPECT_EQ(m.Data()[6], 9.0f);
    EXPECT_EQ(m.Data()[12], -4.0f);
    const XMatrix counted = Counting();
    EXPECT_EQ(counted(0, 3), 4.0f);
    EXPECT_EQ(counted(2, 1), 10.0f);
}

TEST(XMatrixTransform, TranslationIsInElementsThreeSevenEleven)
{
    float values[16] = {1, 0, 0, 5, 0, 1, 0, 6, 0, 0, 1, 7, 0, 0, 0, 1};
    const XMatrix m = XMatrix::FromArray(values);
    EXPECT_TRUE(VectorEq(m.Transform(XVector3(1.0f, 2.0f, 3.0f)), XVector3(6.0f, 8.0f, 10.0f)));
}

TEST(XMatrixTransform, RowsTimesColumnVectorAndLastRowIgnored)
{
    XMatrix m = Counting();
    // x' = 1x + 2y + 3z + 4, y' = 5x + 6y + 7z + 8, z' = 9x + 10y + 11z + 12; row 3 (13..16) plays no part.
    EXPECT_TRUE(VectorEq(m.Transform(XVector3(1.0f, -1.0f, 2.0f)), XVector3(9.0f, 21.0f, 33.0f)));
}

TEST(XMatrixProduct, ProductAppliesTheRightFactorFirst)
{
    XMatrix scale;
    scale(0, 0) = 2.0f;
    scale(1, 1) = 2.0f;
    scale(2, 2) = 2.0f;
    const XMatrix move = Translation(1.0f, 2.0f, 3.0f);
    const XVector3 p(1.0f, 1.0f, 1.0f);
    EXPECT_TRUE(VectorEq((move * scale).Transform(p), XVector3(3.0f, 4.0f, 5.0f)));
    EXPECT_TRUE(VectorEq((scale * move).Transform(p), XVector3(4.0f, 6.0f, 8.0f)));
}

TEST(XMatrixProduct, PermutationOnTheLeftSwapsRowsOnTheRightSwapsColumns)
{
    XMatrix swap01;
    swap01(0, 0) = 0.0f;
    swap01(1, 1) = 0.0f;
    swap01(0, 1) = 1.0f;
    swap01(1, 0) = 1.0f;
    const XMatrix a = Counting();
    const XMatrix rowsSwapped = swap01 * a;
    const XMatrix columnsSwapped = a * swap01;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(rowsSwapped(0, i), a(1, i));
        EXPECT_EQ(rowsSwapped(1, i), a(0, i));
        EXPECT_EQ(rowsSwapped(2, i), a(2, i));
        EXPECT_EQ(columnsSwapped(i, 0), a(i, 1));
        EXPECT_EQ(columnsSwapped(i, 1), a(i, 0));
        EXPECT_EQ(columnsSwapped(i, 3), a(i, 3));
    }
}

TEST(XMatrixProduct, KnownProduct)
{
    // [[1..4],[5..8],[9..12],[13..16]] squared: row 0 is (90, 100, 110, 120).
    const XMatrix a = Counting();
    const XMatrix square = a * a;
    EXPECT_EQ(square(0, 0), 90.0f);
    EXPECT_EQ(square(0, 3), 120.0f);
    EXPECT_EQ(square(3, 0), 426.0f);
    EXPECT_EQ(square(2, 1), 356.0f);
}

TEST(XMatrixTranspose, TransposeSwapsEveryElement)
{
    const XMatrix a = Counting();
    const XMatrix t = a.Transposed();
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(t(r, c), a(c, r));
        }
    }
    XMatrix inPlace = a;
    inPlace.Transpose();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(inPlace.Data()[i], t.Data()[i]);
    }
}

// An OpenGL array keeps the translation in elements 12 to 14; transposed, it is this class's matrix.
TEST(XMatrixTranspose, OpenGLArrayIsTheTranspose)
{
    const float gl[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1};
    const XMatrix m = XMatrix::FromArray(gl).Transposed();
    EXPECT_TRUE(VectorEq(m.Transform(XVector3()), XVector3(5.0f, 6.0f, 7.0f)));
}

TEST(XMatrixTranspose, TransposeRotationLeavesTranslationAndLastRow)
{
    XMatrix a = Counting();
    a.TransposeRotation();
    const float expected[16] = {1, 5, 9, 4, 2, 6, 10, 8, 3, 7, 11, 12, 13, 14, 15, 16};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(a.Data()[i], expected[i]) << i;
    }
}

TEST(XMatrixTranspose, TransposedRotationUndoesTheRotation)
{
    // A quarter turn about z (x to y) plus a translation.
    float values[16] = {0, -1, 0, 3, 1, 0, 0, 4, 0, 0, 1, 5, 0, 0, 0, 1};
    XMatrix m = XMatrix::FromArray(values);
    XMatrix inverseRotation = m;
    inverseRotation.TransposeRotation();
    inverseRotation.ClearTranslation();
    m.ClearTranslation();
    const XVector3 p(1.0f, 2.0f, 3.0f);
    EXPECT_TRUE(VectorEq(inverseRotation.Transform(m.Transform(p)), p));
}

TEST(XMatrixEdit, ClearTranslationZeroesOnlyThreeSevenEleven)
{
    XMatrix a = Counting();
    a.ClearTranslation();
    for (int i = 0; i < 16; ++i) {
        const bool translation = i == 3 || i == 7 || i == 11;
        EXPECT_EQ(a.Data()[i], translation ? 0.0f : static_cast<float>(i + 1)) << i;
    }
}

TEST(XMatrixEdit, SetColumnWritesTheTopThreeRows)
{
    XMatrix m;
    m.SetColumn(3, XVector3(7.0f, 8.0f, 9.0f));
    m.SetColumn(0, XVector3(2.0f, 0.5f, -1.0f));
    EXPECT_EQ(m.Data()[3], 7.0f);
    EXPECT_EQ(m.Data()[7], 8.0f);
    EXPECT_EQ(m.Data()[11], 9.0f);
    EXPECT_EQ(m.Data()[15], 1.0f);
    EXPECT_EQ(m.Data()[0], 2.0f);
    EXPECT_EQ(m.Data()[4], 0.5f);
    EXPECT_EQ(m.Data()[8], -1.0f);
    EXPECT_EQ(m.Data()[12], 0.0f);
    EXPECT_TRUE(VectorEq(m.Transform(XVector3(1.0f, 0.0f, 0.0f)), XVector3(9.0f, 8.5f, 8.0f)));
}
