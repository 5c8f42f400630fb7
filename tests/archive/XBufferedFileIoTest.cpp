// Tests of the buffered stream the archive is mounted through: what PhysicsFS reads through it must be the
// file's bytes, whatever mix of small reads, large reads, seeks and duplicates gets there.
#include "scene/XBufferedFileIo.h"

#include "support/FileContents.h"

#include <gtest/gtest.h>

#include <cstdint> // uint64_t

namespace {

// 40,000 bytes that differ from their neighbours, across two and a half buffers.
Bytes Pattern()
{
    Bytes bytes(40000);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<unsigned char>(i * 131 + i / 256);
    }
    return bytes;
}

// Reads `length` bytes and checks them against the pattern at the stream's position.
void ExpectReads(PHYSFS_Io* io, const Bytes& pattern, uint64_t length, uint64_t expectedCount)
{
    const uint64_t from = static_cast<uint64_t>(io->tell(io));
    Bytes read(length + 1, 0xEE);
    ASSERT_EQ(io->read(io, read.data(), length), static_cast<PHYSFS_sint64>(expectedCount)) << "at " << from;
    for (uint64_t i = 0; i < expectedCount; ++i) {
        ASSERT_EQ(read[i], pattern[from + i]) << "byte " << from + i;
    }
    EXPECT_EQ(read[expectedCount], 0xEE) << "nothing written past the bytes read";
    EXPECT_EQ(io->tell(io), static_cast<PHYSFS_sint64>(from + expectedCount));
}

// The pattern written to a file of that name, opened as a stream; null when either fails.
PHYSFS_Io* OpenPatternFile(const char* name, const Bytes& pattern)
{
    PHYSFS_ErrorCode error = PHYSFS_ERR_OK;
    return WriteFileBytes(name, pattern) ? OpenBufferedFileIo(name, error) : nullptr;
}

} // namespace

TEST(BufferedFileIo, SmallAndLargeReadsAndSeeksGiveTheFileBytes)
{
    const Bytes pattern = Pattern();
    PHYSFS_Io* const io = OpenPatternFile("pattern.bin", pattern);
    ASSERT_NE(io, nullptr);
    EXPECT_EQ(io->length(io), 40000);

    ExpectReads(io, pattern, 4, 4);         // fills the buffer
    ExpectReads(io, pattern, 16380, 16380); // to the buffer's end exactly
    ExpectReads(io, pattern, 20000, 20000); // straight from the file
    ExpectReads(io, pattern, 3, 3);         // a buffer again, to the file's end
    ASSERT_NE(io->seek(io, 16383), 0);      // back into a buffer no longer held
    ExpectReads(io, pattern, 2, 2);
    ASSERT_NE(io->seek(io, 39990), 0);
    ExpectReads(io, pattern, 100, 10); // short at the end of the file
    ExpectReads(io, pattern, 5, 0);    // then nothing
    EXPECT_NE(io->seek(io, 40000), 0) << "the end itself is a position";
    EXPECT_EQ(io->seek(io, 40001), 0) << "past the end is not";
    EXPECT_EQ(io->write(io, pattern.data(), 1), -1) << "read-only";
    io->destroy(io);
}

TEST(BufferedFileIo, ADuplicateStartsWhereTheOriginalIsAndMovesOnItsOwn)
{
    const Bytes pattern = Pattern();
    PHYSFS_Io* const io = OpenPatternFile("shared.bin", pattern);
    ASSERT_NE(io, nullptr);
    ExpectReads(io, pattern, 1000, 1000);
    PHYSFS_Io* const copy = io->duplicate(io);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->tell(copy), 1000);
    ASSERT_NE(copy->seek(copy, 30000), 0);
    ExpectReads(copy, pattern, 500, 500);
    ExpectReads(io, pattern, 500, 500); // the original is still at 1000
    io->destroy(io);                     // the copy keeps the file open
    ExpectReads(copy, pattern, 9500, 9500);
    copy->destroy(copy);
}

TEST(BufferedFileIo, AFileThatCannotBeOpenedSaysWhy)
{
    PHYSFS_ErrorCode error = PHYSFS_ERR_OK;
    EXPECT_EQ(OpenBufferedFileIo("no-such-file.pck", error), nullptr);
    EXPECT_EQ(error, PHYSFS_ERR_NOT_FOUND);
    error = PHYSFS_ERR_OK;
    EXPECT_EQ(OpenBufferedFileIo("no-such-folder/data.pck", error), nullptr);
    EXPECT_EQ(error, PHYSFS_ERR_NOT_FOUND);
}
