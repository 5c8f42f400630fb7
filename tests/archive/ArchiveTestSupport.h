// Helpers for the archive tests: ZIP files and encoded pictures made at test time.
#pragma once

#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

struct ZipEntry {
    std::string name; // path inside the archive, with '/'
    Bytes bytes;
    bool deflate = true;
};

// Writes a ZIP file holding the entries; fails the calling test on any libzip error.
void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries);

// A file name not used before in this run, so that no test sees another's archive.
std::string UniqueArchiveName(const char* stem);

// Encoded pictures from pixels given top row first (as a viewer reads them).
Bytes EncodeBmp(int width, int height, const Bytes& rgb);
Bytes EncodeTga(int width, int height, int channels, const Bytes& pixels, bool runLength);
Bytes EncodeJpeg(int width, int height, const Bytes& rgb, int quality);

// A whole file as text; empty when it cannot be read.
std::string ReadTextFile(const std::string& path);

// Writes bytes to a file on disk.
void WriteFile(const std::string& path, const Bytes& bytes);
