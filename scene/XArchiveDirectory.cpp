// XArchiveDirectory: bounded reading of a ZIP file's end records and central directory.
#include "scene/XArchiveDirectory.h"

#include <algorithm> // std::min
#include <cerrno>  // errno
#include <cstdio>  // std::fopen, std::fread, fseeko, ftello
#include <cstring> // std::memcpy, std::strerror
#include <vector>

#include <sys/types.h> // off_t
#include <zlib.h>      // crc32_z

// --- Types

// The bytes a directory is read from: an open file or a buffer. Reads never go past the end.
class XArchiveDirectory::Source {
public:
    explicit Source(FILE* openFile) : file(openFile)
    {
        if (fseeko(file, 0, SEEK_END) == 0) {
            const off_t end = ftello(file);
            size = end > 0 ? static_cast<uint64_t>(end) : 0;
        }
    }
    Source(const unsigned char* data, size_t length) : buffer(data), size(length) {}

    uint64_t Size() const { return size; }

    // The `count` bytes at `offset`; false when they are not all there.
    bool ReadAt(uint64_t offset, uint64_t count, std::vector<unsigned char>& bytes) const
    {
        if (offset > size || count > size - offset) {
            return false;
        }
        bytes.resize(static_cast<size_t>(count));
        if (count == 0) {
            return true;
        }
        if (buffer != nullptr) {
            std::memcpy(bytes.data(), buffer + offset, static_cast<size_t>(count));
            return true;
        }
        if (fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0) {
            return false;
        }
        return std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }

private:
    FILE* file = nullptr;
    const unsigned char* buffer = nullptr;
    uint64_t size = 0;
};

namespace {

// --- Record layouts (little-endian; offsets within each record)

const uint32_t kEndSignature = 0x06054b50u;      // end of central directory
const uint32_t kZip64EndSignature = 0x06064b50u; // ZIP64 end of central directory
const uint32_t kZip64LocatorSignature = 0x07064b50u;
const uint32_t kEntrySignature = 0x02014b50u; // central directory file header

const size_t kEndSize = 22;
const size_t kMaxCommentSize = 0xffff;
const size_t kZip64LocatorSize = 20;
const size_t kZip64EndSize = 56; // without its extensible data
const size_t kEntrySize = 46;    // without name, extra field and comment

const uint16_t kEncryptedFlag = 0x0001u;

uint16_t Get16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Get32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t Get64(const unsigned char* p)
{
    return static_cast<uint64_t>(Get32(p)) | (static_cast<uint64_t>(Get32(p + 4)) << 32);
}

// PhysicsFS looks names up with '/' separators; archives made on DOS hosts may store '\'.
std::string LookupName(const unsigned char* bytes, size_t length)
{
    std::string name(reinterpret_cast<const char*>(bytes), length);
    for (char& c : name) {
        if (c == '\\') {
            c = '/';
        }
    }
    return name;
}

} // namespace

// --- Public functions

bool XArchiveDirectory::ReadFromFile(const char* path, std::string& problem)
{
    Clear();
    FILE* const file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        problem = std::string("cannot open the file (") + std::strerror(errno) + ")";
        return false;
    }
    const Source source(file);
    const bool ok = Read(source, problem);
    std::fclose(file);
    return ok;
}

bool XArchiveDirectory::ReadFromBytes(const unsigned char* data, size_t size, std::string& problem)
{
    Clear();
    const Source source(data, data != nullptr ? size : 0);
    return Read(source, problem);
}

bool XArchiveDirectory::FindCrc(const std::string& name, uint32_t& crc) const
{
    const auto found = crcs.find(name);
    if (found == crcs.end()) {
        return false;
    }
    crc = found->second;
    return true;
}

void XArchiveDirectory::Clear()
{
    crcs.clear();
    ambiguous.clear();
}

uint32_t XArchiveDirectory::Crc32(const unsigned char* data, size_t size, uint32_t crc)
{
    return static_cast<uint32_t>(crc32_z(crc, data, size));
}

// --- Local functions

bool XArchiveDirectory::Read(const Source& source, std::string& problem)
{
    Location location;
    if (!Locate(source, location, problem)) {
        return false;
    }
    std::vector<unsigned char> directory;
    if (!source.ReadAt(location.offset, location.size, directory)) {
        problem = "damaged ZIP archive: cannot read its directory";
        return false;
    }
    if (!ParseEntries(directory.data(), directory.size(), location.entryCount, problem)) {
        Clear();
        return false;
    }
    return true;
}

