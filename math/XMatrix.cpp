// XMatrix: products, transposes and point transforms.
// Depends on: XVector3.
#include "math/XMatrix.h"

#include <utility> // swap

XMatrix::XMatrix() : m{1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f}
{
}

XMatrix XMatrix::FromArray(const float* values)
{
    XMatrix result;
    for (int i = 0; i < 16; ++i) {
        result.m[i] = values[i];
    }
    return result;
}

XMatrix XMatrix::Transposed() const
{
    XMatrix result = *this;
    result.Transpose();
    return result;
}

void XMatrix::Transpose()
{
    for (int row = 0; row < 4; ++row) {
        for (int column = row + 1; column < 4; ++column) {
            std::swap(m[4 * row + column], m[4 * column + row]);
        }
    }
}

void XMatrix::TransposeRotation()
{
    for (int row = 0; row < 3; ++row) {
        for (int column = row + 1; column < 3; ++column) {
            std::swap(m[4 * row + column], m[4 * column + row]);
        }
    }
}

void XMatrix::ClearTranslation()
{
    m[3] = 0.0f;
    m[7] = 0.0f;
    m[11] = 0.0f;
}

void XMatrix::SetColumn(int column, const XVector3& v)
{
    m[column] = v.x;
    m[column + 4] = v.y;
    m[column + 8] = v.z;
}

XMatrix XMatrix::operator*(const XMatrix& b) const
{
    XMatrix result;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += static_cast<double>(m[4 * row + k]) * b.m[4 * k + column];
            }
            result.m[4 * row + column] = static_cast<float>(sum);
        }
    }
    return result;
}

XVector3 XMatrix::Transform(const XVector3& p) const
{
    const double x = p.x;
    const double y = p.y;
    const double z = p.z;
    return XVector3(static_cast<float>(m[0] * x + m[1] * y + m[2] * z + m[3]),
                    static_cast<float>(m[4] * x + m[5] * y + m[6] * z + m[7]),
                    static_cast<float>(m[8] * x + m[9] * y + m[10] * z + m[11]));
}
