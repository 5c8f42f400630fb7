// FileContents: whole files through stdio.
#include "support/FileContents.h"

#include <cstdio>     // std::fopen, std::fread, std::fwrite
#include <filesystem> // std::filesystem::create_directories

std::string ReadWholeFile(const std::string& path)
{
    std::string bytes;
    FILE* const file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    char buffer[65536];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, count);
    }
    std::fclose(file);
    return bytes;
}

Bytes ReadFileBytes(const std::string& path)
{
    const std::string bytes = ReadWholeFile(path);
    return Bytes(bytes.begin(), bytes.end());
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) {
        std::error_code ignored; // a folder that cannot be made shows when the file cannot be opened
        std::filesystem::create_directories(folder, ignored);
    }
    FILE* const file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool WriteFileBytes(const std::string& path, const Bytes& bytes)
{
    return WriteWholeFile(path, std::string(bytes.begin(), bytes.end()));
}

std::string UniqueFileName(const char* stem, const char* extension)
{
    static int counter = 0;
    ++counter;
    return std::string(stem) + "-" + std::to_string(counter) + extension;
}

size_t CountOf(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}
