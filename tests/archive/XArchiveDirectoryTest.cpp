// Tests of the ZIP directory reader and of the damage check it gives the archive layer: odd but valid ZIPs
// are read, cut or inconsistent ones are refused without reading past their end, and an entry whose bytes
// differ from its recorded checksum is refused as damaged.
#include "scene/XArchiveDirectory.h"
#include "scene/XArchive.h"

#include "support/FileContents.h"
#include "support/TestArchive.h"

#include <gtest/gtest.h>

#include <cstdint> // uint16_t, uint32_t, uint64_t
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Published check values of CRC-32/ISO-HDLC (the ZIP checksum).
const uint32_t kCrcOfDigits = 0xcbf43926u; // "123456789"
const uint32_t kCrcOfFox = 0x414fa339u;    // "The quick brown fox jumps over the lazy dog"
const char* const kFox = "The quick brown fox jumps over the lazy dog";

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

void Put16(Bytes& out, uint32_t value)
{
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

void Put32(Bytes& out, uint32_t value)
{
    Put16(out, value & 0xffffu);
    Put16(out, value >> 16);
}

void Put64(Bytes& out, uint64_t value)
{
    Put32(out, static_cast<uint32_t>(value));
    Put32(out, static_cast<uint32_t>(value >> 32));
}

void Append(Bytes& out, const Bytes& more)
{
    out.insert(out.end(), more.begin(), more.end());
}

// One entry of a hand-made ZIP, with the checksum the directory claims for it: stored, or with bytes that
// are already a raw deflate stream (method 8) and the uncompressed length they claim.
struct RawEntry {
    std::string name;
    Bytes bytes;
    uint32_t crc = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint32_t claimedLength = 0; // for method 8
};

uint32_t UncompressedLength(const RawEntry& entry)
{
    return entry.method == 0 ? static_cast<uint32_t>(entry.bytes.size()) : entry.claimedLength;
}

// A ZIP assembled byte by byte, so that tests can make what archivers never write.
struct RawZip {
    std::vector<RawEntry> entries;
    Bytes prefix;         // data in front of the archive (a self-extracting stub)
    std::string comment;  // the archive comment after the end record
    bool zip64 = false;   // end records in ZIP64 form
    long claimedEntryDelta = 0;    // added to the entry count the end record claims
    long claimedSizeDelta = 0;     // added to the directory size the end record claims

    Bytes Build() const
    {
        Bytes out = prefix;
        Bytes directory;
        for (const RawEntry& entry : entries) {
            const uint32_t localAt = static_cast<uint32_t>(out.size() - prefix.size());
            Put32(out, 0x04034b50u);
            Put16(out, 20);
            Put16(out, entry.flags);
            Put16(out, entry.method);
            Put32(out, 0); // time and date
            Put32(out, entry.crc);
            Put32(out, static_cast<uint32_t>(entry.bytes.size()));
            Put32(out, UncompressedLength(entry));
            Put16(out, static_cast<uint32_t>(entry.name.size()));
            Put16(out, 0);
            Append(out, Text(entry.name));
            Append(out, entry.bytes);

            Put32(directory, 0x02014b50u);
            Put16(directory, 20);
            Put16(directory, 20);
            Put16(directory, entry.flags);
            Put16(directory, entry.method);
            Put32(directory, 0);
            Put32(directory, entry.crc);
            Put32(directory, static_cast<uint32_t>(entry.bytes.size()));
            Put32(directory, UncompressedLength(entry));
            Put16(directory, static_cast<uint32_t>(entry.name.size()));
            Put16(directory, 0); // extra field
            Put16(directory, 0); // comment
            Put16(directory, 0); // disk
            Put16(directory, 0); // internal attributes
            Put32(directory, 0); // external attributes
            Put32(directory, localAt);
            Append(directory, Text(entry.name));
        }
        const uint64_t directoryAt = out.size() - prefix.size();
        Append(out, directory);
        const uint64_t count = static_cast<uint64_t>(static_cast<long>(entries.size()) + claimedEntryDelta);
        const uint64_t size = static_cast<uint64_t>(static_cast<long>(directory.size()) + claimedSizeDelta);
        if (zip64) {
            const uint64_t recordAt = out.size() - prefix.size();
            Put32(out, 0x06064b50u);
            Put64(out, 44); // size of the rest of the record
            Put16(out, 45);
            Put16(out, 45);
            Put32(out, 0);
            Put32(out, 0);
            Put64(out, count);
            Put64(out, count);
            Put64(out, size);
            Put64(out, directoryAt);
            Put32(out, 0x07064b50u);
            Put32(out, 0);
            Put64(out, recordAt);
            Put32(out, 1);
        }
        Put32(out, 0x06054b50u);
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, zip64 ? 0xffffu : static_cast<uint32_t>(count));
        Put16(out, zip64 ? 0xffffu : static_cast<uint32_t>(count));
        Put32(out, zip64 ? 0xffffffffu : static_cast<uint32_t>(size));
        Put32(out, zip64 ? 0xffffffffu : static_cast<uint32_t>(directoryAt));
        Put16(out, static_cast<uint32_t>(comment.size()));
        Append(out, Text(comment));
        return out;
    }
};

