// XTextureLoader: picture, raw and cube-map uploads.
#include "render/XTextureLoader.h"

#include "math/XVector3.h"
#include "render/XExtensions.h"
#include "render/XTexture2D.h"
#include "render/XTextureCube.h"
#include "scene/XArchive.h"
#include "shell/XLog.h"
#include "shell/XOptions.h"

#include <GL/glu.h> // gluBuild2DMipmaps

#include <cstdio>  // snprintf, fprintf
#include <cstring> // memcpy
#include <new>     // std::nothrow
#include <vector>

namespace {

const char* const kSpotPicture = "misc\\spot.bmp";

// Reads pending errors away so that the next check sees only the errors of the upload that follows. Bounded:
// a lost context may keep reporting.
void ClearGLErrors()
{
    for (int i = 0; i < 64 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

// Pixel rows from the archive are tightly packed; OpenGL would otherwise expect rows padded to 4 bytes and
// read past the end of any picture whose row length is not a multiple of 4.
void UseTightRows()
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

// The pixel layout of the current picture as the decoder delivered it.
GLenum CurrentPictureFormat()
{
    return QXPictureGetChannels() == 4 ? GL_RGBA : GL_RGB;
}

// Makes the named picture current; false when it is missing or holds no pixels.
bool OpenPicture(const std::string& file)
{
    if (!QXOpenPicture(file.c_str(), true)) {
        return false;
    }
    if (QXPictureGetWidth() == 0 || QXPictureGetHeight() == 0 || QXPictureGetData() == nullptr) {
        QXClosePicture();
        return false;
    }
    return true;
}

// Uploads the current picture as every mipmap level of the texture's new GL texture, stored as
// internalFormat. The pixels are read as the decoder delivered them (three or four bytes each), whatever
// the picture's name promised. Reports a failed upload; the texture is kept either way.
void UploadMipmaps(XTexture2D& texture, const std::string& file, GLint internalFormat, uint32_t width,
                   uint32_t height, int channels, const unsigned char* pixels)
{
    const GLenum format = channels == 4 ? GL_RGBA : GL_RGB;
    texture.GenerateName();
    glBindTexture(GL_TEXTURE_2D, texture.GetId());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    UseTightRows();
    const GLint result = gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, static_cast<GLint>(width),
                                           static_cast<GLint>(height), format, GL_UNSIGNED_BYTE, pixels);
    texture.SetFilter(GL_LINEAR_MIPMAP_LINEAR);
    if (glGetError() != GL_NO_ERROR || result != 0) {
        GetLog()->ShowError("XTexture1D: Could not uppload texture " + file);
    }
}

void UploadPictureMipmaps(XTexture2D& texture, const std::string& file, GLint internalFormat)
{
    UploadMipmaps(texture, file, internalFormat, QXPictureGetWidth(), QXPictureGetHeight(), QXPictureGetChannels(),
                  QXPictureGetData());
}

// Uploads the spot picture to the given faces of the bound cube map. A missing picture uploads nothing (the
// faces stay empty, as an upload of a picture of no pixels would leave them) and is logged; a picture that is
// not square cannot be a cube face: false, with a log line.
bool UploadSpotFaces(const GLenum* faces, int faceCount)
{
    if (!OpenPicture(kSpotPicture)) {
        GetLog()->Log(std::string("Texture file ") + kSpotPicture + " not found.");
        return true;
    }
    const GLsizei width = static_cast<GLsizei>(QXPictureGetWidth());
    const GLsizei height = static_cast<GLsizei>(QXPictureGetHeight());
    if (width != height) {
        // The fatal report that follows says only that the cube map failed; this line says why.
        char line[160] = {};
        std::snprintf(line, sizeof(line), "Texture file %s is %dx%d pixels: a cube map face must be square.",
                      kSpotPicture, static_cast<int>(width), static_cast<int>(height));
        GetLog()->Log(line);
        std::fprintf(stderr, "%s\n", line);
        QXClosePicture();
        return false;
    }
    UseTightRows();
    for (int i = 0; i < faceCount; ++i) {
        glTexImage2D(faces[i], 0, 3, width, height, 0, CurrentPictureFormat(), GL_UNSIGNED_BYTE, QXPictureGetData());
    }
    QXClosePicture();
    return true;
}

unsigned char DirectionByte(float component)
{
    return static_cast<unsigned char>(127.0f * component + 128.0f);
}

// The direction through texel (s, t), each in (-1, 1), of cube face `face` (+X, -X, +Y, -Y, +Z, -Z).
XVector3 FaceDirection(int face, float s, float t)
{
    switch (face) {
    case 0:
        return XVector3(1.0f, -t, -s);
    case 1:
        return XVector3(-1.0f, -t, s);
    case 2:
        return XVector3(s, 1.0f, t);
    case 3:
        return XVector3(s, -1.0f, -t);
    case 4:
        return XVector3(s, -t, 1.0f);
    default:
        return XVector3(-s, -t, -1.0f);
    }
}

} // namespace

std::unique_ptr<XTexture> XTextureLoader::CreateTextureFromBitmap(int type, const std::string& file, bool compress,
                                                                  GLenum wrap, XMissingPicture missing) const
{
    ClearGLErrors();
    if (file.empty()) {
        GetLog()->ShowFatal("CreateTextureFromBitmap");
    }
    if (type != 2) {
        GetLog()->ShowFatal("Texture load error");
    }
    std::unique_ptr<XTexture2D> texture = std::make_unique<XTexture2D>();
    texture->SetWrap(wrap);
    if (!OpenPicture(file)) {
        if (missing == XMissingPicture::Report) {
            GetLog()->ShowError("Texture file " + file + " not found.");
        }
        return nullptr;
    }
    const bool compressed = compress && IsExtensionSupported("GL_ARB_texture_compression");
    UploadPictureMipmaps(*texture, file, compressed ? GL_COMPRESSED_RGB_S3TC_DXT1_EXT : GL_RGB);
    QXClosePicture();
    return texture;
}

std::unique_ptr<XTexture> XTextureLoader::CreateTextureFromTGA(const std::string& file) const
{
    ClearGLErrors();
    if (file.empty()) {
        GetLog()->ShowFatal("CreateTextureFromTGA");
    }
    std::unique_ptr<XTexture2D> texture = std::make_unique<XTexture2D>();
    if (!OpenPicture(file)) {
        GetLog()->ShowFatal("Texture file " + file + " not found.");
    }
    const bool compressed = IsExtensionSupported("XGL_ARB_texture_compression");
    UploadPictureMipmaps(*texture, file, compressed ? GL_COMPRESSED_RGBA_S3TC_DXT3_EXT : GL_RGBA);
    QXClosePicture();
    return texture;
}

std::unique_ptr<XTexture> XTextureLoader::CreateTextureFromJPEG(const std::string& file, bool compress, GLenum wrap,
                                                                XMissingPicture missing) const
{
    // A level names its own JPEG pictures: a missing or undecodable one is the user's data, not a program
    // error, so it is reported like a missing bitmap and the caller gets no texture.
    if (!OpenPicture(file)) {
        if (missing == XMissingPicture::Report) {
            GetLog()->ShowError("Texture file " + file + " not found.");
        }
        return nullptr;
    }
    ClearGLErrors();
    std::unique_ptr<XTexture2D> texture = std::make_unique<XTexture2D>();
    texture->SetWrap(wrap);
    const bool compressed = IsExtensionSupported("GL_EXT_texture_compression_s3tc") && compress;
    UploadPictureMipmaps(*texture, file, compressed ? GL_COMPRESSED_RGB_S3TC_DXT1_EXT : GL_RGB);
    QXClosePicture();
    return texture;
}

std::unique_ptr<XTexture> XTextureLoader::CreateTextureFromPixels(const XPicturePixels& picture,
                                                                  const std::string& name, GLenum wrap) const
{
    if (picture.width == 0 || picture.height == 0 || picture.bytes.empty()) {
        return nullptr;
    }
    ClearGLErrors();
    std::unique_ptr<XTexture2D> texture = std::make_unique<XTexture2D>();
    texture->SetWrap(wrap);
    UploadMipmaps(*texture, name, GL_RGB, picture.width, picture.height, picture.channels, picture.bytes.data());
    return texture;
}

std::unique_ptr<XTexture> XTextureLoader::CreateTextureFromRaw(const std::string& file, int width, int height,
                                                               int depth, bool mipmap) const
{
    ClearGLErrors();
    std::unique_ptr<XTexture2D> texture = std::make_unique<XTexture2D>();
    XAssert((depth == 1) || (depth == 3) || (depth == 4), "(depth == 1) || (depth) == 3 || (depth == 4)",
            "texture", __LINE__);
    XAssert(width > 0 && height > 0, "(width > 0) && (height > 0)", "texture", __LINE__);
    if (!QXOpenResource(file.c_str())) {
        GetLog()->ShowFatal("XTexture2D: Could not find file " + file);
    }

    const size_t expected = static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(depth);
    const size_t available = QXGetSize();
    const unsigned char* pixels = QXGetData();
    std::vector<unsigned char> padded;
    if (available < expected) {
        // A damaged data file must not make OpenGL read past the resource: upload what is there.
        char message[512] = {};
        std::snprintf(message, sizeof(message),
                      "XTexture2D: File %s holds %zu of the %zu bytes of its %dx%d picture; the rest is black.",
                      file.c_str(), available, expected, width, height);
        GetLog()->ShowError(message);
        padded.assign(expected, 0);
        if (available > 0) {
            std::memcpy(padded.data(), pixels, available);
        }
        pixels = padded.data();
    }

    texture->GenerateName();
    glBindTexture(GL_TEXTURE_2D, texture->GetId());
    const GLenum format = depth == 1 ? GL_LUMINANCE : (depth == 3 ? GL_RGB : GL_RGBA);
    UseTightRows();
    GLint result = 0;
    if (mipmap) {
        result = gluBuild2DMipmaps(GL_TEXTURE_2D, depth, width, height, format, GL_UNSIGNED_BYTE, pixels);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, depth, width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
    }
    const bool failed = glGetError() != GL_NO_ERROR || result != 0;
    QXCloseResource();
    if (failed) {
        GetLog()->ShowError("XTexture1D: Could not uppload texture " + file);
        return nullptr; // the texture's GL texture goes with it
    }
    return texture;
}

std::unique_ptr<XTexture> XTextureLoader::CreateSpotCubeMap() const
{
    ClearGLErrors();
    std::unique_ptr<XTextureCube> texture = std::make_unique<XTextureCube>();
    texture->GenerateName();
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, texture->GetId());
    glGetError();
    QXSetArchive(GetOptions().archive.c_str(), "");

