// XMatrix: a 4x4 float matrix acting on column vectors.
//
// Element (row, column) is stored at index 4 * row + column, so the translation sits in elements 3, 7 and 11.
// OpenGL keeps its matrices column by column: an array read from or handed to OpenGL is the transpose of the
// matrix it describes.
// Depends on: XVector3.
#pragma once

#include "math/XVector3.h"

class XMatrix {
public:
    // The identity.
    XMatrix();

    // A matrix from 16 floats in this class's own order (row by row).
    static XMatrix FromArray(const float* values);

    float& operator()(int row, int column) { return m[4 * row + column]; }
    float operator()(int row, int column) const { return m[4 * row + column]; }

    // The 16 elements in storage order.
    const float* Data() const { return m; }

    XMatrix Transposed() const;
    void Transpose();
    // Transposes the upper 3x3 (rotation) part only, leaving translation and last row in place; for a pure
    // rotation this is its inverse.
    void TransposeRotation();
    // Sets elements 3, 7 and 11 to zero.
    void ClearTranslation();

    // Writes x, y, z of the vector into rows 0 to 2 of the column.
    void SetColumn(int column, const XVector3& v);

    // Matrix product: (A * B)(r, c) = sum over k of A(r, k) * B(k, c).
    XMatrix operator*(const XMatrix& b) const;

    // The point transformed with rows 0 to 2; the last row is not used.
    XVector3 Transform(const XVector3& p) const;

private:
    float m[16];
};
