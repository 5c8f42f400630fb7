// XArchive: PhysicsFS over the ZIP archive, stb_image for the pictures inside it.
#include "scene/XArchive.h"

#include "scene/XPictureCheck.h"
#include "shell/XLog.h"

#include <physfs.h>    // PHYSFS_init, PHYSFS_mount, PHYSFS_openRead, ...
#include <stb_image.h> // stbi_info_from_memory, stbi_load_from_memory, stbi_image_free

#include <cctype>  // std::tolower
#include <climits> // INT_MAX
#include <cstdio>  // std::fprintf
#include <cstring> // std::memcpy, std::strlen
#include <string>
#include <vector>

namespace {

// Larger pictures are refused before decoding: a damaged or hostile header could otherwise ask for
// gigabytes. No engine texture comes near this.
const int kMaxPictureSide = 8192;

// Everything the archive layer holds: the selected archive, one resource, one picture.
struct ArchiveState {
    std::string mountedPath;
    bool archiveMounted = false;

    std::vector<unsigned char> resourceBytes; // the entry followed by one zero byte
    uint32_t resourceSize = 0;
    bool resourceOpen = false;

    std::vector<unsigned char> encodedPicture; // scratch for the picture file, reused between opens
    std::vector<unsigned char> pixels;
    uint32_t pictureWidth = 0;
    uint32_t pictureHeight = 0;
    bool pictureOpen = false;
};

ArchiveState& State()
{
    static ArchiveState* const state = new ArchiveState();
    return *state;
}

// PhysicsFS wants '/' and rejects '\' as insecure; archive paths are written with '\'.
std::string ToPhysfsPath(const char* name)
{
    std::string path = name;
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

// Why a mount failed, in words a user can act on.
std::string DescribeMountFailure(PHYSFS_ErrorCode code)
{
    switch (code) {
    case PHYSFS_ERR_NOT_FOUND:
        return "file not found";
    case PHYSFS_ERR_UNSUPPORTED:
        return "not a ZIP archive";
    case PHYSFS_ERR_CORRUPT:
        return "damaged ZIP archive";
    case PHYSFS_ERR_PERMISSION:
        return "unreadable (permission denied)";
    default: {
        const char* const detail = PHYSFS_getErrorByCode(code);
        return std::string("unreadable (") + (detail != nullptr ? detail : "unknown error") + ")";
    }
    }
}

void ReportArchiveFailure(const char* archivePath, const std::string& reason)
{
    const std::string line = std::string("Archive ") + archivePath + " could not be opened: " + reason;
    GetLog()->Log(line);
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

void Unmount(ArchiveState& state)
{
    if (state.archiveMounted) {
        PHYSFS_unmount(state.mountedPath.c_str());
    }
    state.archiveMounted = false;
    state.mountedPath.clear();
}

// Reads a whole entry into bytes (resized to the entry's length). False when the entry is missing, too
// large for a 32-bit length, or cannot be read in full.
bool ReadEntry(const char* name, std::vector<unsigned char>& bytes)
{
    if (name == nullptr || !State().archiveMounted) {
        return false;
    }
    PHYSFS_File* const file = PHYSFS_openRead(ToPhysfsPath(name).c_str());
    if (file == nullptr) {
        return false;
    }
    const PHYSFS_sint64 length = PHYSFS_fileLength(file);
    bool ok = length >= 0 && static_cast<PHYSFS_uint64>(length) <= UINT32_MAX;
    if (ok) {
        bytes.resize(static_cast<size_t>(length));
        ok = length == 0 || PHYSFS_readBytes(file, bytes.data(), static_cast<PHYSFS_uint64>(length)) == length;
    }
    PHYSFS_close(file);
    return ok;
}

// True when the entry name ends in ".tga", in any case: those pictures carry an alpha channel.
bool IsTgaName(const char* name)
{
    const size_t length = std::strlen(name);
    if (length < 4) {
        return false;
    }
    const char* const extension = name + length - 4;
    return extension[0] == '.' && std::tolower(static_cast<unsigned char>(extension[1])) == 't' &&
           std::tolower(static_cast<unsigned char>(extension[2])) == 'g' &&
           std::tolower(static_cast<unsigned char>(extension[3])) == 'a';
}

// Copies decoded rows (top row first, as stb_image delivers them) bottom row first.
void CopyRowsBottomUp(const unsigned char* topFirst, int width, int height, int channels,
                      std::vector<unsigned char>& out)
{
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(channels);
    out.resize(rowBytes * static_cast<size_t>(height));
    for (int row = 0; row < height; ++row) {
        const unsigned char* const source = topFirst + rowBytes * static_cast<size_t>(height - 1 - row);
        std::memcpy(out.data() + rowBytes * static_cast<size_t>(row), source, rowBytes);
    }
}

} // namespace

bool QXInitialize()
{
    if (PHYSFS_isInit() != 0) {
        return true;
    }
    return PHYSFS_init(nullptr) != 0;
}

bool QXSetArchive(const char* archivePath, const char* /*password*/)
{
    ArchiveState& state = State();
    if (archivePath == nullptr || archivePath[0] == '\0') {
        Unmount(state);
        ReportArchiveFailure("(none)", "no archive path given");
        return false;
    }
    if (state.archiveMounted && state.mountedPath == archivePath) {
        return true;
    }
    Unmount(state);
    if (!QXInitialize()) {
        ReportArchiveFailure(archivePath, DescribeMountFailure(PHYSFS_getLastErrorCode()));
        return false;
    }
    if (PHYSFS_mount(archivePath, nullptr, 0) == 0) {
        ReportArchiveFailure(archivePath, DescribeMountFailure(PHYSFS_getLastErrorCode()));
        return false;
    }
    state.mountedPath = archivePath;
    state.archiveMounted = true;
    return true;
}

bool QXOpenResource(const char* name)
{
    ArchiveState& state = State();
    QXCloseResource();
    if (!ReadEntry(name, state.resourceBytes)) {
        state.resourceBytes.clear();
        return false;
    }
    state.resourceSize = static_cast<uint32_t>(state.resourceBytes.size());
    state.resourceBytes.push_back(0);
    state.resourceOpen = true;
    return true;
}

const unsigned char* QXGetData()
{
    const ArchiveState& state = State();
    return state.resourceOpen ? state.resourceBytes.data() : nullptr;
}

uint32_t QXGetSize()
{
    return State().resourceSize;
}

void QXCloseResource()
{
    ArchiveState& state = State();
    state.resourceBytes.clear();
    state.resourceSize = 0;
    state.resourceOpen = false;
}

bool QXOpenPicture(const char* name, bool /*flag*/)
{
    ArchiveState& state = State();
    QXClosePicture();
    if (!ReadEntry(name, state.encodedPicture) || state.encodedPicture.size() > static_cast<size_t>(INT_MAX)) {
        return false;
    }
    const int encodedLength = static_cast<int>(state.encodedPicture.size());
    int width = 0;
    int height = 0;
    int channelsInFile = 0;
    if (stbi_info_from_memory(state.encodedPicture.data(), encodedLength, &width, &height, &channelsInFile) == 0 ||
        width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
        !IsPictureComplete(state.encodedPicture.data(), state.encodedPicture.size())) {
        return false;
    }
    const int channels = IsTgaName(name) ? 4 : 3;
    int decodedWidth = 0;
    int decodedHeight = 0;
    unsigned char* const decoded = stbi_load_from_memory(state.encodedPicture.data(), encodedLength, &decodedWidth,
                                                         &decodedHeight, &channelsInFile, channels);
    if (decoded == nullptr) {
        return false;
    }
    // The header was checked above; the decoder must agree with it before its rows are trusted.
    const bool sizeAgrees = decodedWidth == width && decodedHeight == height;
    if (sizeAgrees) {
        CopyRowsBottomUp(decoded, width, height, channels, state.pixels);
        state.pictureWidth = static_cast<uint32_t>(width);
        state.pictureHeight = static_cast<uint32_t>(height);
        state.pictureOpen = true;
    }
    stbi_image_free(decoded);
    return sizeAgrees;
}

uint32_t QXPictureGetWidth()
{
    return State().pictureWidth;
}

uint32_t QXPictureGetHeight()
{
    return State().pictureHeight;
}

const unsigned char* QXPictureGetData()
{
    const ArchiveState& state = State();
    return state.pictureOpen ? state.pixels.data() : nullptr;
}

void QXClosePicture()
{
    ArchiveState& state = State();
    state.pixels.clear();
    state.pictureWidth = 0;
    state.pictureHeight = 0;
    state.pictureOpen = false;
}
