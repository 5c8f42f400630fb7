// Tests of XTextReader: line splitting over unterminated bytes.
#include "scene/XTextReader.h"

#include <gtest/gtest.h>

#include <cstring> // std::memcpy
#include <memory>  // std::unique_ptr
#include <string>

namespace {

// The text in a heap block of exactly its length, so that AddressSanitizer sees any read past its end.
std::unique_ptr<unsigned char[]> ExactCopy(const std::string& text)
{
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[text.size()]);
    std::memcpy(bytes.get(), text.data(), text.size());
    return bytes;
}

} // namespace

TEST(TextReaderLines, SplitsAtNewlinesAndKeepsCarriageReturns)
{
    const std::string text = "one\r\ntwo\nthree";
    const std::unique_ptr<unsigned char[]> bytes = ExactCopy(text);
    XTextReader reader;
    reader.Attach(bytes.get(), static_cast<uint32_t>(text.size()));
    char line[32] = {};
    ASSERT_TRUE(reader.ReadLine(line, sizeof(line)));
    EXPECT_STREQ(line, "one\r");
    ASSERT_TRUE(reader.ReadLine(line, sizeof(line)));
    EXPECT_STREQ(line, "two");
    EXPECT_FALSE(reader.AtEnd());
    ASSERT_TRUE(reader.ReadLine(line, sizeof(line)));
    EXPECT_STREQ(line, "three");
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.GetLineNumber(), 3);
}

TEST(TextReaderLines, TrailingNewlineGivesOneMoreEmptyLineThenTheEnd)
{
    const std::string text = "a\n";
    const std::unique_ptr<unsigned char[]> bytes = ExactCopy(text);
    XTextReader reader;
    reader.Attach(bytes.get(), static_cast<uint32_t>(text.size()));
    char line[8] = {};
    ASSERT_TRUE(reader.ReadLine(line, sizeof(line)));
    EXPECT_STREQ(line, "a");
    ASSERT_TRUE(reader.ReadLine(line, sizeof(line)));
    EXPECT_STREQ(line, "");
    EXPECT_TRUE(reader.AtEnd());
    line[0] = 'x';
    EXPECT_FALSE(reader.ReadLine(line, sizeof(line)));
    EXPECT_EQ(line[0], 'x') << "a failed read leaves the buffer untouched";
}

TEST(TextReaderLines, EmptyDataIsOneEmptyLine)
{
    XTextReader reader;
    reader.Attach(nullptr, 0);
    char line[8] = "x";
    EXPECT_TRUE(reader.ReadLine(line, sizeof(line)));
    EXPECT_STREQ(line, "");
    EXPECT_FALSE(reader.ReadLine(line, sizeof(line)));
}

TEST(TextReaderLines, LongLinesAreCutAndTheirRestPassedOver)
{
    const std::string text = "abcdefghij\nnext";
    const std::unique_ptr<unsigned char[]> bytes = ExactCopy(text);
    XTextReader reader;
    reader.Attach(bytes.get(), static_cast<uint32_t>(text.size()));
    char line[5] = {};
    ASSERT_TRUE(reader.ReadLine(line, sizeof(line)));
    EXPECT_STREQ(line, "abcd");
    EXPECT_TRUE(reader.LastLineCut());
    ASSERT_TRUE(reader.ReadLine(line, sizeof(line)));
    EXPECT_STREQ(line, "next");
    EXPECT_FALSE(reader.LastLineCut());
}

TEST(TextReaderLines, RewindStartsAgainFromTheFirstLine)
{
    const std::string text = "first\nsecond";
    const std::unique_ptr<unsigned char[]> bytes = ExactCopy(text);
    XTextReader reader;
    reader.Attach(bytes.get(), static_cast<uint32_t>(text.size()));
    char line[16] = {};
    while (reader.ReadLine(line, sizeof(line))) {
    }
    reader.Rewind();
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.GetLineNumber(), 0);
    ASSERT_TRUE(reader.ReadLine(line, sizeof(line)));
    EXPECT_STREQ(line, "first");
}

TEST(TextReaderLines, ZeroBytesInsideALineEndTheString)
{
    const std::string text = std::string("ab\0cd\nef", 8);
    const std::unique_ptr<unsigned char[]> bytes = ExactCopy(text);
    XTextReader reader;
    reader.Attach(bytes.get(), static_cast<uint32_t>(text.size()));
    char line[16] = {};
    ASSERT_TRUE(reader.ReadLine(line, sizeof(line)));
    EXPECT_STREQ(line, "ab");
    EXPECT_EQ(reader.LastLineLength(), 5u) << "the bytes after the zero byte were copied too";
    ASSERT_TRUE(reader.ReadLine(line, sizeof(line)));
    EXPECT_STREQ(line, "ef");
    EXPECT_EQ(reader.LastLineLength(), 2u);
}

TEST(TextReaderLines, RestIsBlankLooksPastTheLastLineHandedOut)
{
    const std::string text = "a\n \r\n\t\nb\n\n";
    const std::unique_ptr<unsigned char[]> bytes = ExactCopy(text);
    XTextReader reader;
    reader.Attach(bytes.get(), static_cast<uint32_t>(text.size()));
    char line[16] = {};
    ASSERT_TRUE(reader.ReadLine(line, sizeof(line)));
    EXPECT_FALSE(reader.RestIsBlank()) << "\"b\" is still to come";
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(reader.ReadLine(line, sizeof(line)));
    }
    EXPECT_STREQ(line, "b");
    EXPECT_TRUE(reader.RestIsBlank());
}