RawZip TwoEntryZip()
{
    RawZip zip;
    zip.entries.push_back({"check/digits.txt", Text("123456789"), kCrcOfDigits, 0});
    zip.entries.push_back({"fox.txt", Text(kFox), kCrcOfFox, 0});
    return zip;
}

// Reads the bytes; the problem is returned for the checks on refusals.
bool ReadDirectory(const Bytes& bytes, XArchiveDirectory& directory, std::string& problem)
{
    return directory.ReadFromBytes(bytes.data(), bytes.size(), problem);
}

void ExpectTwoEntries(const XArchiveDirectory& directory)
{
    EXPECT_EQ(directory.GetEntryCount(), 2u);
    uint32_t crc = 0;
    EXPECT_TRUE(directory.FindCrc("check/digits.txt", crc));
    EXPECT_EQ(crc, kCrcOfDigits);
    EXPECT_TRUE(directory.FindCrc("fox.txt", crc));
    EXPECT_EQ(crc, kCrcOfFox);
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
TEST(ArchiveChecksum, MatchesThePublishedCheckValues)
{
    const Bytes digits = Text("123456789");
    const Bytes fox = Text(kFox);
    EXPECT_EQ(XArchiveDirectory::Crc32(digits.data(), digits.size()), kCrcOfDigits);
    EXPECT_EQ(XArchiveDirectory::Crc32(fox.data(), fox.size()), kCrcOfFox);
    EXPECT_EQ(XArchiveDirectory::Crc32(nullptr, 0), 0u);
}

TEST(ArchiveChecksum, ContinuesAcrossPieces)
{
    const Bytes fox = Text(kFox);
    const uint32_t first = XArchiveDirectory::Crc32(fox.data(), 10);
    EXPECT_EQ(XArchiveDirectory::Crc32(fox.data() + 10, fox.size() - 10, first), kCrcOfFox);
}

// ---------------------------------------------------------------------------------------------------------
TEST(ArchiveDirectoryReading, AnArchiverMadeZipGivesEveryFileItsChecksum)
{
    const std::string path = UniqueFileName("directory-libzip", ".pck");
    WriteZip(path, {{"check/digits.txt", Text("123456789"), true},
                    {"fox.txt", Text(kFox), false},
                    {"misc/empty.txt", Bytes(), true}});
    XArchiveDirectory directory;
    std::string problem;
    ASSERT_TRUE(directory.ReadFromFile(path.c_str(), problem)) << problem;
    EXPECT_EQ(directory.GetEntryCount(), 3u);
    uint32_t crc = 1;
    EXPECT_TRUE(directory.FindCrc("check/digits.txt", crc));
    EXPECT_EQ(crc, kCrcOfDigits);
    EXPECT_TRUE(directory.FindCrc("fox.txt", crc));
    EXPECT_EQ(crc, kCrcOfFox);
    EXPECT_TRUE(directory.FindCrc("misc/empty.txt", crc));
    EXPECT_EQ(crc, 0u);
    EXPECT_FALSE(directory.FindCrc("check", crc)) << "a folder is no entry";
    EXPECT_FALSE(directory.FindCrc("missing.txt", crc));
}

TEST(ArchiveDirectoryReading, AHandMadeZipIsReadLikeAnArchiversOne)
{
    XArchiveDirectory directory;
    std::string problem;
    ASSERT_TRUE(ReadDirectory(TwoEntryZip().Build(), directory, problem)) << problem;
    ExpectTwoEntries(directory);
}

TEST(ArchiveDirectoryReading, ACommentAtTheEndIsSkipped)
{
    for (const size_t length : {size_t{1}, size_t{1000}, size_t{65535}}) {
        RawZip zip = TwoEntryZip();
        zip.comment = std::string(length, 'c');
        XArchiveDirectory directory;
        std::string problem;
        ASSERT_TRUE(ReadDirectory(zip.Build(), directory, problem)) << length << ": " << problem;
        ExpectTwoEntries(directory);
    }
}

TEST(ArchiveDirectoryReading, AnEndSignatureInsideTheCommentDoesNotMislead)
{
    // A comment holding a signature whose claimed comment would run past the file is not the end record.
    RawZip zip = TwoEntryZip();
    zip.comment = std::string("PK\x05\x06", 4) + std::string(16, '\x01') + "\xff\xff tail";
    XArchiveDirectory directory;
    std::string problem;
    ASSERT_TRUE(ReadDirectory(zip.Build(), directory, problem)) << problem;
    ExpectTwoEntries(directory);
}

TEST(ArchiveDirectoryReading, ZeroEntriesIsAnEmptyDirectory)
{
    XArchiveDirectory directory;
    std::string problem;
    ASSERT_TRUE(ReadDirectory(RawZip().Build(), directory, problem)) << problem;
    EXPECT_EQ(directory.GetEntryCount(), 0u);

    const std::string path = UniqueFileName("directory-empty", ".pck");
    ASSERT_TRUE(WriteFileBytes(path, RawZip().Build()));
    ASSERT_TRUE(directory.ReadFromFile(path.c_str(), problem)) << problem;
    EXPECT_EQ(directory.GetEntryCount(), 0u);
}

TEST(ArchiveDirectoryReading, DataInFrontOfTheArchiveIsAllowed)
{
    RawZip zip = TwoEntryZip();
    zip.prefix = Text("#!/bin/sh\nexit 0\n");
    XArchiveDirectory directory;
    std::string problem;
    ASSERT_TRUE(ReadDirectory(zip.Build(), directory, problem)) << problem;
    ExpectTwoEntries(directory);
}

TEST(ArchiveDirectoryReading, Zip64EndRecordsAreFollowed)
{
    RawZip zip = TwoEntryZip();
    zip.zip64 = true;
    XArchiveDirectory directory;
    std::string problem;
    ASSERT_TRUE(ReadDirectory(zip.Build(), directory, problem)) << problem;
    ExpectTwoEntries(directory);

    zip.prefix = Text("stub in front");
    ASSERT_TRUE(ReadDirectory(zip.Build(), directory, problem)) << "with data in front: " << problem;
    ExpectTwoEntries(directory);
}

TEST(ArchiveDirectoryReading, BackslashNamesAreLookedUpWithSlashes)
{
    RawZip zip;
    zip.entries.push_back({"scene\\world.msa", Text("123456789"), kCrcOfDigits, 0});
    XArchiveDirectory directory;
    std::string problem;
    ASSERT_TRUE(ReadDirectory(zip.Build(), directory, problem)) << problem;
    uint32_t crc = 0;
    EXPECT_TRUE(directory.FindCrc("scene/world.msa", crc));
    EXPECT_EQ(crc, kCrcOfDigits);
}

TEST(ArchiveDirectoryReading, EntriesThatCannotBeCheckedAreNotRecorded)
{
    RawZip zip = TwoEntryZip();
    zip.entries.push_back({"folder/", Bytes(), 0, 0});
    zip.entries.push_back({"secret.txt", Text("xx"), 0x12345678u, 0x0001u}); // encrypted
    zip.entries.push_back({"twice.txt", Text("a"), 0x11111111u, 0});
    zip.entries.push_back({"twice.txt", Text("b"), 0x22222222u, 0});
    zip.entries.push_back({"same.txt", Text("a"), 0x33333333u, 0});
    zip.entries.push_back({"same.txt", Text("a"), 0x33333333u, 0});
    XArchiveDirectory directory;
    std::string problem;
    ASSERT_TRUE(ReadDirectory(zip.Build(), directory, problem)) << problem;
    uint32_t crc = 0;
    EXPECT_FALSE(directory.FindCrc("folder/", crc));
    EXPECT_FALSE(directory.FindCrc("secret.txt", crc));
    EXPECT_FALSE(directory.FindCrc("twice.txt", crc)) << "which of the two is served is not known";
    EXPECT_TRUE(directory.FindCrc("same.txt", crc));
    EXPECT_EQ(crc, 0x33333333u);
    EXPECT_EQ(directory.GetEntryCount(), 3u);
}

TEST(ArchiveDirectoryReading, ReadingAgainForgetsTheFormerArchive)
{
    XArchiveDirectory directory;
    std::string problem;
    ASSERT_TRUE(ReadDirectory(TwoEntryZip().Build(), directory, problem));
    RawZip other;
    other.entries.push_back({"other.txt", Text(kFox), kCrcOfFox, 0});
    ASSERT_TRUE(ReadDirectory(other.Build(), directory, problem));
    uint32_t crc = 0;
    EXPECT_FALSE(directory.FindCrc("fox.txt", crc));
    EXPECT_TRUE(directory.FindCrc("other.txt", crc));
}

// ---------------------------------------------------------------------------------------------------------
TEST(ArchiveDirectoryRefusal, NotAZipAndEmptyFilesAreRefused)
{
    XArchiveDirectory directory;
    std::string problem;
    EXPECT_FALSE(ReadDirectory(Bytes(), directory, problem));
    EXPECT_EQ(problem, "the file is empty");
    EXPECT_FALSE(ReadDirectory(Text("short"), directory, problem));
    EXPECT_NE(problem.find("not a ZIP"), std::string::npos) << problem;
    EXPECT_FALSE(ReadDirectory(Text(std::string(5000, 'x')), directory, problem));
    EXPECT_NE(problem.find("no ZIP directory"), std::string::npos) << problem;
    EXPECT_FALSE(directory.ReadFromFile("no-such-file.zip", problem));
    EXPECT_NE(problem.find("cannot open the file"), std::string::npos) << problem;
}

TEST(ArchiveDirectoryRefusal, AnArchiveCutAnywhereIsRefusedOrReadOnlyInFull)
{
    // Cut at every length: the end record is gone (refused), or, cut within the comment, it claims a
    // comment the file no longer holds (refused as well). Nothing is ever read past the cut.
    RawZip zip = TwoEntryZip();
    zip.comment = "archive comment";
    const Bytes whole = zip.Build();
    for (size_t kept = 0; kept < whole.size(); ++kept) {
        const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(kept));
        XArchiveDirectory directory;
        std::string problem;
        EXPECT_FALSE(ReadDirectory(cut, directory, problem)) << kept << " of " << whole.size() << " bytes";
        EXPECT_FALSE(problem.empty());
        EXPECT_EQ(directory.GetEntryCount(), 0u);
    }
}

