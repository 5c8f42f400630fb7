// XTextureLoader: turns pictures and raw resources of the archive into textures, with fixed upload rules.
//
// Pictures (bitmap, JPEG, TGA) become mipmapped 2D textures; raw resources become 2D textures of one level or
// mipmapped; the two cube maps (the spotlight's spot and the normalization map) are built here too. Every
// operation hands the caller a new texture (or null where stated) for the caller's table. The loader has no
// state; it is a singleton only so that every layer reaches the same object.
// Depends on: OpenGL, GLU, XArchive, XLog, XOptions, XExtensions, the texture classes.
#pragma once

#include "render/XTexture.h"
#include "scene/XPictureDecoder.h" // XPicturePixels

#include <GL/gl.h> // GLenum

#include <memory> // std::unique_ptr
#include <string>

// What a picture loader does when the picture is missing or cannot be decoded: show the error itself, or
// only hand back null for the caller to report (the scene's texture table gathers its missing pictures into
// one message).
enum class XMissingPicture { Report, LeaveToCaller };

class XTextureLoader {
public:
    // A mipmapped RGB texture from a picture. `type` must be 2 (fatal otherwise); an empty file name is fatal.
    // A missing picture gives null, reported with a message box unless the caller takes that over.
    std::unique_ptr<XTexture> CreateTextureFromBitmap(int type, const std::string& file, bool compress, GLenum wrap,
                                                      XMissingPicture missing = XMissingPicture::Report) const;

    // A mipmapped RGBA texture from a picture. An empty file name or a missing picture is fatal.
    std::unique_ptr<XTexture> CreateTextureFromTGA(const std::string& file) const;

    // A mipmapped RGB texture from a picture. A missing or undecodable picture gives null, reported with a
    // message box unless the caller takes that over.
    std::unique_ptr<XTexture> CreateTextureFromJPEG(const std::string& file, bool compress, GLenum wrap,
                                                    XMissingPicture missing = XMissingPicture::Report) const;

    // A mipmapped RGB texture from pixels decoded beforehand (a picture decoded off the main thread); null for
    // a picture of no pixels. `name` names the picture in a report of a failed upload.
    std::unique_ptr<XTexture> CreateTextureFromPixels(const XPicturePixels& picture, const std::string& name,
                                                      GLenum wrap) const;

    // A texture from a headerless resource of width x height pixels of `depth` bytes (1 luminance, 3 RGB,
    // 4 RGBA; anything else stops the program), one level or mipmapped. A missing resource is fatal; a
    // resource shorter than the picture is reported and its missing part left black; a failed upload is
    // reported and gives null.
    std::unique_ptr<XTexture> CreateTextureFromRaw(const std::string& file, int width, int height, int depth,
                                                   bool mipmap) const;

    // The spotlight cube map: "misc\spot.bmp" on all six faces. Fatal when it cannot be built.
    std::unique_ptr<XTexture> CreateSpotCubeMap() const;

    // A normalization cube map of size x size texels per face.
    std::unique_ptr<XTexture> CreateNormalizationCubeMap(int size) const;

    // Fills the six faces of the bound cube map: each texel holds the unit direction through it, mapped from
    // [-1, 1] to bytes as 127 v + 128. False when the pixel buffer cannot be had.
    bool BuildNormalizationFaces(int size) const;
};

// The process-wide loader, created on first use.
XTextureLoader* GetTextureLoader();
