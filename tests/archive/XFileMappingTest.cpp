// Tests of the read-only file mapping.
#include "scene/XFileMapping.h"

#include "support/FileContents.h"
#include "support/TestArchive.h"

#include <gtest/gtest.h>

#include <cstring>    // std::memcmp
#include <sys/stat.h> // mkdir

TEST(FileMapping, MapsTheWholeFile)
{
    Bytes bytes(10000);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<unsigned char>(i * 31 + 7);
    }
    ASSERT_TRUE(WriteFileBytes("mapped.bin", bytes));
    XFileMapping mapping;
    const unsigned char* const data = mapping.Open("mapped.bin");
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(mapping.IsOpen());
    EXPECT_EQ(mapping.GetData(), data);
    ASSERT_EQ(mapping.GetSize(), bytes.size());
    EXPECT_EQ(std::memcmp(data, bytes.data(), bytes.size()), 0);
}

TEST(FileMapping, OpenWhileOpenReturnsNullAndKeepsTheFirstFile)
{
    ASSERT_TRUE(WriteFileBytes("first.bin", Bytes{1, 2, 3}));
    ASSERT_TRUE(WriteFileBytes("second.bin", Bytes{9, 9}));
    XFileMapping mapping;
    ASSERT_NE(mapping.Open("first.bin"), nullptr);
    EXPECT_EQ(mapping.Open("second.bin"), nullptr);
    ASSERT_EQ(mapping.GetSize(), 3u);
    EXPECT_EQ(mapping.GetData()[2], 3);
    mapping.Close();
    ASSERT_NE(mapping.Open("second.bin"), nullptr);
    EXPECT_EQ(mapping.GetSize(), 2u);
}

TEST(FileMapping, MissingFileAndFolderCannotBeOpened)
{
    XFileMapping mapping;
    EXPECT_EQ(mapping.Open("does-not-exist.bin"), nullptr);
    EXPECT_FALSE(mapping.IsOpen());
    ::mkdir("a-folder", 0755);
    EXPECT_EQ(mapping.Open("a-folder"), nullptr);
    EXPECT_FALSE(mapping.IsOpen());
    EXPECT_EQ(mapping.Open(nullptr), nullptr);
    EXPECT_EQ(mapping.GetData(), nullptr);
    EXPECT_EQ(mapping.GetSize(), 0u);
}

TEST(FileMapping, EmptyFileOpensWithSizeZero)
{
    ASSERT_TRUE(WriteFileBytes("empty.bin", Bytes()));
    XFileMapping mapping;
    EXPECT_NE(mapping.Open("empty.bin"), nullptr);
    EXPECT_TRUE(mapping.IsOpen());
    EXPECT_EQ(mapping.GetSize(), 0u);
    mapping.Close();
    EXPECT_FALSE(mapping.IsOpen());
}

TEST(FileMapping, CloseIsHarmlessWhenNothingIsOpen)
{
    XFileMapping mapping;
    mapping.Close();
    ASSERT_TRUE(WriteFileBytes("close.bin", Bytes{5}));
    ASSERT_NE(mapping.Open("close.bin"), nullptr);
    mapping.Close();
    mapping.Close();
    EXPECT_EQ(mapping.GetData(), nullptr);
    EXPECT_EQ(mapping.GetSize(), 0u);
}