TEST(ArchiveDirectoryRefusal, ADirectoryLargerThanTheFileIsRefused)
{
    RawZip zip = TwoEntryZip();
    zip.claimedSizeDelta = 100000;
    XArchiveDirectory directory;
    std::string problem;
    EXPECT_FALSE(ReadDirectory(zip.Build(), directory, problem));
    EXPECT_NE(problem.find("larger than the file"), std::string::npos) << problem;
}

TEST(ArchiveDirectoryRefusal, ADirectoryWhoseEntriesDoNotFitIsRefused)
{
    // The claimed size cuts the last entry's name short.
    RawZip shortened = TwoEntryZip();
    shortened.claimedSizeDelta = -3;
    XArchiveDirectory directory;
    std::string problem;
    EXPECT_FALSE(ReadDirectory(shortened.Build(), directory, problem));
    EXPECT_FALSE(problem.empty());
    EXPECT_EQ(directory.GetEntryCount(), 0u) << "nothing half-read is kept";

    // More entries claimed than the directory holds (a long name keeps the count plausible for its size).
    RawZip overcounted = TwoEntryZip();
    overcounted.entries.push_back({std::string(50, 'n'), Text("123456789"), kCrcOfDigits, 0});
    overcounted.claimedEntryDelta = 1;
    EXPECT_FALSE(ReadDirectory(overcounted.Build(), directory, problem));
    EXPECT_NE(problem.find("entry 4 of 4"), std::string::npos) << problem;

    // A count no directory of that size can hold is refused before any entry is read.
    RawZip absurd = TwoEntryZip();
    absurd.claimedEntryDelta = 60000;
    EXPECT_FALSE(ReadDirectory(absurd.Build(), directory, problem));
    EXPECT_NE(problem.find("claims 60002 entries"), std::string::npos) << problem;
}

