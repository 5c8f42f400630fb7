// Shared setup of the renderer tests.
#include "RendererTestSupport.h"

#include "render/XDecal.h"
#include "render/XExplosion.h"
#include "render/XExtensions.h"
#include "render/XTexture2D.h"
#include "render/XTextureManager.h"
#include "scene/XArchive.h"
#include "scene/XLightManager.h"
#include "scene/XShaderManager.h"
#include "shell/XLog.h"
#include "shell/XOptions.h"
#include "shell/XTimer.h"
#include "support/ScratchEnvironment.h"
#include "support/TestArchive.h"

#include <GL/gl.h>
#include <GL/glu.h> // gluLookAt

#include <cmath>   // std::hypot
#include <cstdlib> // std::abs
#include <unistd.h> // getpid

namespace {

Bytes Filled(int pixels, const RGB& color, int alpha)
{
    Bytes bytes;
    for (int i = 0; i < pixels; ++i) {
        bytes.insert(bytes.end(), {static_cast<unsigned char>(color.r), static_cast<unsigned char>(color.g),
                                   static_cast<unsigned char>(color.b), static_cast<unsigned char>(alpha)});
    }
    return bytes;
}

Bytes RGBFilled(int pixels, const RGB& color)
{
    Bytes bytes;
    for (int i = 0; i < pixels; ++i) {
        bytes.push_back(static_cast<unsigned char>(color.r));
        bytes.push_back(static_cast<unsigned char>(color.g));
        bytes.push_back(static_cast<unsigned char>(color.b));
    }
    return bytes;
}

// Two bands of RGBA rows: the first `firstRows` rows in one colour, the rest in the other.
Bytes Bands(int width, int height, int firstRows, const RGB& first, const RGB& second)
{
    Bytes bytes = Filled(width * firstRows, first, 255);
    const Bytes rest = Filled(width * (height - firstRows), second, 255);
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    return bytes;
}

Bytes SpotPicture()
{
    Bytes rgb;
    const float centre = kSpotPictureSize / 2.0f;
    for (int y = 0; y < kSpotPictureSize; ++y) {
        for (int x = 0; x < kSpotPictureSize; ++x) {
            const float distance = std::hypot(x + 0.5f - centre, y + 0.5f - centre);
            const unsigned char value = distance < kSpotDiscRadius ? 255 : 0;
            rgb.insert(rgb.end(), {value, value, value});
        }
    }
    return rgb;
}

std::vector<ZipEntry> SpecialEntries()
{
    std::vector<ZipEntry> entries;
    entries.push_back({"misc/spot.bmp", EncodeBmp(kSpotPictureSize, kSpotPictureSize, SpotPicture())});
    entries.push_back({"misc/font.bmp", EncodeBmp(16, 16, RGBFilled(16 * 16, {0, 0, 0}))});
    entries.push_back({"misc/light.bmp", EncodeBmp(8, 8, RGBFilled(64, {255, 255, 255}))});
    entries.push_back({"misc/menu.raw", Bands(512, 512, 256, kMenuTopColor, kMenuBottomColor)});
    entries.push_back({"misc/cursor.raw", Bands(32, 32, 16, kCursorTopColor, kCursorBottomColor)});
    entries.push_back({"misc/decal.raw", Filled(64 * 64, kDecalColor, 255)});
    entries.push_back({"misc/decal2.raw", Filled(128 * 128, kScorchColor, 255)});
    entries.push_back({"misc/rocketl.jpg", EncodeJpeg(8, 8, RGBFilled(64, {255, 255, 255}), 100)});
    for (int n = 1; n <= 8; ++n) {
        entries.push_back({"explode/rlboom_" + std::to_string(n) + ".tga",
                           EncodeTga(4, 4, 4, Filled(16, ExplosionFileColor(n), 255), false)});
    }
    entries.push_back({"explode/weapon.raw", Filled(64 * 64, {90, 90, 90}, 255)});
    return entries;
}

class RendererTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        const std::string directory = EnterScratchDirectory("korvath-renderer-test");
        ASSERT_FALSE(directory.empty());
        GetLog()->SetDialogsEnabled(false);
        const std::string archive = directory + "/special-" + std::to_string(getpid()) + ".pck";
        WriteZip(archive, SpecialEntries());
        XOptions options = GetOptions();
        options.archive = archive;
        SetOptions(options);

