// Helpers for the archive tests, and the temporary working directory every test runs in.
#include "ArchiveTestSupport.h"

#include <gtest/gtest.h>
#include <stb_image_write.h> // stbi_write_*_to_func
#include <zip.h>             // zip_open, zip_file_add, ...

#include <cstdio>     // std::fopen
#include <cstdlib>    // mkdtemp
#include <filesystem> // std::filesystem::remove_all
#include <unistd.h>   // chdir

namespace {

void AppendToBytes(void* context, void* data, int size)
{
    Bytes* const out = static_cast<Bytes*>(context);
    const unsigned char* const first = static_cast<const unsigned char*>(data);
    out->insert(out->end(), first, first + size);
}

// The archive layer writes "Korvath.log" into the working directory: keep it out of the build tree.
class TemporaryWorkingDirectory : public ::testing::Environment {
public:
    void SetUp() override
    {
        char pattern[] = "/tmp/korvath-archive-test-XXXXXX";
        const char* const directory = mkdtemp(pattern);
        ASSERT_NE(directory, nullptr);
        path = directory;
        ASSERT_EQ(chdir(directory), 0);
    }

    void TearDown() override
    {
        if (!path.empty() && chdir("/tmp") == 0) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }

private:
    std::string path;
};

::testing::Environment* const temporaryDirectory =
    ::testing::AddGlobalTestEnvironment(new TemporaryWorkingDirectory());

} // namespace

void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries)
{
    int error = 0;
    zip_t* const archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr) << "zip_open failed with " << error;
    for (const ZipEntry& entry : entries) {
        zip_source_t* const source = zip_source_buffer(archive, entry.bytes.data(), entry.bytes.size(), 0);
        ASSERT_NE(source, nullptr);
        const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0) << zip_strerror(archive);
        const zip_int32_t method = entry.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE;
        ASSERT_EQ(zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), method, 0), 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

std::string UniqueArchiveName(const char* stem)
{
    static int counter = 0;
    ++counter;
    return std::string(stem) + "-" + std::to_string(counter) + ".pck";
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

std::string ReadTextFile(const std::string& path)
{
    std::string text;
    FILE* const file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return text;
    }
    char buffer[4096];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, count);
    }
    std::fclose(file);
    return text;
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    FILE* const file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    if (!bytes.empty()) {
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    }
    std::fclose(file);
}
