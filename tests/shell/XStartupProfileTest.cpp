// XStartupProfile: the phases listed once each, in order, with the parts measured elsewhere as given.
#include "shell/XStartupProfile.h"
#include "support/FileContents.h"

#include <gtest/gtest.h>

#include <string>

TEST(StartupProfile, ListsEachPhaseOnceInOrderWithTheGivenParts)
{
    XStartupProfile profile;
    profile.Begin();
    profile.End("window");
    profile.Add("textures", 212.4);
    profile.End("scene file");
    profile.End("loading screens");
    profile.End("scene file");
    const std::string line = profile.Line();

    EXPECT_EQ(line.rfind("Start-up: window ", 0), 0u) << line;
    EXPECT_NE(line.find(", textures 212 ms, scene file "), std::string::npos) << line;
    EXPECT_EQ(CountOf(line, "scene file"), 1u) << "a phase named again adds to its entry: " << line;
    EXPECT_LT(line.find("scene file"), line.find("loading screens")) << line;
    EXPECT_NE(line.find(" from the program entry to the end of the first game frame"), std::string::npos) << line;
    EXPECT_GE(profile.Total(), 0.0);
}

TEST(StartupProfile, BeginStartsAnew)
{
    XStartupProfile profile;
    profile.Begin();
    profile.Add("octrees", 1.0);
    profile.End("meshes");
    profile.Begin();
    profile.End("window");
    EXPECT_EQ(profile.Line().find("octrees"), std::string::npos) << profile.Line();
}