TEST(ArchiveDirectoryRefusal, ABrokenZip64LocatorIsRefused)
{
    RawZip zip = TwoEntryZip();
    zip.zip64 = true;
    Bytes bytes = zip.Build();
    // The locator's signature sits 20 bytes before the 22-byte end record.
    bytes[bytes.size() - 22 - 20] ^= 0xffu;
    XArchiveDirectory directory;
    std::string problem;
    EXPECT_FALSE(ReadDirectory(bytes, directory, problem));
    EXPECT_NE(problem.find("ZIP64"), std::string::npos) << problem;
}

// ---------------------------------------------------------------------------------------------------------
TEST(ArchiveEntryChecksum, AStoredEntryWithAlteredBytesIsRefusedAsDamaged)
{
    RawZip zip = TwoEntryZip();
    zip.entries[1].bytes[4] = 'Q'; // "The Quick ...": same length, other checksum
    const std::string path = UniqueFileName("damaged-stored", ".pck");
    ASSERT_TRUE(WriteFileBytes(path, zip.Build()));
    ASSERT_TRUE(QXInitialize());
    testing::internal::CaptureStderr();
    ASSERT_TRUE(QXSetArchive(path.c_str(), ""));
    EXPECT_TRUE(QXOpenResource("check\\digits.txt")) << "the intact entry reads";
    EXPECT_FALSE(QXOpenResource("fox.txt"));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(QXGetData(), nullptr);
    EXPECT_EQ(QXGetSize(), 0u);
    EXPECT_EQ(errors, "Archive entry fox.txt could not be read: damaged data (CRC mismatch)\n");
}

