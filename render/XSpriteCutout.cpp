// XSpriteCutout: the lit part of a sprite picture, as a box with its corners cut.
#include "render/XSpriteCutout.h"

#include <GL/gl.h>

#include <algorithm> // min, max
#include <cmath>     // fabs
#include <cstddef>   // size_t

namespace {

// A linear filter reads the texels whose centres lie within one texel of the sample, in each direction; the
// quarter texel more covers the rounding of the interpolated coordinates.
constexpr float kFilterReach = 1.25f;

// Keeps the part of a convex polygon where a * x + b * y <= limit.
std::vector<XVector2> ClipBelow(const std::vector<XVector2>& polygon, float a, float b, float limit)
{
    std::vector<XVector2> kept;
    const size_t n = polygon.size();
    for (size_t i = 0; i < n; ++i) {
        const XVector2& p = polygon[i];
        const XVector2& q = polygon[(i + 1) % n];
        const float dp = a * p.x + b * p.y - limit;
        const float dq = a * q.x + b * q.y - limit;
        if (dp <= 0.0f) {
            kept.push_back(p);
        }
        if ((dp < 0.0f && dq > 0.0f) || (dp > 0.0f && dq < 0.0f)) {
            const float t = dp / (dp - dq);
            kept.emplace_back(p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t);
        }
    }
    return kept;
}

} // namespace

XSpriteCutout XSpriteCutout::OfTexture(unsigned int textureId, int levels)
{
    XSpriteCutout cutout;
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glBindTexture(GL_TEXTURE_2D, textureId);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<unsigned char> pixels;
    for (int level = 0; level < levels; ++level) {
        GLint width = 0;
        GLint height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        if (width <= 0 || height <= 0) {
            if (level == 0) {
                cutout = Whole();
            }
            break;
        }
        if (level == 0) {
            cutout.pictureSize = std::max(width, height);
        }
        pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        cutout.Include(pixels.data(), width, height, 3);
    }
    if (glGetError() != GL_NO_ERROR) {
        const int size = cutout.pictureSize;
        cutout = Whole();
        cutout.pictureSize = size;
    }
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    return cutout;
}

XSpriteCutout XSpriteCutout::Whole()
{
    XSpriteCutout cutout;
    cutout.empty = false;
    cutout.halfWidth = 1.0f;
    cutout.halfHeight = 1.0f;
    cutout.reach = 2.0f;
    return cutout;
}

void XSpriteCutout::Include(const unsigned char* pixels, int width, int height, int channels)
{
    if (pixels == nullptr || width <= 0 || height <= 0 || channels < 3) {
        return;
    }
    // Texel (i, j) has its centre at x = (2i + 1) / width - 1, y = (2j + 1) / height - 1.
    const float texelX = 2.0f / static_cast<float>(width);
    const float texelY = 2.0f / static_cast<float>(height);
    for (int j = 0; j < height; ++j) {
        const unsigned char* row = pixels + static_cast<size_t>(j) * static_cast<size_t>(width * channels);
        for (int i = 0; i < width; ++i) {
            const unsigned char* texel = row + static_cast<size_t>(i * channels);
            if (texel[0] == 0 && texel[1] == 0 && texel[2] == 0) {
                continue;
            }
            const float x = std::fabs((static_cast<float>(i) + 0.5f) * texelX - 1.0f) + kFilterReach * texelX;
            const float y = std::fabs((static_cast<float>(j) + 0.5f) * texelY - 1.0f) + kFilterReach * texelY;
            halfWidth = std::max(halfWidth, x);
            halfHeight = std::max(halfHeight, y);
            reach = std::max(reach, x + y);
            empty = false;
        }
    }
}

std::vector<XVector2> XSpriteCutout::Corners() const
{
    if (empty) {
        return {};
    }
    const float w = std::min(halfWidth, 1.0f);
    const float h = std::min(halfHeight, 1.0f);
    std::vector<XVector2> polygon = {{-w, -h}, {w, -h}, {w, h}, {-w, h}};
    for (const float a : {1.0f, -1.0f}) {
        for (const float b : {1.0f, -1.0f}) {
            polygon = ClipBelow(polygon, a, b, reach);
        }
    }
    return polygon;
}

float XSpriteCutout::AreaShare() const
{
    const std::vector<XVector2> polygon = Corners();
    float twiceArea = 0.0f;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const XVector2& p = polygon[i];
        const XVector2& q = polygon[(i + 1) % polygon.size()];
        twiceArea += p.x * q.y - q.x * p.y;
    }
    return twiceArea / 8.0f; // the square's area is 4
}
