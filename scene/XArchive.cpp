// XArchive: PhysicsFS over the ZIP archive; pictures inside it go through XPictureDecoder.
#include "scene/XArchive.h"

#include "scene/XArchiveDirectory.h"
#include "scene/XBufferedFileIo.h"
#include "scene/XPictureDecoder.h"
#include "shell/XLog.h"

#include <algorithm> // std::sort, std::min
#include <physfs.h> // PHYSFS_init, PHYSFS_mount, PHYSFS_openRead, ...

#include <cctype>  // std::tolower
#include <cstdio>  // std::fprintf
#include <cstring> // std::strlen
#include <string>
#include <vector>

#include <sys/stat.h> // stat, S_ISDIR, S_ISREG: a folder is mounted as such; only a ZIP file has a directory

namespace {

// Everything the archive layer holds: the selected archive, one resource, one picture.
struct ArchiveState {
    std::string mountedPath;
    bool archiveMounted = false;
    std::string overlayPath; // the folder served in front of the archive; empty for none
    XArchiveDirectory directory; // the checksums of the mounted ZIP's entries; empty for a folder

    std::vector<unsigned char> resourceBytes; // the entry followed by one zero byte
    uint32_t resourceSize = 0;
    bool resourceOpen = false;

    std::vector<unsigned char> encodedPicture; // scratch for the picture file, reused between opens
    XPicturePixels picture;
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

// What the first bytes of a file that PhysicsFS refused say about it: 0 bytes, a ZIP's local header, or
// neither (the file cannot be read, or is something else).
enum class FileStart { Empty, ZipHeader, Other };

FileStart PeekFileStart(const char* path)
{
    FILE* const file = std::fopen(path, "rb");
    if (file == nullptr) {
        return FileStart::Other;
    }
    unsigned char head[4] = {};
    const size_t count = std::fread(head, 1, sizeof(head), file);
    std::fclose(file);
    if (count == 0) {
        return FileStart::Empty;
    }
    const bool zip = count == 4 && head[0] == 'P' && head[1] == 'K' && head[2] == 3 && head[3] == 4;
    return zip ? FileStart::ZipHeader : FileStart::Other;
}

// Why a mount failed, in words a user can act on. PhysicsFS calls a ZIP whose directory at the end is missing
// (a download cut short) "unsupported", like any file that is no archive at all: the file's start tells them
// apart.
std::string DescribeMountFailure(const char* archivePath, PHYSFS_ErrorCode code)
{
    switch (code) {
    case PHYSFS_ERR_NOT_FOUND:
        return "file not found";
    case PHYSFS_ERR_UNSUPPORTED:
    case PHYSFS_ERR_CORRUPT:
        switch (PeekFileStart(archivePath)) {
        case FileStart::Empty:
            return "the file is empty";
        case FileStart::ZipHeader:
            return "damaged or truncated ZIP archive";
        case FileStart::Other:
            break;
        }
        return code == PHYSFS_ERR_CORRUPT ? "damaged ZIP archive" : "not a ZIP archive";
    case PHYSFS_ERR_PERMISSION:
        return "unreadable (permission denied)";
    default: {
        const char* const detail = PHYSFS_getErrorByCode(code);
        return std::string("unreadable (") + (detail != nullptr ? detail : "unknown error") + ")";
    }
    }
}

// Appends the archive to the search path: a ZIP file through a buffered stream (PhysicsFS's own reads its
// directory a field at a time), a folder as PhysicsFS serves folders. False with PhysicsFS's error code set.
bool MountArchive(const char* archivePath)
{
    struct stat status = {};
    if (stat(archivePath, &status) == 0 && S_ISDIR(status.st_mode)) {
        return PHYSFS_mount(archivePath, nullptr, 1) != 0;
    }
    PHYSFS_ErrorCode error = PHYSFS_ERR_OK;
    PHYSFS_Io* const io = OpenBufferedFileIo(archivePath, error);
    if (io == nullptr) {
        PHYSFS_setErrorCode(error);
        return false;
    }
    if (PHYSFS_mountIo(io, archivePath, nullptr, 1) == 0) {
        const PHYSFS_ErrorCode refused = PHYSFS_getLastErrorCode();
        io->destroy(io);
        PHYSFS_setErrorCode(refused);
        return false;
    }
    return true;
}

// Several parts of the start-up select the archive in turn; a failure is reported once, not once per part.
void ReportArchiveFailure(const char* archivePath, const std::string& reason)
{
    static std::string lastReport;
    const std::string line = std::string("Archive ") + archivePath + " could not be opened: " + reason;
    if (line == lastReport) {
        return;
    }
    lastReport = line;
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
    state.directory.Clear();
}

// One line to the log and stderr about an entry that is there but cannot be used: the caller's own report
// ("Texture file ... not found.") then has its cause beside it.
void ReportEntryProblem(const std::string& line)
{
    GetLog()->Log(line);
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

// Whether the path names a file (a ZIP) rather than a folder mounted as the archive.
bool IsRegularFile(const char* path)
{
    struct stat status = {};
    return stat(path, &status) == 0 && S_ISREG(status.st_mode);
}

// Reads the checksums of a freshly mounted ZIP file. An archive PhysicsFS accepts but whose directory does
// not pass the stricter reading here is still used, unchecked, and said so when it is selected.
void ReadDirectory(ArchiveState& state)
{
    state.directory.Clear();
    if (!IsRegularFile(state.mountedPath.c_str())) {
        return;
    }
    std::string problem;
    if (!state.directory.ReadFromFile(state.mountedPath.c_str(), problem)) {
        ReportEntryProblem("Archive " + state.mountedPath + ": its entries cannot be checked for damage: " + problem);
    }
}

// Whether bytes read from the archive under this PhysicsFS path are what the archive recorded for them.
// Entries served from a folder (the archive itself, or an overlay in front of it) have nothing to compare with.
bool MatchesRecordedCrc(const ArchiveState& state, const std::string& path, const std::vector<unsigned char>& bytes)
{
    uint32_t recorded = 0;
    if (!state.directory.FindCrc(path, recorded)) {
        return true;
    }
    const char* const from = PHYSFS_getRealDir(path.c_str());
    if (from == nullptr || state.mountedPath != from) {
        return true;
    }
    return XArchiveDirectory::Crc32(bytes.data(), bytes.size()) == recorded;
}

// Reads the entry to its recorded length in steps, so that memory follows the bytes that really arrive: an
// entry whose recorded length is a lie (gigabytes from a few compressed bytes) cannot make the archive layer
// allocate them. False when fewer bytes arrive.
bool ReadInSteps(PHYSFS_File* file, PHYSFS_uint64 length, std::vector<unsigned char>& bytes)
{
    const PHYSFS_uint64 step = 1u << 20;
    const PHYSFS_uint64 trustedLength = 16u << 20; // reserved at once; longer entries grow as they arrive
    bytes.clear();
    bytes.reserve(static_cast<size_t>(std::min(length, trustedLength)));
    while (bytes.size() < length) {
        const size_t at = bytes.size();
        const PHYSFS_uint64 wanted = std::min(step, length - at);
        bytes.resize(at + static_cast<size_t>(wanted));
        const PHYSFS_sint64 got = PHYSFS_readBytes(file, bytes.data() + at, wanted);
        if (got < 0 || static_cast<PHYSFS_uint64>(got) != wanted) {
            bytes.resize(at + static_cast<size_t>(got > 0 ? got : 0));
            return false;
        }
    }
    return true;
}

// Reads a whole entry into bytes (resized to the entry's length). False when the entry is missing, too
// large for a 32-bit length, cannot be read in full, or does not match its recorded checksum (reported: the
// entry is there, but damaged).
bool ReadEntry(const char* name, std::vector<unsigned char>& bytes)
{
    if (name == nullptr || !State().archiveMounted) {
        return false;
    }
    const std::string path = ToPhysfsPath(name);
    PHYSFS_File* const file = PHYSFS_openRead(path.c_str());
    if (file == nullptr) {
        return false;
    }
    PHYSFS_getLastErrorCode(); // forget what earlier calls left, so that a failure below names its own cause
    const PHYSFS_sint64 length = PHYSFS_fileLength(file);
    bool ok = length >= 0 && static_cast<PHYSFS_uint64>(length) <= UINT32_MAX;
    if (ok) {
        ok = ReadInSteps(file, static_cast<PHYSFS_uint64>(length), bytes);
    }
    const PHYSFS_ErrorCode error = PHYSFS_getLastErrorCode();
    PHYSFS_close(file);
    if (!ok) {
        // A stream that simply ends early leaves no error code behind.
        const char* const reason = error != PHYSFS_ERR_OK ? PHYSFS_getErrorByCode(error) : nullptr;
        ReportEntryProblem(std::string("Archive entry ") + name + " could not be read: " +
                           (reason != nullptr ? reason : "damaged data (shorter than recorded)"));
        return false;
    }
    if (!MatchesRecordedCrc(State(), path, bytes)) {
        ReportEntryProblem(std::string("Archive entry ") + name + " could not be read: damaged data (CRC mismatch)");
        return false;
    }
    return true;
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

} // namespace

bool QXInitialize()
{
    if (PHYSFS_isInit() != 0) {
        return true;
    }
    return PHYSFS_init(nullptr) != 0;
}

bool QXSelectArchive(const char* archivePath, std::string& reason)
{
    ArchiveState& state = State();
    reason.clear();
    if (archivePath == nullptr || archivePath[0] == '\0') {
        Unmount(state);
        reason = "no archive path given";
        return false;
    }
    if (state.archiveMounted && state.mountedPath == archivePath) {
        return true;
    }
    Unmount(state);
    if (!QXInitialize()) {
        reason = DescribeMountFailure(archivePath, PHYSFS_getLastErrorCode());
        return false;
    }
    // Appended to the search path, so that an overlay folder (QXSetOverlay) stays in front of it.
    if (!MountArchive(archivePath)) {
        reason = DescribeMountFailure(archivePath, PHYSFS_getLastErrorCode());
        return false;
    }
    state.mountedPath = archivePath;
    state.archiveMounted = true;
    ReadDirectory(state);
    return true;
}

bool QXSetArchive(const char* archivePath, const char* /*password*/)
{
    std::string reason;
    if (QXSelectArchive(archivePath, reason)) {
        return true;
    }
    const bool named = archivePath != nullptr && archivePath[0] != '\0';
    ReportArchiveFailure(named ? archivePath : "(none)", reason);
    return false;
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
    if (!ReadEntry(name, state.encodedPicture)) {
        return false;
    }
    const int channels = IsTgaName(name) ? 4 : 3;
    std::string problem;
    state.pictureOpen =
        DecodePicture(state.encodedPicture.data(), state.encodedPicture.size(), channels, state.picture, problem);
    if (!state.pictureOpen) {
        ReportEntryProblem(std::string("Picture ") + name + " could not be decoded: " + problem);
    }
    return state.pictureOpen;
}

uint32_t QXPictureGetWidth()
{
    return State().picture.width;
}

uint32_t QXPictureGetHeight()
{
    return State().picture.height;
}

int QXPictureGetChannels()
{
    const ArchiveState& state = State();
    return state.pictureOpen ? state.picture.channels : 0;
}

const unsigned char* QXPictureGetData()
{
    const ArchiveState& state = State();
    return state.pictureOpen ? state.picture.bytes.data() : nullptr;
}

void QXClosePicture()
{
    ArchiveState& state = State();
    state.picture.bytes.clear();
    state.picture.width = 0;
    state.picture.height = 0;
    state.picture.channels = 0;
    state.pictureOpen = false;
}

std::vector<std::string> QXListEntries(const char* folder)
{
    std::vector<std::string> names;
    if (!QXInitialize()) {
        return names;
    }
    const std::string path = ToPhysfsPath(folder);
    char** const list = PHYSFS_enumerateFiles(path.c_str());
    if (list == nullptr) {
        return names;
    }
    for (char** entry = list; *entry != nullptr; ++entry) {
        names.emplace_back(*entry);
    }
    PHYSFS_freeList(list);
    std::sort(names.begin(), names.end());
    return names;
}

bool QXSetOverlay(const char* directory)
{
    if (!QXInitialize()) {
        return false;
    }
    ArchiveState& state = State();
    if (state.overlayPath == directory) {
        return true;
    }
    if (PHYSFS_mount(directory, nullptr, 0) == 0) {
        ReportArchiveFailure(directory, DescribeMountFailure(directory, PHYSFS_getLastErrorCode()));
        return false;
    }
    if (!state.overlayPath.empty()) {
        PHYSFS_unmount(state.overlayPath.c_str());
    }
    state.overlayPath = directory;
    return true;
}
