// XSoftRenderer: clipping, rasterising and texture sampling.
#include "tools/levelview/XSoftRenderer.h"

#include "math/XPi.h"
#include "scene/XMesh.h"
#include "scene/XScene.h"
#include "scene/XSceneNode.h"
#include "scene/XShaderManager.h"

#include <stb_image.h>       // stbi_load
#include <stb_image_write.h> // stbi_write_png

#include <algorithm> // min, max, clamp
#include <cmath>     // tan, floor, log2, sin, cos

namespace {

const float kNear = 0.1f;
const float kFar = 200.0f;

} // namespace

XSoftRenderer::XSoftRenderer(int pictureWidth, int pictureHeight)
    : width(pictureWidth), height(pictureHeight),
      focal(static_cast<float>(pictureHeight) * 0.5f / std::tan(30.0f * kPiFloat / 180.0f)),
      color(static_cast<size_t>(pictureWidth) * pictureHeight * 3, 0.0f),
      depth(static_cast<size_t>(pictureWidth) * pictureHeight, -1e30f),
      covered(static_cast<size_t>(pictureWidth) * pictureHeight, 0)
{
    for (size_t i = 0; i < color.size(); i += 3) {
        color[i] = 1.0f; // holes show magenta
        color[i + 1] = 0.0f;
        color[i + 2] = 1.0f;
    }
}

void XSoftRenderer::LoadTextures(const std::string& folder, const std::vector<std::string>& fileNames)
{
    textures.assign(fileNames.size(), Texture());
    for (size_t r = 0; r < fileNames.size(); ++r) {
        int w = 0;
        int h = 0;
        int channels = 0;
        unsigned char* pixels = stbi_load((folder + "/" + fileNames[r]).c_str(), &w, &h, &channels, 3);
        if (pixels == nullptr) {
            continue;
        }
        Texture& texture = textures[r];
        texture.width = w;
        texture.height = h;
        std::vector<float> level(static_cast<size_t>(w) * h * 3);
        // The file's top row is t = 1: row 0 of the texture is the picture's bottom row.
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w * 3; ++x) {
                level[static_cast<size_t>(y) * w * 3 + x] = pixels[static_cast<size_t>(h - 1 - y) * w * 3 + x] / 255.0f;
            }
        }
        stbi_image_free(pixels);
        texture.levels.push_back(level);
        int lw = w;
        int lh = h;
        while (lw > 1 && lh > 1) {
            const std::vector<float>& previous = texture.levels.back();
            const int nw = lw / 2;
            const int nh = lh / 2;
            std::vector<float> next(static_cast<size_t>(nw) * nh * 3);
            for (int y = 0; y < nh; ++y) {
                for (int x = 0; x < nw; ++x) {
                    for (int c = 0; c < 3; ++c) {
                        const float sum = previous[(static_cast<size_t>(2 * y) * lw + 2 * x) * 3 + c] +
                                          previous[(static_cast<size_t>(2 * y) * lw + 2 * x + 1) * 3 + c] +
                                          previous[(static_cast<size_t>(2 * y + 1) * lw + 2 * x) * 3 + c] +
                                          previous[(static_cast<size_t>(2 * y + 1) * lw + 2 * x + 1) * 3 + c];
                        next[(static_cast<size_t>(y) * nw + x) * 3 + c] = sum * 0.25f;
                    }
                }
            }
            texture.levels.push_back(next);
            lw = nw;
            lh = nh;
        }
    }
}

void XSoftRenderer::Sample(const Texture& texture, float s, float t, float footprint, float out[3])
{
    // footprint: texels of level 0 per pixel.
    const int maxLevel = static_cast<int>(texture.levels.size()) - 1;
    const int level = std::clamp(footprint > 1.0f ? static_cast<int>(std::log2(footprint) + 0.5f) : 0, 0, maxLevel);
    const int w = std::max(1, texture.width >> level);
    const int h = std::max(1, texture.height >> level);
    const std::vector<float>& data = texture.levels[static_cast<size_t>(level)];
    const float x = s * w - 0.5f;
    const float y = t * h - 0.5f;
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const float wx = x - fx;
    const float wy = y - fy;
    const int x0 = ((static_cast<int>(fx) % w) + w) % w;
    const int y0 = ((static_cast<int>(fy) % h) + h) % h;
    const int x1 = (x0 + 1) % w;
    const int y1 = (y0 + 1) % h;
    for (int c = 0; c < 3; ++c) {
        const float a = data[(static_cast<size_t>(y0) * w + x0) * 3 + c];
        const float b = data[(static_cast<size_t>(y0) * w + x1) * 3 + c];
        const float d = data[(static_cast<size_t>(y1) * w + x0) * 3 + c];
        const float e = data[(static_cast<size_t>(y1) * w + x1) * 3 + c];
        out[c] = (a + (b - a) * wx) + ((d + (e - d) * wx) - (a + (b - a) * wx)) * wy;
    }
}

