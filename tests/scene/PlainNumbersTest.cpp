// PlainNumbers: whatever it reads, sscanf reads the same, bit for bit; the level compiler's lines are read here.
#include "scene/PlainNumbers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Lines of every kind: the compiler's, and forms only sscanf reads or that nobody reads.
const std::vector<std::string> kFloatLines = {
    "29.00000 0.00000 -75.00000", "0.1162109 0.0146484 7", "  -0.0 12 3.5\r", "1 2 3 trailing words",
    "0.1 0.2 0.30000001192092896", "340282356779733661637539395458142568448 1 1", "+1.0 2 3", "1e3 2 3", "1. 2 3",
    ".5 2 3", "0x1p3 2 3", "inf 2 3", "nan 2 3", "1.0,2.0,3.0", "1.0 2.0", "", "- 1 2", "1.5e 2 3", "1 2 3e",
    "0.000000000000000000000000000000000000000000001 1 1", "123456789012345678901234567890.123456789 1 1",
};

const std::vector<std::string> kCornerLines = {
    "0/0/0/0 1/1/1/1 2/2/2/2", " 12/4/4/9\t13/5/5/9  14/6/6/9\r", "-1/0/0/0 1/1/1/1 2/2/2/2",
    "0/0/0/0 1/1/1/1 2/2/2/2 and more", "+1/0/0/0 1/1/1/1 2/2/2/2", "0/ 0/0/0 1/1/1/1 2/2/2/2", "0/0/0/0 1/1/1/1",
    "0/0/0/0/1/1/1/1/2/2/2/2", "99999999999999999999/0/0/0 1/1/1/1 2/2/2/2", "a/0/0/0 1/1/1/1 2/2/2/2", "",
};

bool SameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof(float)) == 0;
}

} // namespace

TEST(PlainNumbers, FloatsReadAreWhatSscanfReads)
{
    int read = 0;
    for (const std::string& line : kFloatLines) {
        for (int count = 1; count <= 3; ++count) {
            float plain[3] = {};
            if (!ReadPlainFloats(line.c_str(), count, plain)) {
                continue;
            }
            ++read;
            float scanned[3] = {};
            const char* const patterns[3] = {"%f", "%f %f", "%f %f %f"};
            ASSERT_EQ(std::sscanf(line.c_str(), patterns[count - 1], &scanned[0], &scanned[1], &scanned[2]), count)
                << line;
            for (int i = 0; i < count; ++i) {
                EXPECT_TRUE(SameBits(plain[i], scanned[i])) << line << " number " << i;
            }
        }
    }
    EXPECT_GE(read, 15) << "the plain lines must be read here, not all left to sscanf";
}

TEST(PlainNumbers, TheCompilersLinesAreReadAndOtherFormsLeftToSscanf)
{
    float values[3] = {};
    EXPECT_TRUE(ReadPlainFloats("29.00000 0.00000 -75.00000", 3, values));
    EXPECT_FALSE(ReadPlainFloats("1e3 2 3", 3, values));
    EXPECT_FALSE(ReadPlainFloats("1.0 2.0", 3, values));
    long corners[12] = {};
    EXPECT_TRUE(ReadPlainCorners("0/0/0/0 1/1/1/1 2/2/2/2", corners));
    EXPECT_FALSE(ReadPlainCorners("+1/0/0/0 1/1/1/1 2/2/2/2", corners));
    EXPECT_FALSE(ReadPlainCorners("99999999999999999999/0/0/0 1/1/1/1 2/2/2/2", corners));
}

TEST(PlainNumbers, CornersReadAreWhatSscanfReads)
{
    for (const std::string& line : kCornerLines) {
        long plain[12] = {};
        if (!ReadPlainCorners(line.c_str(), plain)) {
            continue;
        }
        long v[12] = {};
        ASSERT_EQ(std::sscanf(line.c_str(), "%ld/%ld/%ld/%ld %ld/%ld/%ld/%ld %ld/%ld/%ld/%ld", &v[0], &v[1], &v[2], &v[3],
                              &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10], &v[11]),
                  12)
            << line;
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(plain[i], v[i]) << line << " number " << i;
        }
    }
}
