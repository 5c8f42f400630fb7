// Command line: accepted forms, defaults, and the clear errors for everything else.
#include "shell/XOptions.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

XOptionsResult Parse(std::initializer_list<const char*> arguments)
{
    std::vector<const char*> argv = {"korvath"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return ParseOptions(static_cast<int>(argv.size()), argv.data());
}

} // namespace

TEST(OptionsDefaults, NoOptionsRunTheDemoAsShipped)
{
    const XOptionsResult result = Parse({});
    ASSERT_EQ(result.action, XOptionsAction::Run);
    EXPECT_EQ(result.options.archive, "data.pck");
    EXPECT_EQ(result.options.mode, 1);
    EXPECT_FALSE(result.options.fullscreen);
    EXPECT_EQ(result.options.frames, 0);
    EXPECT_EQ(result.options.fixedStep, 0.0);
    EXPECT_FALSE(result.options.noDialogs);
    EXPECT_FALSE(result.options.headless);
}

TEST(OptionsValues, EveryOptionIsTakenWithSeparateOrInlineValues)
{
    const XOptionsResult result = Parse({"--archive", "other.pck", "--mode=0", "--fullscreen", "--frames", "12",
                                         "--fixed-step", "16.5", "--script", "walk.txt", "--screenshot", "2:a.png",
                                         "--screenshot=7:dir/b:c.png", "--loading-shots", "shots", "--no-dialogs"});
    ASSERT_EQ(result.action, XOptionsAction::Run) << result.error;
    EXPECT_EQ(result.options.archive, "other.pck");
    EXPECT_EQ(result.options.mode, 0);
    EXPECT_TRUE(result.options.fullscreen);
    EXPECT_EQ(result.options.frames, 12);
    EXPECT_DOUBLE_EQ(result.options.fixedStep, 16.5);
    EXPECT_EQ(result.options.scriptPath, "walk.txt");
    ASSERT_EQ(result.options.screenshots.size(), 2u);
    EXPECT_EQ(result.options.screenshots[0].first, 2);
    EXPECT_EQ(result.options.screenshots[0].second, "a.png");
    EXPECT_EQ(result.options.screenshots[1].first, 7);
    EXPECT_EQ(result.options.screenshots[1].second, "dir/b:c.png");
    EXPECT_EQ(result.options.loadingShotsDir, "shots");
    EXPECT_TRUE(result.options.noDialogs);
}

TEST(OptionsValues, HeadlessImpliesNoDialogs)
{
    const XOptionsResult result = Parse({"--headless"});
    ASSERT_EQ(result.action, XOptionsAction::Run);
    EXPECT_TRUE(result.options.headless);
    EXPECT_TRUE(result.options.noDialogs);
}

TEST(OptionsValues, ModeTakesASizeAndSettingsOptionsCollectInOrder)
{
    const XOptionsResult result =
        Parse({"--mode", "1280x720", "--config", "my.ini", "--set", "fullscreen=desktop", "--set=bind.fly=G, Pad Y"});
    ASSERT_EQ(result.action, XOptionsAction::Run) << result.error;
    EXPECT_TRUE(result.options.modeGiven);
    EXPECT_EQ(result.options.modeSize.x, 1280);
    EXPECT_EQ(result.options.modeSize.y, 720);
    EXPECT_EQ(result.options.configPath, "my.ini");
    EXPECT_EQ(result.options.settingOverrides, (std::vector<std::string>{"fullscreen=desktop", "bind.fly=G, Pad Y"}));
    EXPECT_FALSE(IsAutomatedRun(result.options)) << "settings alone leave it a player's run";

    const XOptionsResult numbered = Parse({"--mode", "1280x720", "--mode", "2"});
    EXPECT_EQ(numbered.options.mode, 2);
    EXPECT_EQ(numbered.options.modeSize.x, 0) << "the last --mode counts";
    EXPECT_FALSE(Parse({}).options.modeGiven);
}

TEST(OptionsValues, EveryAutomationOptionMakesTheRunAutomated)
{
    for (const std::vector<const char*>& arguments :
         {std::vector<const char*>{"--frames", "3"}, {"--fixed-step", "10"}, {"--script", "s.txt"},
          {"--timedemo", "d.demo"}, {"--screenshot", "2:a.png"}, {"--loading-shots", "dir"}, {"--trace", "t.jsonl"},
          {"--dump-scene", "s.json"}, {"--headless"}}) {
        std::vector<const char*> argv = {"korvath"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        const XOptionsResult result = ParseOptions(static_cast<int>(argv.size()), argv.data());
        EXPECT_TRUE(IsAutomatedRun(result.options)) << arguments[0];
    }
    EXPECT_FALSE(IsAutomatedRun(Parse({"--record", "my.demo", "--mode", "2"}).options));
}

TEST(OptionsErrors, BadValuesAreNamed)
{
    struct Case {
        std::vector<const char*> arguments;
        const char* mentions;
    };
    const std::vector<Case> cases = {
        {{"--mode", "abc"}, "'abc'"},
        {{"--mode", "1.5"}, "--mode"},
        {{"--mode"}, "--mode expects a value"},
        {{"--mode", "1280x"}, "'1280x'"},
        {{"--mode", "99999x720"}, "WIDTHxHEIGHT"},
        {{"--set", "mouse_sensitivity"}, "KEY=VALUE"},
        {{"--set", "=2"}, "KEY=VALUE"},
        {{"--config", ""}, "--config"},
        {{"--frames", "0"}, "--frames"},
        {{"--frames", "-3"}, "'-3'"},
        {{"--frames", "99999999999999"}, "--frames"},
        {{"--fixed-step", "0"}, "--fixed-step"},
        {{"--fixed-step", "nan"}, "'nan'"},
        {{"--fixed-step", "10ms"}, "'10ms'"},
        {{"--screenshot", "a.png"}, "FRAME:FILE"},
        {{"--screenshot", "0:a.png"}, "--screenshot"},
        {{"--screenshot", "3:"}, "--screenshot"},
        {{"--archive", ""}, "--archive"},
        {{"--no-dialogs=yes"}, "takes no value"},
        {{"--speed", "2"}, "unknown option '--speed'"},
        {{"frames"}, "unknown option 'frames'"},
        {{"--watch"}, "--level"},
        {{"--watch", "--map", "citadel"}, "--level"},
    };
    for (const Case& c : cases) {
        std::vector<const char*> argv = {"korvath"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const XOptionsResult result = ParseOptions(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(result.action, XOptionsAction::Error) << c.arguments[0];
        EXPECT_NE(result.error.find(c.mentions), std::string::npos)
            << "error '" << result.error << "' should mention " << c.mentions;
    }
}

TEST(OptionsValues, WatchGoesWithALevelInEitherOrder)
{
    EXPECT_TRUE(Parse({"--watch", "--level", "my.level"}).options.watch);
    EXPECT_TRUE(Parse({"--level", "my.level", "--watch"}).options.watch);
    EXPECT_FALSE(Parse({"--level", "my.level"}).options.watch);
}

TEST(OptionsHelp, HelpAndVersionAreRecognisedAndHelpListsEveryOption)
{
    EXPECT_EQ(Parse({"--help"}).action, XOptionsAction::Help);
    EXPECT_EQ(Parse({"--frames", "3", "--version"}).action, XOptionsAction::Version);
    const std::string help = OptionsHelpText();
    for (const char* option : {"--archive", "--mode", "--fullscreen", "--frames", "--fixed-step", "--script",
                               "--screenshot", "--loading-shots", "--no-dialogs", "--headless", "--help",
                               "--version", "--watch"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
}
