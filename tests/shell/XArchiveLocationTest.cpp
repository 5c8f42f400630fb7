// The data archive's search: the working directory first, then beside the program, then the installed data.
#include "shell/XArchiveLocation.h"
#include "support/ScratchWorkingDirectory.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

void Touch(const std::filesystem::path& path)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << "PK";
}

} // namespace

TEST(ArchiveLocation, TheWorkingDirectoryComesFirstThenTheProgramThenTheInstallation)
{
    ScratchWorkingDirectory directory;
    const std::string program = (directory.Path() / "bin").string();
    const std::string installed = (directory.Path() / "share").string();
    std::filesystem::create_directories(program);
    Touch(directory.Path() / "share/data.pck");
    XArchiveSearch search = FindArchive("data.pck", program, installed);
    EXPECT_EQ(search.found, installed + "/data.pck");
    EXPECT_EQ(search.searched.size(), 4u);

    Touch(directory.Path() / "share/korvath/data.pck");
    search = FindArchive("data.pck", program, installed);
    EXPECT_EQ(search.found, program + "/../share/korvath/data.pck") << "the installation beside the program";

    Touch(directory.Path() / "bin/data.pck");
    search = FindArchive("data.pck", program, installed);
    EXPECT_EQ(search.found, program + "/data.pck");
    EXPECT_EQ(search.searched.size(), 2u) << "the search stops at the first archive";

    Touch(directory.Path() / "data.pck");
    search = FindArchive("data.pck", program, installed);
    EXPECT_EQ(search.found, "data.pck");
}

TEST(ArchiveLocation, NoArchiveAnywhereListsEveryPlaceLookedAt)
{
    ScratchWorkingDirectory directory;
    std::filesystem::create_directories(directory.Path() / "data.pck"); // a directory is not an archive
    const XArchiveSearch search = FindArchive("data.pck", "/nonexistent/bin", "/nonexistent/share");
    EXPECT_TRUE(search.found.empty());
    const std::vector<std::string> expected = {"data.pck", "/nonexistent/bin/data.pck",
                                               "/nonexistent/bin/../share/korvath/data.pck",
                                               "/nonexistent/share/data.pck"};
    EXPECT_EQ(search.searched, expected);
}

TEST(ArchiveLocation, TheExecutableDirectoryIsThisTestsOwn)
{
    EXPECT_EQ(std::filesystem::path(ExecutableDirectory()) / "test_shell",
              std::filesystem::canonical("/proc/self/exe"));
}