void XSoftRenderer::Rasterise(const ScreenCorner& c0, const ScreenCorner& c1, const ScreenCorner& c2,
                              const Texture* base, const Texture* light, bool depthTest)
{
    const float area = (c1.x - c0.x) * (c2.y - c0.y) - (c2.x - c0.x) * (c1.y - c0.y);
    if (std::fabs(area) < 1e-12f) {
        return;
    }
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min({c0.x, c1.x, c2.x}))));
    const int x1 = std::min(width - 1, static_cast<int>(std::ceil(std::max({c0.x, c1.x, c2.x}))));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min({c0.y, c1.y, c2.y}))));
    const int y1 = std::min(height - 1, static_cast<int>(std::ceil(std::max({c0.y, c1.y, c2.y}))));
    // Attributes over w, interpolated linearly on the picture.
    auto interpolate = [&](float px, float py, float& invW, float& key, float& as, float& at, float& bs, float& bt) {
        // In double: long thin triangles lose their barycentric weights in float.
        const double areaD = (static_cast<double>(c1.x) - c0.x) * (static_cast<double>(c2.y) - c0.y) -
                             (static_cast<double>(c2.x) - c0.x) * (static_cast<double>(c1.y) - c0.y);
        const float w1 = static_cast<float>(((static_cast<double>(c2.x) - c0.x) * (py - static_cast<double>(c0.y)) -
                                             (px - static_cast<double>(c0.x)) * (static_cast<double>(c2.y) - c0.y)) /
                                            -areaD);
        const float w2 = static_cast<float>(((static_cast<double>(c1.x) - c0.x) * (py - static_cast<double>(c0.y)) -
                                             (px - static_cast<double>(c0.x)) * (static_cast<double>(c1.y) - c0.y)) /
                                            areaD);
        const float w0 = 1.0f - w1 - w2;
        invW = c0.invW * w0 + c1.invW * w1 + c2.invW * w2;
        key = c0.depthKey * w0 + c1.depthKey * w1 + c2.depthKey * w2;
        as = (c0.a.x * c0.invW * w0 + c1.a.x * c1.invW * w1 + c2.a.x * c2.invW * w2) / invW;
        at = (c0.a.y * c0.invW * w0 + c1.a.y * c1.invW * w1 + c2.a.y * c2.invW * w2) / invW;
        bs = (c0.b.x * c0.invW * w0 + c1.b.x * c1.invW * w1 + c2.b.x * c2.invW * w2) / invW;
        bt = (c0.b.y * c0.invW * w0 + c1.b.y * c1.invW * w1 + c2.b.y * c2.invW * w2) / invW;
        return w0 >= 0.0f && w1 >= 0.0f && w2 >= 0.0f;
    };
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float px = x + 0.5f;
            const float py = y + 0.5f;
            float invW = 0.0f;
            float key = 0.0f;
            float as = 0.0f;
            float at = 0.0f;
            float bs = 0.0f;
            float bt = 0.0f;
            if (!interpolate(px, py, invW, key, as, at, bs, bt)) {
                continue;
            }
            const size_t index = static_cast<size_t>(y) * width + x;
            if (depthTest && key <= depth[index]) {
                continue;
            }
            float dummyW = 0.0f;
            float dummyK = 0.0f;
            float as1 = 0.0f;
            float at1 = 0.0f;
            float bs1 = 0.0f;
            float bt1 = 0.0f;
            float as2 = 0.0f;
            float at2 = 0.0f;
            float bs2 = 0.0f;
            float bt2 = 0.0f;
            interpolate(px + 1.0f, py, dummyW, dummyK, as1, at1, bs1, bt1);
            interpolate(px, py + 1.0f, dummyW, dummyK, as2, at2, bs2, bt2);
            float rgb[3] = {1.0f, 1.0f, 1.0f};
            if (base != nullptr && !base->Empty()) {
                const float footprint = std::max({std::fabs(as1 - as) * base->width, std::fabs(at1 - at) * base->height,
                                                  std::fabs(as2 - as) * base->width, std::fabs(at2 - at) * base->height});
                Sample(*base, as, at, footprint, rgb);
            }
            if (light != nullptr && !light->Empty()) {
                float lm[3] = {1.0f, 1.0f, 1.0f};
                const float footprint = std::max({std::fabs(bs1 - bs) * light->width, std::fabs(bt1 - bt) * light->height,
                                                  std::fabs(bs2 - bs) * light->width, std::fabs(bt2 - bt) * light->height});
                Sample(*light, bs, bt, footprint, lm);
                for (int c = 0; c < 3; ++c) {
                    rgb[c] *= lm[c];
                }
            }
            for (int c = 0; c < 3; ++c) {
                color[index * 3 + static_cast<size_t>(c)] = rgb[c];
            }
            if (depthTest) {
                depth[index] = key;
            }
            covered[index] = 1;
        }
    }
}

