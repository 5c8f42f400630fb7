// XImageWriter: stb_image_write behind the generators' pictures.
#include "tools/common/XImageWriter.h"

#include "tools/common/XFiles.h"

#include <stb_image_write.h> // stbi_write_bmp, stbi_write_tga, stbi_write_jpg, stbi_write_png

bool XImageWriter::WriteBmp(const std::string& path, const XImage& image)
{
    const std::vector<unsigned char> bytes = image.ToBytes(3);
    return XFiles::MakeParentFolder(path) &&
           stbi_write_bmp(path.c_str(), image.Width(), image.Height(), 3, bytes.data()) != 0;
}

bool XImageWriter::WriteTga(const std::string& path, const XImage& image)
{
    const std::vector<unsigned char> bytes = image.ToBytes(4);
    stbi_write_tga_with_rle = 1;
    return XFiles::MakeParentFolder(path) &&
           stbi_write_tga(path.c_str(), image.Width(), image.Height(), 4, bytes.data()) != 0;
}

bool XImageWriter::WriteJpeg(const std::string& path, const XImage& image, int quality)
{
    const std::vector<unsigned char> bytes = image.ToBytes(3);
    return XFiles::MakeParentFolder(path) &&
           stbi_write_jpg(path.c_str(), image.Width(), image.Height(), 3, bytes.data(), quality) != 0;
}

bool XImageWriter::WritePng(const std::string& path, const XImage& image, bool withAlpha)
{
    const int channels = withAlpha ? 4 : 3;
    const std::vector<unsigned char> bytes = image.ToBytes(channels);
    return XFiles::MakeParentFolder(path) && stbi_write_png(path.c_str(), image.Width(), image.Height(), channels,
                                                            bytes.data(), image.Width() * channels) != 0;
}

bool XImageWriter::WriteRaw(const std::string& path, const XImage& image)
{
    return XFiles::WriteBytes(path, image.ToBytes(4));
}