TEST(ArchiveEntryChecksum, ADamagedPictureIsRefusedBeforeDecoding)
{
    const Bytes picture = EncodeBmp(2, 2, Bytes(12, 90));
    const std::string name = "misc/tile.bmp";
    RawZip zip;
    zip.entries.push_back({name, picture, XArchiveDirectory::Crc32(picture.data(), picture.size()), 0});
    Bytes bytes = zip.Build();
    // The stored picture's last byte, just before the directory entry and the end record: the bitmap still
    // decodes, only the checksum tells.
    const size_t pixelAt = bytes.size() - 22 - (46 + name.size()) - 1;
    bytes[pixelAt] ^= 0x40u;
    const std::string path = UniqueFileName("damaged-picture", ".pck");
    ASSERT_TRUE(WriteFileBytes(path, bytes));
    ASSERT_TRUE(QXInitialize());
    ASSERT_TRUE(QXSetArchive(path.c_str(), ""));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(QXOpenPicture("misc\\tile.bmp", true));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(QXPictureGetData(), nullptr);
    EXPECT_EQ(errors, "Archive entry misc\\tile.bmp could not be read: damaged data (CRC mismatch)\n");
}

TEST(ArchiveEntryChecksum, AnOverlayFileOfTheSameNameIsNotComparedWithTheArchive)
{
    // The overlay stays in front for the rest of this process: its one file has a name no other test uses.
    RawZip zip;
    zip.entries.push_back({"overlaid-fox.txt", Text(kFox), kCrcOfFox, 0});
    const std::string path = UniqueFileName("overlaid", ".pck");
    ASSERT_TRUE(WriteFileBytes(path, zip.Build()));
    const std::filesystem::path overlay = std::filesystem::absolute("overlay-" + path);
    std::filesystem::create_directories(overlay);
    ASSERT_TRUE(WriteFileBytes((overlay / "overlaid-fox.txt").string(), Text("a fresher fox")));
    ASSERT_TRUE(QXInitialize());
    ASSERT_TRUE(QXSetOverlay(overlay.c_str()));
    ASSERT_TRUE(QXSetArchive(path.c_str(), ""));
    ASSERT_TRUE(QXOpenResource("overlaid-fox.txt"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(QXGetData()), QXGetSize()), "a fresher fox");
}

// ---------------------------------------------------------------------------------------------------------
namespace {

// The process's peak resident memory so far, in KiB (VmHWM), or -1 when /proc cannot tell.
long PeakResidentKiB()
{
    const std::string status = ReadWholeFile("/proc/self/status");
    const size_t at = status.find("VmHWM:");
    return at == std::string::npos ? -1 : std::stol(status.substr(at + 6));
}

} // namespace

TEST(ArchiveEntryLength, AnEntryClaimingGigabytesFromTwoBytesIsRefusedWithoutAllocatingThem)
{
    // An empty deflate stream (final stored-fixed block, no symbols) claiming 2 GB once inflated.
    RawZip zip;
    zip.entries.push_back({"huge.bin", Bytes{0x03, 0x00}, 0, 0, 8, 2000000000u});
    const std::string path = UniqueFileName("claims-gigabytes", ".pck");
    ASSERT_TRUE(WriteFileBytes(path, zip.Build()));
    ASSERT_TRUE(QXInitialize());
    ASSERT_TRUE(QXSetArchive(path.c_str(), ""));
    const long peakBefore = PeakResidentKiB();
    ASSERT_GT(peakBefore, 0);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(QXOpenResource("huge.bin"));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(QXGetData(), nullptr);
    EXPECT_EQ(errors.rfind("Archive entry huge.bin could not be read: ", 0), 0u) << errors;
    EXPECT_LT(PeakResidentKiB() - peakBefore, 200L * 1024L) << "memory follows the bytes that arrive";
}
