// XImageWriter: stb_image_write behind the generators' canvas.
#include "tools/texgen/XImageWriter.h"

#include <stb_image_write.h> // stbi_write_bmp, stbi_write_tga, stbi_write_jpg, stbi_write_png

#include <cstdio>     // std::fopen, std::fwrite
#include <filesystem> // std::filesystem::create_directories

namespace {

bool MakeParentFolder(const std::string& path)
{
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (parent.empty()) {
        return true;
    }
    std::error_code failure;
    std::filesystem::create_directories(parent, failure);
    return !failure;
}

} // namespace

bool XImageWriter::WriteBmp(const std::string& path, const XImage& image)
{
    const std::vector<unsigned char> bytes = image.ToBytes(3);
    return MakeParentFolder(path) && stbi_write_bmp(path.c_str(), image.Width(), image.Height(), 3, bytes.data()) != 0;
}

bool XImageWriter::WriteTga(const std::string& path, const XImage& image)
{
    const std::vector<unsigned char> bytes = image.ToBytes(4);
    stbi_write_tga_with_rle = 1;
    return MakeParentFolder(path) && stbi_write_tga(path.c_str(), image.Width(), image.Height(), 4, bytes.data()) != 0;
}

bool XImageWriter::WriteJpeg(const std::string& path, const XImage& image, int quality)
{
    const std::vector<unsigned char> bytes = image.ToBytes(3);
    return MakeParentFolder(path) &&
           stbi_write_jpg(path.c_str(), image.Width(), image.Height(), 3, bytes.data(), quality) != 0;
}

bool XImageWriter::WritePng(const std::string& path, const XImage& image, bool withAlpha)
{
    const int channels = withAlpha ? 4 : 3;
    const std::vector<unsigned char> bytes = image.ToBytes(channels);
    return MakeParentFolder(path) && stbi_write_png(path.c_str(), image.Width(), image.Height(), channels,
                                                    bytes.data(), image.Width() * channels) != 0;
}

bool XImageWriter::WriteRaw(const std::string& path, const XImage& image)
{
    const std::vector<unsigned char> bytes = image.ToBytes(4);
    if (!MakeParentFolder(path)) {
        return false;
    }
    FILE* const file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
