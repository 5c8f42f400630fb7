// XImageWriter: writes the generators' pictures as the engine's file formats.
//
// Pictures (BMP, TGA, JPEG, PNG) are written the usual way, top row of the picture first in the encoder's
// input; the decoder hands them to the engine bottom row first. Raw files are headerless R,G,B,A bytes,
// TOP row first (the menu and cursor quads put t = 0 at their top edge). Missing parent folders are made.
// Depends on: XImage, XFiles, stb_image_write.
#pragma once

#include "tools/common/XImage.h"

#include <string>

class XImageWriter {
public:
    static bool WriteBmp(const std::string& path, const XImage& image);            // 24-bit R,G,B
    static bool WriteTga(const std::string& path, const XImage& image);            // 32-bit R,G,B,A
    static bool WriteJpeg(const std::string& path, const XImage& image, int quality);
    static bool WritePng(const std::string& path, const XImage& image, bool withAlpha);
    static bool WriteRaw(const std::string& path, const XImage& image);            // R,G,B,A, top row first
};
