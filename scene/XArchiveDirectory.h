// XArchiveDirectory: the checksums a ZIP file's central directory records for its entries.
//
// PhysicsFS inflates an entry without comparing the result with the CRC-32 the archive recorded, so a
// damaged entry reads as garbage rather than as an error. The archive layer reads the directory once when it
// selects an archive and checks every entry it reads against it.
//
// - Only the end of the file is read: the end-of-central-directory record (found within the last 64 KiB +
//   22 bytes, behind an optional comment), the ZIP64 record it may point to, and the directory itself.
// - Every length and offset is checked against the bytes actually there; a directory that does not fit is
//   refused with its reason, never read past.
// - Data put in front of the archive (a self-extracting stub) is allowed: the directory is found from its
//   end, not from the offsets it records.
// - Names are kept as PhysicsFS looks them up ('/' separators). Folders, encrypted entries and names that
//   occur twice with different checksums are not recorded: such entries cannot be checked.
// Depends on: nothing but the standard library.
#pragma once

#include <cstddef> // size_t
#include <cstdint> // uint32_t, uint64_t
#include <string>
#include <unordered_map>
#include <unordered_set>

class XArchiveDirectory {
public:
    // Reads the directory of the ZIP file at the path. False, with the reason in `problem`, when the file
    // cannot be read or its directory is missing or damaged; the directory is then empty.
    bool ReadFromFile(const char* path, std::string& problem);

    // The same for a whole ZIP file already in memory.
    bool ReadFromBytes(const unsigned char* data, size_t size, std::string& problem);

    // The recorded CRC-32 of the named entry; false when the entry is not recorded (see above).
    bool FindCrc(const std::string& name, uint32_t& crc) const;

    // How many entries can be checked.
    size_t GetEntryCount() const { return crcs.size(); }

    void Clear();

    // The CRC-32 (ISO-HDLC, the ZIP one; zlib's) of the bytes, continuing from `crc` (0 to start).
    static uint32_t Crc32(const unsigned char* data, size_t size, uint32_t crc = 0);

private:
    // Where the central directory lies in the file and how many entries it claims.
    struct Location {
        uint64_t offset = 0;
        uint64_t size = 0;
        uint64_t entryCount = 0;
    };

    // The file or the buffer the directory is read from.
    class Source;

    bool Read(const Source& source, std::string& problem);
    bool Locate(const Source& source, Location& location, std::string& problem) const;
    bool ParseEntries(const unsigned char* bytes, size_t size, uint64_t entryCount, std::string& problem);
    void Record(const std::string& name, uint32_t crc);

    std::unordered_map<std::string, uint32_t> crcs;
    std::unordered_set<std::string> ambiguous; // names seen twice with different checksums
};