        std::string reason;
        ASSERT_TRUE(EnsureGLContext(&reason)) << reason;
        LoadExtensionEntryPoints();
        ASSERT_TRUE(QXInitialize());
        ASSERT_TRUE(QXSetArchive(archive.c_str(), ""));
        // Loads every special texture once for the whole run; a failure shows on stderr and in the checks.
        const XTextureManager* const manager = GetTextureManager();
        ASSERT_NE(manager->GetSpecialTexture(kSpecialNormalizationCube), nullptr) << "special textures incomplete";
    }

    void TearDown() override { LeaveScratchDirectory(); }
};

::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new RendererTestEnvironment());

} // namespace

RGB ExplosionFileColor(int n)
{
    return {20 * n, 255 - 20 * n, 40};
}

std::unique_ptr<XMesh> QuadMesh(const std::vector<Quad>& quads)
{
    const int count = static_cast<int>(quads.size());
    std::unique_ptr<XMesh> mesh = std::make_unique<XMesh>();
    mesh->Create(4 * count, 2 * count, XMesh::kPositions | XMesh::kNormals | XMesh::kTexCoordsA | XMesh::kTexCoordsB);
    const float cornerX[4] = {1.0f, -1.0f, -1.0f, 1.0f}; // the viewer's right is -x
    const float cornerY[4] = {-1.0f, -1.0f, 1.0f, 1.0f};
    const float cornerS[4] = {0.0f, 1.0f, 1.0f, 0.0f};
    const float cornerT[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    for (int q = 0; q < count; ++q) {
        const Quad& quad = quads[static_cast<size_t>(q)];
        for (int c = 0; c < 4; ++c) {
            const int v = 4 * q + c;
            mesh->GetPositions()[v] = XVector3(quad.x + cornerX[c] * quad.half, quad.y + cornerY[c] * quad.half, quad.z);
            mesh->GetNormals()[v] = XVector3(0.0f, 0.0f, -1.0f);
            mesh->GetTexCoordsA()[v] = XVector2(cornerS[c], cornerT[c]);
            mesh->GetTexCoordsB()[v] = XVector2(cornerS[c], cornerT[c]);
        }
        uint16_t* const triangles = mesh->GetTriangles() + 6 * q;
        const uint16_t first = static_cast<uint16_t>(4 * q);
        const uint16_t order[6] = {0, 1, 2, 0, 2, 3};
        for (int i = 0; i < 6; ++i) {
            triangles[i] = static_cast<uint16_t>(first + order[i]);
        }
    }
    return mesh;
}

XSceneNode* AddNode(XScene& scene, const std::string& name, std::unique_ptr<XMesh> mesh,
                    const std::vector<XMaterialGroup>& groups)
{
    std::unique_ptr<XSceneNode> node = std::make_unique<XSceneNode>();
    node->SetName(name);
    node->SetMesh(std::move(mesh));
    node->SetMaterialGroups(groups);
    return scene.AddNode(std::move(node));
}

std::unique_ptr<XTexture> MakeTexture(int width, int height, const std::vector<uint8_t>& rgb, GLenum filter)
{
    std::unique_ptr<XTexture> texture = std::make_unique<XTexture2D>();
    texture->GenerateName();
    texture->SetFilter(filter);
    glBindTexture(GL_TEXTURE_2D, texture->GetId());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

std::unique_ptr<XTexture> SolidTexture(const RGB& color)
{
    return MakeTexture(2, 2, RGBFilled(4, color), GL_NEAREST);
}

void SetSceneColors(const std::vector<RGB>& colors)
{
    XTextureManager* const manager = GetTextureManager();
    manager->ResizeSceneTextures(static_cast<int>(colors.size()));
    for (size_t i = 0; i < colors.size(); ++i) {
        manager->SetTexture(static_cast<int>(i), SolidTexture(colors[i]));
    }
}

void SetMaterials(const std::vector<MaterialSpec>& materials)
{
    XShaderManager* const shaders = GetShaderManager();
    shaders->Resize(static_cast<int>(materials.size()));
    for (size_t i = 0; i < materials.size(); ++i) {
        XShader& shader = shaders->GetShader(static_cast<int>(i));
        shader.texture0 = materials[i].texture0;
        shader.texture1 = materials[i].texture1;
        shader.opacity = materials[i].opacity;
    }
}

void SetClock(int32_t now, float frameTime)
{
    XTimer* const timer = GetTimer();
    timer->UseManualClock();
    timer->AdvanceManualClock(static_cast<double>(now) - frameTime);
    timer->ResetFrame();
    timer->AdvanceManualClock(frameTime);
    timer->Update();
}

RGBPixel Pixel(int x, int y)
{
    return ReadBackBufferPixel(x, y);
}

bool PixelIs(const RGBPixel& pixel, const RGB& color, int tolerance)
{
    return std::abs(pixel.r - color.r) <= tolerance && std::abs(pixel.g - color.g) <= tolerance &&
           std::abs(pixel.b - color.b) <= tolerance;
}

::testing::AssertionResult PixelNear(int x, int y, const RGB& color, int tolerance)
{
    const RGBPixel pixel = Pixel(x, y);
    if (PixelIs(pixel, color, tolerance)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is (" << int(pixel.r) << ", "
                                         << int(pixel.g) << ", " << int(pixel.b) << "), expected (" << color.r
                                         << ", " << color.g << ", " << color.b << ") within " << tolerance;
}

namespace {

std::vector<unsigned char> ReadBlock(int x0, int y0, int width, int height)
{
    std::vector<unsigned char> rgba(static_cast<size_t>(width * height * 4));
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x0, y0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

} // namespace

int LitPixelsInBlock(int x0, int y0, int width, int height, int threshold)
{
    const std::vector<unsigned char> rgba = ReadBlock(x0, y0, width, height);
    int lit = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        if (rgba[i] > threshold || rgba[i + 1] > threshold || rgba[i + 2] > threshold) {
            ++lit;
        }
    }
    return lit;
}

int LitPixelsInRow(int y, int threshold)
{
    return LitPixelsInBlock(0, y, kGLTestWidth, 1, threshold);
}

int LitPixelsInColumn(int x, int threshold)
{
    return LitPixelsInBlock(x, 0, 1, kGLTestHeight, threshold);
}

int PixelsOfColorInBlock(int x0, int y0, int width, int height, const RGB& color, int tolerance)
{
    const std::vector<unsigned char> rgba = ReadBlock(x0, y0, width, height);
    int matching = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        RGBPixel pixel;
        pixel.r = rgba[i];
        pixel.g = rgba[i + 1];
        pixel.b = rgba[i + 2];
        if (PixelIs(pixel, color, tolerance)) {
            ++matching;
        }
    }
    return matching;
}

bool BlockHasColor(int x0, int y0, int width, int height, const RGB& color, int tolerance)
{
    return PixelsOfColorInBlock(x0, y0, width, height, color, tolerance) > 0;
}

std::string LogFileText()
{
    return ReadWholeFile("Korvath.log");
}

void RendererTest::SetUp()
{
    GLContextTest::SetUp();
    if (HasFatalFailure()) {
        return;
    }
    GetLog()->SetDialogsEnabled(false);
    GetTextureManager()->ResizeSceneTextures(0);
    GetShaderManager()->Resize(0);
    GetLightManager()->SetCount(0);
    for (int i = 0; i < XLightManager::kMaxLights; ++i) {
        GetLightManager()->GetLight(i).SetPosition(0.0f, 0.0f, 0.0f);
        GetLightManager()->GetLight(i).SetColor(0.0f, 0.0f, 0.0f);
    }
    GetDecalList()->Clear();
    GetExplosionList()->Clear();
    SetClock(0, 0.0f);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glDisable(GL_SCISSOR_TEST);
    PlaceCamera(XVector3(0.0f, 0.0f, 0.0f), 0.0f, 0.0f, 0.0f);
    renderer.Clear();
}

void RendererTest::TearDown()
{
    renderer.SetSpriteLog(nullptr);
    renderer.SetScene(nullptr);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    TakeGLError();
}

void RendererTest::PlaceCamera(const XVector3& position, float yaw, float pitch, float eyeHeight)
{
    camera.SetPosition(position);
    camera.SetYaw(yaw);
    camera.SetPitch(pitch);
    camera.Apply(false, 0.0f, eyeHeight);
}

void RendererTest::SetUpScene()
{
    scene.SetupScene(BuildOctTree);
    octree.reset(scene.GetOctree());
}
