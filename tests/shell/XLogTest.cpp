// Log: verbatim lines appended in order, the AllLogs.log companion, and the error reports without dialogs.
#include "TempDirectory.h"

#include "shell/XLog.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

TEST(LogFile, MessagesAreAppendedVerbatimOneLineEach)
{
    TempDirectory directory;
    {
        std::ofstream earlier("Korvath.log");
        earlier << "from an earlier run\n";
    }
    XLog log;
    log.Log("first");
    log.Log("100% done %s %d");
    EXPECT_EQ(ReadFile("Korvath.log"), "from an earlier run\nfirst\n100% done %s %d\n");
}

TEST(LogFile, ConstructionCreatesAnEmptyAllLogsFileAndKeepsAnExistingOne)
{
    TempDirectory directory;
    {
        XLog log;
        EXPECT_TRUE(std::filesystem::exists("AllLogs.log"));
        EXPECT_EQ(ReadFile("AllLogs.log"), "");
    }
    {
        std::ofstream existing("AllLogs.log");
        existing << "kept\n";
    }
    XLog log;
    log.Log("message");
    EXPECT_EQ(ReadFile("AllLogs.log"), "kept\n");
}

TEST(LogErrors, ShowErrorWithoutDialogsPrintsCaptionedLineAndLogs)
{
    TempDirectory directory;
    XLog log;
    log.SetDialogsEnabled(false);
    testing::internal::CaptureStderr();
    log.ShowError("World mesh could not be found in scene");
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed, "RUdezer: World mesh could not be found in scene\n");
    EXPECT_EQ(ReadFile("Korvath.log"), "World mesh could not be found in scene\n");
}

TEST(LogErrorsDeathTest, ShowFatalStopsWithStatusOneAfterTheLineIsOnDisk)
{
    TempDirectory directory;
    EXPECT_EXIT(
        {
            XLog log;
            log.SetDialogsEnabled(false);
            log.ShowFatal("XTextureManager: Unexisting texture request.");
            std::fprintf(stderr, "still running\n");
        },
        testing::ExitedWithCode(1), "RUdezer: XTextureManager: Unexisting texture request.");
    EXPECT_EQ(ReadFile("Korvath.log"), "XTextureManager: Unexisting texture request.\n");
}

TEST(LogAssertDeathTest, NamesTheConditionAndTheSourceFile)
{
    TempDirectory directory;
    EXPECT_DEATH(XAssert(false, "func != 0", "xwindow", 12), "Assertion failed: func != 0, file xwindow, line 12");
}
