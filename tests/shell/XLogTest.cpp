// Log: verbatim lines appended in order, the AllLogs.log companion, and the error reports without dialogs.
#include "shell/XLog.h"
#include "support/FileContents.h"
#include "support/ScratchWorkingDirectory.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

TEST(LogFile, MessagesAreAppendedVerbatimOneLineEach)
{
    ScratchWorkingDirectory directory;
    {
        std::ofstream earlier("Korvath.log");
        earlier << "from an earlier run\n";
    }
    XLog log;
    log.Log("first");
    log.Log("100% done %s %d");
    EXPECT_EQ(ReadWholeFile("Korvath.log"), "from an earlier run\nfirst\n100% done %s %d\n");
}

TEST(LogFile, LinesGoToTheWorkingDirectorysLogEvenWhenItChangesOrIsRemoved)
{
    ScratchWorkingDirectory first;
    XLog log;
    log.Log("in the first folder");
    {
        ScratchWorkingDirectory second;
        log.Log("in the second folder");
        EXPECT_EQ(ReadWholeFile("Korvath.log"), "in the second folder\n");
    }
    EXPECT_EQ(ReadWholeFile("Korvath.log"), "in the first folder\n");
    std::filesystem::remove("Korvath.log");
    log.Log("after the removal");
    EXPECT_EQ(ReadWholeFile("Korvath.log"), "after the removal\n");
}

TEST(LogFile, ConstructionCreatesAnEmptyAllLogsFileAndKeepsAnExistingOne)
{
    ScratchWorkingDirectory directory;
    {
        XLog log;
        EXPECT_TRUE(std::filesystem::exists("AllLogs.log"));
        EXPECT_EQ(ReadWholeFile("AllLogs.log"), "");
    }
    {
        std::ofstream existing("AllLogs.log");
        existing << "kept\n";
    }
    XLog log;
    log.Log("message");
    EXPECT_EQ(ReadWholeFile("AllLogs.log"), "kept\n");
}

TEST(LogErrors, ShowErrorWithoutDialogsPrintsCaptionedLineAndLogs)
{
    ScratchWorkingDirectory directory;
    XLog log;
    log.SetDialogsEnabled(false);
    testing::internal::CaptureStderr();
    log.ShowError("World mesh could not be found in scene");
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed, "RUdezer: World mesh could not be found in scene\n");
    EXPECT_EQ(ReadWholeFile("Korvath.log"), "World mesh could not be found in scene\n");
}

TEST(LogErrorsDeathTest, ShowFatalStopsWithStatusOneAfterTheLineIsOnDisk)
{
    ScratchWorkingDirectory directory;
    EXPECT_EXIT(
        {
            XLog log;
            log.SetDialogsEnabled(false);
            log.ShowFatal("XTextureManager: Unexisting texture request.");
            std::fprintf(stderr, "still running\n");
        },
        testing::ExitedWithCode(1), "RUdezer: XTextureManager: Unexisting texture request.");
    EXPECT_EQ(ReadWholeFile("Korvath.log"), "XTextureManager: Unexisting texture request.\n");
}

TEST(LogAssertDeathTest, NamesTheConditionAndTheSourceFile)
{
    ScratchWorkingDirectory directory;
    EXPECT_DEATH(XAssert(false, "func != 0", "xwindow", 12), "Assertion failed: func != 0, file xwindow, line 12");
}