    // The same picture goes on every face; it is opened twice, the first time for five faces.
    const GLenum firstFaces[] = {GL_TEXTURE_CUBE_MAP_NEGATIVE_X_ARB, GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB,
                                 GL_TEXTURE_CUBE_MAP_NEGATIVE_Y_ARB, GL_TEXTURE_CUBE_MAP_POSITIVE_Y_ARB,
                                 GL_TEXTURE_CUBE_MAP_NEGATIVE_Z_ARB};
    const GLenum lastFace[] = {GL_TEXTURE_CUBE_MAP_POSITIVE_Z_ARB};
    const bool uploaded = UploadSpotFaces(firstFaces, 5) && UploadSpotFaces(lastFace, 1);
    texture->SetFilter(GL_LINEAR);
    if (glGetError() != GL_NO_ERROR || !uploaded) {
        GetLog()->ShowFatal("XTexture1D: Could not create spot cubemap!");
    }
    return texture;
}

std::unique_ptr<XTexture> XTextureLoader::CreateNormalizationCubeMap(int size) const
{
    std::unique_ptr<XTextureCube> texture = std::make_unique<XTextureCube>();
    texture->GenerateName();
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, texture->GetId());
    BuildNormalizationFaces(size);
    return texture;
}

bool XTextureLoader::BuildNormalizationFaces(int size) const
{
    if (size <= 0) {
        return false;
    }
    const size_t byteCount = static_cast<size_t>(size) * static_cast<size_t>(size) * 3;
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[byteCount]);
    if (buffer == nullptr) {
        return false;
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    UseTightRows();

    const float sizeF = static_cast<float>(size);
    for (int face = 0; face < 6; ++face) {
        for (int y = 0; y < size; ++y) {
            const float tQuotient = (static_cast<float>(y) + 0.5f) / sizeF;
            const float t = 2.0f * tQuotient - 1.0f;
            for (int x = 0; x < size; ++x) {
                const float sQuotient = (static_cast<float>(x) + 0.5f) / sizeF;
                const float s = 2.0f * sQuotient - 1.0f;
                const XVector3 direction = FaceDirection(face, s, t).Normalized();
                unsigned char* const texel = &buffer[(static_cast<size_t>(y) * static_cast<size_t>(size) +
                                                      static_cast<size_t>(x)) * 3];
                texel[0] = DirectionByte(direction.x);
                texel[1] = DirectionByte(direction.y);
                texel[2] = DirectionByte(direction.z);
            }
        }
        glTexImage2D(static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB + face), 0, GL_RGB8, size, size, 0,
                     GL_RGB, GL_UNSIGNED_BYTE, buffer.get());
    }
    return true;
}

XTextureLoader* GetTextureLoader()
{
    static XTextureLoader* const loader = new XTextureLoader();
    return loader;
}
