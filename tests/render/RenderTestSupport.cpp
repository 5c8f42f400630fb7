// Shared setup of the render tests.
#include "RenderTestSupport.h"

#include "render/XExtensions.h"
#include "scene/XArchive.h"
#include "shell/XLog.h"
#include "shell/XOptions.h"
#include "support/ScratchEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm> // std::remove_if
#include <unistd.h>  // getpid

namespace {

std::string standardArchivePath;

Bytes Filled(size_t count, unsigned char value)
{
    return Bytes(count, value);
}

Bytes FontPixels()
{
    Bytes rgb(static_cast<size_t>(kFontSize * kFontSize * 3), 0);
    for (int row = 161; row <= 166; ++row) {
        for (int column = 20; column <= 27; ++column) {
            unsigned char* const p = &rgb[static_cast<size_t>((row * kFontSize + column) * 3)];
            p[0] = 255;
            p[1] = 255;
            p[2] = 255;
        }
    }
    return rgb;
}

Bytes ExplosionFrame(int frame)
{
    Bytes rgba;
    for (int i = 0; i < 16; ++i) {
        rgba.push_back(static_cast<unsigned char>(kExplosionRedStep * frame));
        rgba.push_back(0);
        rgba.push_back(0);
        rgba.push_back(255);
    }
    return rgba;
}

class RenderTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe"); // a forked child cannot keep the GL driver's threads
        const std::string directory = EnterScratchDirectory("korvath-render-test");
        ASSERT_FALSE(directory.empty());
        GetLog()->SetDialogsEnabled(false);
        // Death-test children share the directory: each process writes its own archives, never one another's.
        standardArchivePath = directory + "/standard-" + std::to_string(getpid()) + ".pck";
        WriteZip(standardArchivePath, SpecialTextureEntries());
        XOptions options = GetOptions();
        options.archive = standardArchivePath;
        SetOptions(options);
    }

    void TearDown() override { LeaveScratchDirectory(); }
};

::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new RenderTestEnvironment());

int archiveCounter = 0;

} // namespace

Bytes SpotPixels()
{
    Bytes rgb;
    for (int y = 0; y < kSpotSize; ++y) {
        for (int x = 0; x < kSpotSize; ++x) {
            rgb.push_back(static_cast<unsigned char>(16 * x));
            rgb.push_back(static_cast<unsigned char>(16 * y));
            rgb.push_back(77);
        }
    }
    return rgb;
}

std::vector<ZipEntry> SpecialTextureEntries()
{
    std::vector<ZipEntry> entries;
    entries.push_back({"misc/spot.bmp", EncodeBmp(kSpotSize, kSpotSize, SpotPixels())});
    entries.push_back({"misc/font.bmp", EncodeBmp(kFontSize, kFontSize, FontPixels())});
    Bytes light;
    for (int i = 0; i < 64; ++i) {
        light.insert(light.end(), {kLightRed, 100, 50});
    }
    entries.push_back({"misc/light.bmp", EncodeBmp(8, 8, light)});
    entries.push_back({"misc/menu.raw", Filled(512 * 512 * 4, kMenuByte)});
    entries.push_back({"misc/cursor.raw", Filled(32 * 32 * 4, kCursorByte)});
    entries.push_back({"misc/decal.raw", Filled(64 * 64 * 4, kDecalByte)});
    entries.push_back({"misc/decal2.raw", Filled(128 * 128 * 4, kDecal2Byte)});
    entries.push_back({"misc/rocketl.jpg", EncodeJpeg(8, 8, Filled(8 * 8 * 3, 128), 95)});
    for (int frame = 1; frame <= 8; ++frame) {
        entries.push_back({"explode/rlboom_" + std::to_string(frame) + ".tga",
                           EncodeTga(4, 4, 4, ExplosionFrame(frame), false)});
    }
    entries.push_back({"explode/weapon.raw", Filled(64 * 64 * 4, kWeaponByte)});
    return entries;
}

void RemoveEntry(std::vector<ZipEntry>& entries, const std::string& name)
{
    entries.erase(std::remove_if(entries.begin(), entries.end(), [&](const ZipEntry& e) { return e.name == name; }),
                  entries.end());
}

void PutEntry(std::vector<ZipEntry>& entries, const std::string& name, const Bytes& bytes)
{
    RemoveEntry(entries, name);
    entries.push_back({name, bytes});
}

const std::string& StandardArchivePath()
{
    return standardArchivePath;
}

ScopedArchive::ScopedArchive(const std::vector<ZipEntry>& entries)
{
    const ::testing::TestInfo* const test = ::testing::UnitTest::GetInstance()->current_test_info();
    ++archiveCounter;
    const std::string path = std::string(test->test_suite_name()) + "." + test->name() + "." +
                             std::to_string(archiveCounter) + "-" + std::to_string(getpid()) + ".pck";
    WriteZip(path, entries);
    XOptions options = GetOptions();
    options.archive = path;
    SetOptions(options);
    QXSetArchive(path.c_str(), "");
}

ScopedArchive::~ScopedArchive()
{
    XOptions options = GetOptions();
    options.archive = standardArchivePath;
    SetOptions(options);
    QXSetArchive(standardArchivePath.c_str(), "");
}

int TextureLevelWidth(GLenum target, int level)
{
    GLint width = 0;
    glGetTexLevelParameteriv(target, level, GL_TEXTURE_WIDTH, &width);
    return width;
}

Bytes ReadTextureImage(GLenum target, int level, GLenum format, int bytesPerPixel)
{
    GLint width = 0;
    GLint height = 0;
    glGetTexLevelParameteriv(target, level, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(target, level, GL_TEXTURE_HEIGHT, &height);
    Bytes pixels(static_cast<size_t>(width * height * bytesPerPixel));
    if (!pixels.empty()) {
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(target, level, format, GL_UNSIGNED_BYTE, pixels.data());
    }
    return pixels;
}

void BeginCapturingErrors()
{
    ::testing::internal::CaptureStderr();
}

std::string EndCapturingErrors()
{
    return ::testing::internal::GetCapturedStderr();
}

void RenderTest::SetUp()
{
    GLContextTest::SetUp();
    if (HasFatalFailure()) {
        return;
    }
    LoadExtensionEntryPoints();
    GetLog()->SetDialogsEnabled(false);
    ASSERT_TRUE(QXInitialize());
    ASSERT_TRUE(QXSetArchive(StandardArchivePath().c_str(), ""));
}