// Finds the end record behind the entries (and the ZIP64 record it may point to) and from it the directory.
bool XArchiveDirectory::Locate(const Source& source, Location& location, std::string& problem) const
{
    const uint64_t fileSize = source.Size();
    if (fileSize < kEndSize) {
        problem = fileSize == 0 ? "the file is empty" : "not a ZIP archive (too short)";
        return false;
    }
    // The tail that can hold the end record with the longest comment, and the ZIP64 locator before it.
    const uint64_t tailSize = std::min<uint64_t>(fileSize, kEndSize + kMaxCommentSize + kZip64LocatorSize);
    const uint64_t tailStart = fileSize - tailSize;
    std::vector<unsigned char> tail;
    if (!source.ReadAt(tailStart, tailSize, tail)) {
        problem = "cannot read the end of the file";
        return false;
    }
    // The last signature whose record, comment included, fits in the file.
    size_t end = tail.size() - kEndSize;
    bool found = false;
    for (size_t at = end + 1; at-- > 0;) {
        if (Get32(&tail[at]) == kEndSignature && at + kEndSize + Get16(&tail[at + 20]) <= tail.size()) {
            end = at;
            found = true;
            break;
        }
    }
    if (!found) {
        problem = "no ZIP directory at the end of the file (not a ZIP archive, or truncated)";
        return false;
    }
    const unsigned char* const record = &tail[end];
    location.entryCount = Get16(record + 10);
    location.size = Get32(record + 12);
    uint64_t directoryEnd = tailStart + end; // the directory is followed by the end record(s)

    // A field at its maximum says the true value is in the ZIP64 record.
    const bool zip64 = location.entryCount == 0xffffu || location.size == 0xffffffffu ||
                       Get32(record + 16) == 0xffffffffu;
    if (!zip64 && (Get16(record + 4) != 0 || Get16(record + 6) != 0)) {
        problem = "a ZIP archive spanning several disks";
        return false;
    }
    if (zip64) {
        if (end < kZip64LocatorSize || Get32(&tail[end - kZip64LocatorSize]) != kZip64LocatorSignature) {
            problem = "damaged ZIP64 archive: its locator is missing";
            return false;
        }
        const uint64_t locatorAt = tailStart + end - kZip64LocatorSize;
        const uint64_t recordedAt = Get64(&tail[end - kZip64LocatorSize + 8]);
        // The recorded place is relative to the archive's start; with data in front, it sits just before the
        // locator instead.
        std::vector<unsigned char> zip64End;
        uint64_t zip64At = recordedAt;
        if (!source.ReadAt(zip64At, kZip64EndSize, zip64End) || Get32(zip64End.data()) != kZip64EndSignature) {
            zip64At = locatorAt >= kZip64EndSize ? locatorAt - kZip64EndSize : 0;
            if (!source.ReadAt(zip64At, kZip64EndSize, zip64End) || Get32(zip64End.data()) != kZip64EndSignature) {
                problem = "damaged ZIP64 archive: its end record is missing";
                return false;
            }
        }
        if (Get32(zip64End.data() + 16) != 0 || Get32(zip64End.data() + 20) != 0) {
            problem = "a ZIP archive spanning several disks";
            return false;
        }
        location.entryCount = Get64(zip64End.data() + 32);
        location.size = Get64(zip64End.data() + 40);
        directoryEnd = zip64At;
    }
    if (location.size > directoryEnd) {
        problem = "damaged or truncated ZIP archive: its directory is larger than the file before it";
        return false;
    }
    location.offset = directoryEnd - location.size;
    // Every entry takes at least its fixed header; a count beyond that cannot be true.
    if (location.entryCount > location.size / kEntrySize) {
        problem = "damaged ZIP archive: its directory claims " + std::to_string(location.entryCount) +
                  " entries in " + std::to_string(location.size) + " bytes";
        return false;
    }
    return true;
}

bool XArchiveDirectory::ParseEntries(const unsigned char* bytes, size_t size, uint64_t entryCount,
                                     std::string& problem)
{
    size_t at = 0;
    for (uint64_t index = 0; index < entryCount; ++index) {
        if (size - at < kEntrySize || Get32(bytes + at) != kEntrySignature) {
            problem = "damaged ZIP archive: directory entry " + std::to_string(index + 1) + " of " +
                      std::to_string(entryCount) + " is not where the directory says";
            return false;
        }
        const unsigned char* const entry = bytes + at;
        const uint16_t flags = Get16(entry + 8);
        const uint32_t crc = Get32(entry + 16);
        const size_t nameLength = Get16(entry + 28);
        const size_t variableLength = nameLength + Get16(entry + 30) + Get16(entry + 32);
        if (size - at - kEntrySize < variableLength) {
            problem = "damaged ZIP archive: directory entry " + std::to_string(index + 1) + " of " +
                      std::to_string(entryCount) + " runs past the directory's end";
            return false;
        }
        const std::string name = LookupName(entry + kEntrySize, nameLength);
        const bool folder = name.empty() || name.back() == '/';
        if (!folder && (flags & kEncryptedFlag) == 0) {
            Record(name, crc);
        }
        at += kEntrySize + variableLength;
    }
    return true;
}

// Keeps the name's checksum; a name seen before with another checksum can no longer be checked, since which
// of the two PhysicsFS serves is its business.
void XArchiveDirectory::Record(const std::string& name, uint32_t crc)
{
    if (ambiguous.count(name) != 0) {
        return;
    }
    const auto inserted = crcs.emplace(name, crc);
    if (!inserted.second && inserted.first->second != crc) {
        crcs.erase(inserted.first);
        ambiguous.insert(name);
    }
}
