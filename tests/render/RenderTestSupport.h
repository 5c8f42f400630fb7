// Shared setup of the render tests: a GL context, the extension entry points, no message boxes, and an
// archive of small synthetic pictures standing in for the engine's fixed textures.
#pragma once

#include "support/GLTestContext.h"
#include "support/TestArchive.h"

#include <GL/gl.h>

#include <string>
#include <vector>

// Contents of the synthetic special-texture archive, chosen so that each slot's source can be recognised.
const unsigned char kDecalByte = 0x11;
const unsigned char kDecal2Byte = 0x22;
const unsigned char kWeaponByte = 0x33;
const unsigned char kMenuByte = 0x44;
const unsigned char kCursorByte = 0x55;
const unsigned char kLightRed = 200;
// Explosion frame n (1 to 8) is filled with red = 30 n.
const int kExplosionRedStep = 30;
// The spot picture: 16 x 16, pixel (x, y) counted from the top left is (16 x, 16 y, 77).
const int kSpotSize = 16;
// The font picture: 256 x 256, black except for the upper half of the cell of 'A' (column 1, row 4), which
// lies in band 5 counted from the bottom of the picture; lit texels are columns 20 to 27 and rows 161 to 166
// counted from the top.
const int kFontSize = 256;

// Every entry the special textures need.
std::vector<ZipEntry> SpecialTextureEntries();
// The spot picture's pixels, top row first.
Bytes SpotPixels();

// Removes the named entry; replaces (or adds) an entry.
void RemoveEntry(std::vector<ZipEntry>& entries, const std::string& name);
void PutEntry(std::vector<ZipEntry>& entries, const std::string& name, const Bytes& bytes);

// The path of the archive made from SpecialTextureEntries(), which the options name while no ScopedArchive
// is alive.
const std::string& StandardArchivePath();

// While alive, an archive of the given entries is the options' archive and the archive layer's selection.
class ScopedArchive {
public:
    explicit ScopedArchive(const std::vector<ZipEntry>& entries);
    ScopedArchive(const ScopedArchive&) = delete;
    ScopedArchive& operator=(const ScopedArchive&) = delete;
    ~ScopedArchive();
};

// Level `level` of the texture bound to `target` (a 2D target or a cube face), as `format` bytes.
Bytes ReadTextureImage(GLenum target, int level, GLenum format, int bytesPerPixel);
int TextureLevelWidth(GLenum target, int level);

// Everything between CaptureStderr-style begin and end; for the lines the log shows instead of message boxes.
void BeginCapturingErrors();
std::string EndCapturingErrors();

// Fixture of every render test.
class RenderTest : public GLContextTest {
protected:
    void SetUp() override;
};
