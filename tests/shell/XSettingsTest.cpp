// Settings file: the defaults' file reads back as the defaults, bad lines are warnings that name the file, the
// line and the key and keep the default, and --set style assignments are checked the same way.
#include "shell/XSettings.h"

#include "shell/WindowMessages.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool Contains(const std::vector<std::string>& lines, const std::string& part)
{
    for (const std::string& line : lines) {
        if (line.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(SettingsFile, TheDefaultsFileIsWrittenWithItsFoldersAndReadsBackAsTheDefaults)
{
    ScratchDirectory directory;
    const std::string path = (directory.Path() / "config/korvath/settings.ini").string();
    ASSERT_TRUE(WriteDefaultSettings(path));

    XSettings read;
    read.mouseSensitivity = 3.0; // every key is in the file, so every value comes back to its default
    read.fieldOfView = 90.0f;
    read.windowSize = {1280, 720};
    std::string problem;
    ASSERT_TRUE(read.bindings.Bind(XAction::Fly, "G", problem));
    std::vector<std::string> warnings;
    ASSERT_TRUE(ReadSettingsFile(path, read, warnings));
    EXPECT_TRUE(warnings.empty()) << warnings.front();

    const XSettings defaults;
    EXPECT_EQ(read.mouseSensitivity, 1.0);
    EXPECT_FALSE(read.invertLook);
    EXPECT_EQ(read.fieldOfView, 60.0f);
    EXPECT_EQ(read.windowSize.x, 800);
    EXPECT_EQ(read.windowSize.y, 600);
    EXPECT_EQ(read.fullscreen, XFullscreenMode::Off);
    EXPECT_FALSE(read.verticalSync);
    EXPECT_EQ(read.masterVolume, 100);
    for (int i = 0; i < kActionCount; ++i) {
        const XAction action = static_cast<XAction>(i);
        EXPECT_EQ(read.bindings.InputsOf(action), defaults.bindings.InputsOf(action)) << ActionName(action);
    }
}

TEST(SettingsFile, BadLinesAreWarningsNamingFileLineAndKeyAndTheKeyKeepsItsDefault)
{
    ScratchDirectory directory;
    const std::string path = directory.Write("settings.ini",
                                             "# comment\n"
                                             "mouse_sensitivity = 2\n"
                                             "mouse_sensitivity = fast\n"
                                             "field_of_view = 90\n"
                                             "window_size = 1280 by 720\n"
                                             "bind.fly = G, Nope\n"
                                             "volume_of_everything = 3\n"
                                             "just words\n"
                                             "invert_look = yes\n")
                                 .string();
    XSettings settings;
    std::vector<std::string> warnings;
    ASSERT_TRUE(ReadSettingsFile(path, settings, warnings));
    ASSERT_EQ(warnings.size(), 5u);
    EXPECT_TRUE(Contains(warnings, path + ":3: key 'mouse_sensitivity': 'fast'"));
    EXPECT_TRUE(Contains(warnings, path + ":5: key 'window_size'"));
    EXPECT_TRUE(Contains(warnings, path + ":6: key 'bind.fly': unknown key or button 'Nope'"));
    EXPECT_TRUE(Contains(warnings, path + ":7: unknown key 'volume_of_everything'"));
    EXPECT_TRUE(Contains(warnings, path + ":8: expected 'key = value'"));

    EXPECT_EQ(settings.mouseSensitivity, 1.0) << "a bad line puts its key back to the default";
    EXPECT_EQ(settings.fieldOfView, 90.0f);
    EXPECT_EQ(settings.windowSize.x, 800);
    EXPECT_EQ(settings.bindings.ActionOf('F'), XAction::Fly);
    EXPECT_EQ(settings.bindings.ActionOf('G'), XAction::Count);
    EXPECT_TRUE(settings.invertLook) << "the lines after the bad ones still count";
}

TEST(SettingsFile, AMissingFileIsReportedAndLeavesTheDefaults)
{
    ScratchDirectory directory;
    XSettings settings;
    std::vector<std::string> warnings;
    EXPECT_FALSE(ReadSettingsFile((directory.Path() / "none.ini").string(), settings, warnings));
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("none.ini"), std::string::npos);
    EXPECT_FALSE(ReadSettingsFile(directory.Path().string(), settings, warnings)) << "a folder is no file";
}

TEST(SettingsValues, AssignmentsAreCheckedLikeFileLines)
{
    XSettings settings;
    EXPECT_EQ(ApplySetting(settings, "mouse_sensitivity", "0.5"), "");
    EXPECT_EQ(settings.mouseSensitivity, 0.5);
    EXPECT_EQ(ApplySetting(settings, "fullscreen", "desktop"), "");
    EXPECT_EQ(settings.fullscreen, XFullscreenMode::Desktop);
    EXPECT_EQ(ApplySetting(settings, "window_size", "1920x1080"), "");
    EXPECT_EQ(settings.windowSize.x, 1920);
    EXPECT_EQ(settings.windowSize.y, 1080);
    EXPECT_EQ(ApplySetting(settings, "bind.screenshot", "PrintScreen, Mouse X1"), "");
    EXPECT_EQ(settings.bindings.ActionOf(VK_XBUTTON1), XAction::Screenshot);

    EXPECT_EQ(ApplySetting(settings, "no_such_key", "1"), "unknown key");
    EXPECT_NE(ApplySetting(settings, "master_volume", "101"), "");
    EXPECT_NE(ApplySetting(settings, "field_of_view", "nan"), "");
    EXPECT_NE(ApplySetting(settings, "fullscreen", "exclusive"), "");
    EXPECT_NE(ApplySetting(settings, "invert_look", "maybe"), "");
    EXPECT_EQ(settings.masterVolume, 100);
    EXPECT_EQ(settings.fullscreen, XFullscreenMode::Desktop);
}

TEST(SettingsValues, WindowSizesAreWidthByHeightWithinBounds)
{
    XPoint size;
    EXPECT_TRUE(ParseWindowSize("1280x720", size));
    EXPECT_EQ(size.x, 1280);
    EXPECT_EQ(size.y, 720);
    EXPECT_TRUE(ParseWindowSize("3840X2160", size));
    EXPECT_EQ(size.x, 3840);
    for (const char* bad : {"", "x", "1280x", "x720", "1280x720x2", "-1280x720", "1280 x 720", "100x100",
                            "20000x720", "12.5x720"}) {
        EXPECT_FALSE(ParseWindowSize(bad, size)) << bad;
    }
}
