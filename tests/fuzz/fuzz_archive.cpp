// Fuzz target: the archive layer over an arbitrary file. The input's ZIP directory is read from memory (the
// damage check's reader, also for inputs PhysicsFS refuses); then the input is written to a temporary file
// and selected as the archive, and every entry found in it is read as a resource and opened as a picture,
// the way the game reads its data.
#include "FuzzSupport.h"

#include "scene/XArchive.h"
#include "scene/XArchiveDirectory.h"
#include "scene/XPictureDecoder.h"

#include <physfs.h> // PHYSFS_enumerateFiles, PHYSFS_stat: listing the entries the test then reads

#include <cctype>  // std::tolower
#include <cstddef> // size_t
#include <cstdint> // uint8_t
#include <string>
#include <vector>

#include <fcntl.h>  // open
#include <unistd.h> // write, ftruncate, close

namespace {

// An archive with more entries is cut short: the point is what reading them does, not listing them all.
const size_t kMaxEntries = 64;
const int kMaxDepth = 8;

// The file is overwritten in place and then cut to the input's length. Truncating it to nothing first makes
// ext4 force it out to the disk when it is closed (its guard for files rewritten that way), and a new file
// per input costs ext4 an inode search each time: both made every input wait.
bool WriteFile(const char* path, const uint8_t* data, size_t size)
{
    const int file = open(path, O_WRONLY | O_CREAT, 0644);
    if (file < 0) {
        return false;
    }
    size_t written = 0;
    while (written < size) {
        const ssize_t count = write(file, data + written, size - written);
        if (count <= 0) {
            break;
        }
        written += static_cast<size_t>(count);
    }
    const bool cut = ftruncate(file, static_cast<off_t>(size)) == 0;
    return close(file) == 0 && cut && written == size;
}

// Every file below the folder, depth first, with the archive layer's backslashes.
void ListEntries(const std::string& folder, int depth, std::vector<std::string>& entries)
{
    char** const names = PHYSFS_enumerateFiles(folder.c_str());
    if (names == nullptr) {
        return;
    }
    for (char** name = names; *name != nullptr && entries.size() < kMaxEntries; ++name) {
        const std::string path = folder.empty() ? *name : folder + "/" + *name;
        PHYSFS_Stat stat = {};
        if (PHYSFS_stat(path.c_str(), &stat) == 0) {
            continue;
        }
        if (stat.filetype == PHYSFS_FILETYPE_DIRECTORY) {
            if (depth < kMaxDepth) {
                ListEntries(path, depth + 1, entries);
            }
        } else {
            std::string archiveName = path;
            for (char& c : archiveName) {
                c = c == '/' ? '\\' : c;
            }
            entries.push_back(archiveName);
        }
    }
    PHYSFS_freeList(names);
}

// Every recorded entry takes at least a 46-byte directory header inside the input.
void ReadDirectory(const uint8_t* data, size_t size)
{
    XArchiveDirectory directory;
    std::string problem;
    if (directory.ReadFromBytes(data, size, problem)) {
        FuzzCheck(directory.GetEntryCount() <= size / 46, "no more entries than the input can hold");
    } else {
        FuzzCheck(!problem.empty() && directory.GetEntryCount() == 0, "a refused directory says why, keeps nothing");
    }
}

// The archive layer decodes "*.tga" (any case) with alpha.
bool EndsInTga(const std::string& name)
{
    if (name.size() < 4) {
        return false;
    }
    std::string extension = name.substr(name.size() - 4);
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension == ".tga";
}

void ReadEntry(const std::string& name)
{
    if (QXOpenResource(name.c_str())) {
        const unsigned char* const data = QXGetData();
        const uint32_t size = QXGetSize();
        FuzzCheck(data != nullptr, "an open resource has data");
        FuzzCheck(data[size] == 0, "a zero byte follows the resource");
        unsigned sum = 0;
        for (uint32_t i = 0; i < size; ++i) {
            sum += data[i];
        }
        volatile unsigned keep = sum;
        (void)keep;
    } else {
        FuzzCheck(QXGetData() == nullptr && QXGetSize() == 0, "a failed open leaves no resource");
    }
    if (QXOpenPicture(name.c_str(), true)) {
        const uint32_t width = QXPictureGetWidth();
        const uint32_t height = QXPictureGetHeight();
        FuzzCheck(width >= 1 && width <= kMaxPictureSide && height >= 1 && height <= kMaxPictureSide,
                  "picture size within the limit");
        const unsigned char* const pixels = QXPictureGetData();
        FuzzCheck(pixels != nullptr, "an open picture has pixels");
        const size_t channels = EndsInTga(name) ? 4 : 3;
        const size_t last = static_cast<size_t>(width) * height * channels - 1;
        volatile unsigned char ends = static_cast<unsigned char>(pixels[0] ^ pixels[last]);
        (void)ends;
    } else {
        FuzzCheck(QXPictureGetData() == nullptr && QXPictureGetWidth() == 0, "a failed open leaves no picture");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    PrepareFuzzEnvironment();
    FuzzCheck(QXInitialize(), "the archive layer starts");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ReadDirectory(data, size);
    // Selecting the archive that is already selected keeps it, so consecutive inputs alternate two names.
    static bool second = false;
    second = !second;
    const char* const path = second ? "input-b.zip" : "input-a.zip";
    FuzzCheck(WriteFile(path, data, size), "the input is written");
    // Refused archives, damaged entries and pictures are reported on stderr, millions of times over.
    const QuietStderr quiet;
    if (!QXSetArchive(path, "")) {
        FuzzCheck(!QXOpenResource("anything"), "nothing is readable without an archive");
        return 0;
    }
    std::vector<std::string> entries;
    ListEntries("", 0, entries);
    for (const std::string& name : entries) {
        ReadEntry(name);
    }
    QXCloseResource();
    QXClosePicture();
    return 0;
}
