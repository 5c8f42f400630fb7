// The level's settings file: the spawn is read from its line among comments and unknown keys, and a spawn line
// that is not three numbers is refused with its line, leaving what was there before.
#include "scene/XLevelInfo.h"

#include <gtest/gtest.h>

#include <cstring> // strlen

namespace {

bool Parse(XLevelInfo& info, const char* text, std::string& problem)
{
    return info.Parse(text, std::strlen(text), problem);
}

} // namespace

TEST(LevelInfo, TheSpawnIsReadAmongCommentsAndKeysOfLaterVersions)
{
    XLevelInfo info;
    std::string problem;
    ASSERT_TRUE(Parse(info, "# Far room\n\nmusic loud\nspawn 40 -0.5 -30.25\n", problem)) << problem;
    EXPECT_EQ(info.spawn.x, 40.0f);
    EXPECT_EQ(info.spawn.y, -0.5f);
    EXPECT_EQ(info.spawn.z, -30.25f);
    ASSERT_TRUE(Parse(info, "", problem));
    EXPECT_EQ(info.spawn.x, 0.0f) << "a file without a spawn starts at the origin";
}

TEST(LevelInfo, ASpawnThatIsNotThreeNumbersIsRefusedWithItsLine)
{
    for (const char* text :
         {"# x\nspawn 1 2\n", "# x\nspawn 1 2 z\n", "# x\nspawn 1 2 3 4\n", "# x\nspawn 1 2 nan\n"}) {
        XLevelInfo info;
        info.spawn = XVector3(7.0f, 8.0f, 9.0f);
        std::string problem;
        EXPECT_FALSE(Parse(info, text, problem)) << text;
        EXPECT_NE(problem.find("line 2"), std::string::npos) << problem;
        EXPECT_EQ(info.spawn.x, 7.0f) << text;
    }
}
