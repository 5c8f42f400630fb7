// TestArchive: libzip and stb_image_write wrappers for tests.
#include "support/TestArchive.h"

#include <gtest/gtest.h>
#include <stb_image_write.h> // stbi_write_*_to_func
#include <zip.h>             // zip_open, zip_file_add, ...

namespace {

void AppendToBytes(void* context, void* data, int size)
{
    Bytes* const out = static_cast<Bytes*>(context);
    const unsigned char* const first = static_cast<const unsigned char*>(data);
    out->insert(out->end(), first, first + size);
}

} // namespace

void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries)
{
    int error = 0;
    zip_t* const archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr) << "zip_open failed with " << error;
    for (const ZipEntry& entry : entries) {
        // The buffers stay alive in `entries` until zip_close has written them.
        zip_source_t* const source = zip_source_buffer(archive, entry.bytes.data(), entry.bytes.size(), 0);
        ASSERT_NE(source, nullptr);
        const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0) << zip_strerror(archive);
        // Deflated at the fastest level: some tests pack the whole of the game's data.
        const zip_int32_t method = entry.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE;
        const zip_uint32_t level = entry.deflate ? 1 : 0;
        ASSERT_EQ(zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), method, level), 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

Bytes PseudoRandomBytes(size_t count, unsigned seed)
{
    Bytes bytes(count);
    unsigned state = seed;
    for (unsigned char& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<unsigned char>(state >> 24);
    }
    return bytes;
}

Bytes EncodeBmp(int width, int height, const Bytes& rgb)
{
    Bytes out;
    EXPECT_NE(stbi_write_bmp_to_func(AppendToBytes, &out, width, height, 3, rgb.data()), 0);
    return out;
}

Bytes EncodeTga(int width, int height, int channels, const Bytes& pixels, bool runLength)
{
    Bytes out;
    stbi_write_tga_with_rle = runLength ? 1 : 0;
    EXPECT_NE(stbi_write_tga_to_func(AppendToBytes, &out, width, height, channels, pixels.data()), 0);
    return out;
}

Bytes EncodeJpeg(int width, int height, const Bytes& rgb, int quality)
{
    Bytes out;
    EXPECT_NE(stbi_write_jpg_to_func(AppendToBytes, &out, width, height, 3, rgb.data(), quality), 0);
    return out;
}