void XSoftRenderer::DrawTriangle(const Corner* corners, const Texture* base, const Texture* light, bool depthTest)
{
    // Clip against the near plane in camera space (a polygon of up to four corners).
    Corner clipped[4];
    int count = 0;
    for (int i = 0; i < 3; ++i) {
        const Corner& a = corners[i];
        const Corner& b = corners[(i + 1) % 3];
        const bool aIn = a.camera.z >= kNear;
        const bool bIn = b.camera.z >= kNear;
        if (aIn) {
            clipped[count++] = a;
        }
        if (aIn != bIn) {
            const float t = (kNear - a.camera.z) / (b.camera.z - a.camera.z);
            Corner c;
            c.camera = a.camera + (b.camera - a.camera) * t;
            c.a = XVector2(a.a.x + (b.a.x - a.a.x) * t, a.a.y + (b.a.y - a.a.y) * t);
            c.b = XVector2(a.b.x + (b.b.x - a.b.x) * t, a.b.y + (b.b.y - a.b.y) * t);
            clipped[count++] = c;
        }
    }
    if (count < 3) {
        return;
    }
    ScreenCorner screen[4];
    for (int i = 0; i < count; ++i) {
        const float invZ = 1.0f / clipped[i].camera.z;
        screen[i].x = width * 0.5f + clipped[i].camera.x * focal * invZ;
        screen[i].y = height * 0.5f - clipped[i].camera.y * focal * invZ;
        screen[i].invW = invZ;
        screen[i].depthKey = invZ;
        screen[i].a = clipped[i].a;
        screen[i].b = clipped[i].b;
    }
    // Counter-clockwise on the screen with y up is the front; the picture's y runs down.
    const float area = (screen[1].x - screen[0].x) * (screen[2].y - screen[0].y) -
                       (screen[2].x - screen[0].x) * (screen[1].y - screen[0].y);
    if (depthTest && area >= 0.0f) {
        return;
    }
    for (int i = 1; i + 1 < count; ++i) {
        Rasterise(screen[0], screen[i], screen[i + 1], base, light, depthTest);
    }
}

void XSoftRenderer::DrawView(const XScene& scene, const XVector3& eye, float yaw, float pitch)
{
    const float y = yaw * kPiFloat / 180.0f;
    const float p = pitch * kPiFloat / 180.0f;
    const XVector3 forward(std::sin(y) * std::cos(p), std::sin(p), std::cos(y) * std::cos(p));
    const XVector3 right = Cross(forward, XVector3(0.0f, 1.0f, 0.0f)).Normalized();
    const XVector3 up = Cross(right, forward);
    for (int pass = 0; pass < 2; ++pass) {
        for (int n = 0; n < scene.GetNodeCount(); ++n) {
            const XSceneNode* node = scene.GetNode(n);
            const XMesh* mesh = node->GetMesh();
            const bool sky = node->GetName() == "skydome";
            if (mesh == nullptr || (pass == 0) != sky) {
                continue;
            }
            const XVector3 origin = sky ? XVector3(0.0f, 0.0f, 0.0f) : eye;
            const uint16_t* indices = mesh->GetTriangles();
            int first = 0;
            for (int g = 0; g < node->GetMaterialGroupCount(); ++g) {
                const XMaterialGroup group = node->GetMaterialGroup(g);
                const XShader& shader = GetShaderManager()->GetShader(group.materialId);
                const bool drawable = sky ? shader.texture0 >= 0 : (shader.texture0 >= 0 && shader.texture1 >= 0);
                if (!drawable) {
                    break; // the engine stops drawing an object at its first group without both textures
                }
                const Texture* base = shader.texture0 < static_cast<int>(textures.size())
                                          ? &textures[static_cast<size_t>(shader.texture0)] : nullptr;
                const Texture* light = (!sky && shader.texture1 < static_cast<int>(textures.size()))
                                           ? &textures[static_cast<size_t>(shader.texture1)] : nullptr;
                for (int t = first; t < first + group.triangleCount; ++t) {
                    Corner corners[3];
                    for (int k = 0; k < 3; ++k) {
                        const int v = indices[t * 3 + k];
                        const XVector3 d = mesh->GetPositions()[v] - origin;
                        corners[k].camera = XVector3(Dot(d, right), Dot(d, up), Dot(d, forward));
                        corners[k].a = mesh->GetTexCoordsA()[v];
                        corners[k].b = mesh->GetTexCoordsB()[v];
                    }
                    if (!sky && corners[0].camera.z > kFar && corners[1].camera.z > kFar && corners[2].camera.z > kFar) {
                        continue;
                    }
                    DrawTriangle(corners, base, light, !sky);
                }
                first += group.triangleCount;
            }
        }
    }
}

