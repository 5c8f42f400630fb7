// TestArchive: ZIP archives and encoded pictures made at test time, so that tests never depend on game data.
#pragma once

#include "support/FileContents.h" // Bytes

#include <cstddef> // size_t
#include <string>
#include <vector>

struct ZipEntry {
    std::string name; // path inside the archive, with '/'
    Bytes bytes;
    bool deflate = true; // false: stored as it is
};

// Writes a ZIP file holding the entries; fails the calling test on any libzip error.
void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries);

// Bytes that look random, the same for the same seed: entry contents and pixels that do not compress.
Bytes PseudoRandomBytes(size_t count, unsigned seed);

// Encoded pictures from pixels given top row first, as a viewer reads them.
Bytes EncodeBmp(int width, int height, const Bytes& rgb);
Bytes EncodeTga(int width, int height, int channels, const Bytes& pixels, bool runLength);
Bytes EncodeJpeg(int width, int height, const Bytes& rgb, int quality);
