// TestArchive: ZIP archives and encoded pictures made at test time, so that tests never depend on game data.
#pragma once

#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

struct ZipEntry {
    std::string name; // path inside the archive, with '/'
    Bytes bytes;
};

// Writes a ZIP file (deflated entries) holding the entries; fails the calling test on any libzip error.
void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries);

// Encoded pictures from pixels given top row first, as a viewer reads them.
Bytes EncodeBmp(int width, int height, const Bytes& rgb);
Bytes EncodeTga(int width, int height, const Bytes& rgba);
Bytes EncodeJpeg(int width, int height, const Bytes& rgb, int quality);
