// XFiles: stdio and std::filesystem behind the tools' file calls.
#include "tools/common/XFiles.h"

#include <cstdio>     // std::fopen, std::fread, std::fwrite, std::ferror
#include <filesystem> // std::filesystem::create_directories, is_directory

bool XFiles::ReadBytes(const std::string& path, std::vector<unsigned char>& bytes)
{
    FILE* const file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    bytes.clear();
    unsigned char buffer[65536];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

bool XFiles::WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
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

bool XFiles::MakeFolder(const std::string& path)
{
    std::error_code failure;
    std::filesystem::create_directories(path, failure);
    return !failure && std::filesystem::is_directory(path, failure);
}

bool XFiles::MakeParentFolder(const std::string& path)
{
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    return parent.empty() || MakeFolder(parent.string());
}