void XSoftRenderer::DrawMap(const XScene& scene, float minX, float maxX, float minZ, float maxZ)
{
    mapMinX = minX;
    mapMaxX = maxX;
    mapMinZ = minZ;
    mapMaxZ = maxZ;
    // The world and its further parts, if it comes in several.
    for (int part = 1;; ++part) {
        const XSceneNode* const node = scene.FindNode(WorldPartName(part));
        if (node == nullptr || node->GetMesh() == nullptr) {
            return;
        }
        DrawMapOf(*node);
    }
}

void XSoftRenderer::DrawMapOf(const XSceneNode& node)
{
    const XMesh* mesh = node.GetMesh();
    const uint16_t* indices = mesh->GetTriangles();
    int first = 0;
    for (int g = 0; g < node.GetMaterialGroupCount(); ++g) {
        const XMaterialGroup group = node.GetMaterialGroup(g);
        const XShader& shader = GetShaderManager()->GetShader(group.materialId);
        const Texture* base = &textures[static_cast<size_t>(std::max(0, shader.texture0))];
        const Texture* light = shader.texture1 >= 0 ? &textures[static_cast<size_t>(shader.texture1)] : nullptr;
        for (int t = first; t < first + group.triangleCount; ++t) {
            ScreenCorner screen[3];
            const XVector3* p[3];
            for (int k = 0; k < 3; ++k) {
                const int v = indices[t * 3 + k];
                p[k] = &mesh->GetPositions()[v];
                screen[k].x = (mapMaxX - p[k]->x) / (mapMaxX - mapMinX) * width;
                screen[k].y = (mapMaxZ - p[k]->z) / (mapMaxZ - mapMinZ) * height;
                screen[k].invW = 1.0f;
                screen[k].depthKey = p[k]->y;
                screen[k].a = mesh->GetTexCoordsA()[v];
                screen[k].b = mesh->GetTexCoordsB()[v];
            }
            const XVector3 normal = Cross(*p[1] - *p[0], *p[2] - *p[1]);
            if (normal.y <= 0.3f * normal.Length()) {
                continue;
            }
            Rasterise(screen[0], screen[1], screen[2], base, light, true);
        }
        first += group.triangleCount;
    }
}

void XSoftRenderer::MarkMap(float x, float z, float r, float g, float b, int size)
{
    const int px = static_cast<int>((mapMaxX - x) / (mapMaxX - mapMinX) * width);
    const int py = static_cast<int>((mapMaxZ - z) / (mapMaxZ - mapMinZ) * height);
    for (int y = py - size; y <= py + size; ++y) {
        for (int xx = px - size; xx <= px + size; ++xx) {
            if (xx >= 0 && y >= 0 && xx < width && y < height) {
                const size_t index = (static_cast<size_t>(y) * width + xx) * 3;
                color[index] = r;
                color[index + 1] = g;
                color[index + 2] = b;
            }
        }
    }
}

double XSoftRenderer::UncoveredShare() const
{
    size_t holes = 0;
    for (const unsigned char c : covered) {
        holes += c == 0 ? 1 : 0;
    }
    return static_cast<double>(holes) / static_cast<double>(covered.size());
}

bool XSoftRenderer::WritePng(const std::string& path) const
{
    std::vector<unsigned char> bytes(color.size());
    for (size_t i = 0; i < color.size(); ++i) {
        bytes[i] = static_cast<unsigned char>(std::clamp(static_cast<int>(color[i] * 255.0f + 0.5f), 0, 255));
    }
    return stbi_write_png(path.c_str(), width, height, 3, bytes.data(), width * 3) != 0;
}
