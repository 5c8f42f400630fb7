// XPacker: deterministic ZIP archives with libzip.
#include "tools/pack/XPacker.h"

#include "tools/common/XFiles.h"

#include <zip.h> // zip_open, zip_source_buffer, zip_file_add, zip_close, ...

#include <algorithm>  // std::sort
#include <filesystem> // std::filesystem::recursive_directory_iterator

namespace {

// 1 January 2000, 00:00:00 in MS-DOS form: the archive must not carry the time of the build.
const zip_uint16_t kDosDate = ((2000 - 1980) << 9) | (1 << 5) | 1;
const zip_uint16_t kDosTime = 0;
// Plain readable files (-rw-r--r--), stored in the upper half of the external attributes.
const zip_uint32_t kUnixFileAttributes = 0100644u << 16;

} // namespace

std::vector<std::string> XPacker::ListFiles(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code failure;
    std::filesystem::recursive_directory_iterator it(folder, failure);
    if (failure) {
        return names;
    }
    for (const std::filesystem::directory_entry& entry : it) {
        if (entry.is_regular_file(failure)) {
            names.push_back(entry.path().lexically_relative(folder).generic_string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool XPacker::Pack(const std::string& folder, const std::string& archivePath, std::string& error)
{
    const std::vector<std::string> names = ListFiles(folder);
    if (names.empty()) {
        error = "no files to pack in " + folder;
        return false;
    }
    // libzip reads the buffers only in zip_close, so they all stay alive until then.
    std::vector<std::vector<unsigned char>> contents(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        if (!XFiles::ReadBytes(folder + "/" + names[i], contents[i])) {
            error = "cannot read " + folder + "/" + names[i];
            return false;
        }
    }
    int openError = 0;
    zip_t* const archive = zip_open(archivePath.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &openError);
    if (archive == nullptr) {
        zip_error_t details;
        zip_error_init_with_code(&details, openError);
        error = "cannot create " + archivePath + ": " + zip_error_strerror(&details);
        zip_error_fini(&details);
        return false;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        zip_source_t* const source = zip_source_buffer(archive, contents[i].data(), contents[i].size(), 0);
        const zip_int64_t index = source != nullptr ? zip_file_add(archive, names[i].c_str(), source, 0) : -1;
        if (index < 0) {
            if (source != nullptr) {
                zip_source_free(source);
            }
            error = "cannot add " + names[i] + ": " + zip_strerror(archive);
            zip_discard(archive);
            return false;
        }
        const zip_uint64_t entry = static_cast<zip_uint64_t>(index);
        if (zip_set_file_compression(archive, entry, ZIP_CM_DEFLATE, 9) != 0 ||
            zip_file_set_dostime(archive, entry, kDosTime, kDosDate, 0) != 0 ||
            zip_file_set_external_attributes(archive, entry, 0, ZIP_OPSYS_UNIX, kUnixFileAttributes) != 0) {
            error = "cannot set the attributes of " + names[i] + ": " + zip_strerror(archive);
            zip_discard(archive);
            return false;
        }
    }
    if (zip_close(archive) != 0) {
        error = "cannot write " + archivePath + ": " + zip_strerror(archive);
        zip_discard(archive);
        return false;
    }
    return true;
}
