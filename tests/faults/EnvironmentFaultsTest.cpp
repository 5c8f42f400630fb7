// A machine that lacks what the game expects around it: no display, a display that is not there, a working
// directory where the log cannot be written.
#include "FaultRun.h"

#include <gtest/gtest.h>

#include <fcntl.h>     // open
#include <linux/fs.h>  // FS_IOC_GETFLAGS, FS_IOC_SETFLAGS, FS_IMMUTABLE_FL
#include <sys/ioctl.h> // ioctl
#include <sys/stat.h>  // chmod
#include <unistd.h>    // geteuid, access, close

namespace {

// Makes a directory read-only for the test's lifetime. For root, permission bits mean nothing, so the
// directory is also marked immutable where the file system allows it.
class ReadOnlyDirectory {
public:
    explicit ReadOnlyDirectory(const std::filesystem::path& directory) : path(directory)
    {
        chmod(path.c_str(), 0555);
        if (geteuid() == 0) {
            SetImmutable(true);
        }
    }
    ~ReadOnlyDirectory()
    {
        if (immutable) {
            SetImmutable(false);
        }
        chmod(path.c_str(), 0755);
    }
    ReadOnlyDirectory(const ReadOnlyDirectory&) = delete;
    ReadOnlyDirectory& operator=(const ReadOnlyDirectory&) = delete;

    // Whether creating a file there really fails.
    bool IsReadOnly() const
    {
        const std::filesystem::path probe = path / "probe";
        const int fd = open(probe.c_str(), O_WRONLY | O_CREAT, 0644);
        if (fd < 0) {
            return true;
        }
        close(fd);
        std::filesystem::remove(probe);
        return false;
    }

private:
    void SetImmutable(bool on)
    {
        const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY);
        if (fd < 0) {
            return;
        }
        int flags = 0;
        if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            if (ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0) {
                immutable = on;
            }
        }
        close(fd);
    }

    std::filesystem::path path;
    bool immutable = false;
};

} // namespace

TEST(NoDisplay, WithoutADisplayTheProgramSaysItCannotOpenAWindowAndWhy)
{
    FaultRun run;
    run.OnDisplay().WithoutEnvironment("DISPLAY").WithoutEnvironment("WAYLAND_DISPLAY").WithoutEnvironment(
        "SDL_VIDEODRIVER");
    const FaultResult result = run.Run();
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 1);
    EXPECT_TRUE(result.SaysOnStderr("korvath: cannot open a window: ")) << result.program.err;
    EXPECT_TRUE(result.SaysOnStderr("DISPLAY is not set")) << result.program.err;
    EXPECT_TRUE(result.Logs("cannot open a window: ")) << result.log;
}

TEST(NoDisplay, ADisplayThatIsNotThereIsReportedWithSdlsReason)
{
    FaultRun run;
    run.OnDisplay().Environment("DISPLAY", ":4711").WithoutEnvironment("WAYLAND_DISPLAY").WithoutEnvironment(
        "SDL_VIDEODRIVER");
    const FaultResult result = run.Run();
    ExpectCleanEnd(result);
    EXPECT_EQ(result.program.exitCode, 1);
    EXPECT_TRUE(result.SaysOnStderr("korvath: cannot open a window: ")) << result.program.err;
    const size_t reason = result.program.err.find("cannot open a window: ") + 22;
    EXPECT_GT(result.program.err.find('\n', reason), reason + 3) << "SDL's reason follows\n" << result.program.err;
}

TEST(UnwritableWorkingDirectory, TheLogGoesToTheStateFolderAndWithoutOneTheGameRunsOnAndSaysSoOnce)
{
    // A missing sound makes the game want to log a line.
    std::vector<ZipEntry> entries = DefaultDataEntries();
    RemoveEntry(entries, "sound/sten.wav");
    ScratchDirectory archiveDirectory;
    const std::filesystem::path archive = archiveDirectory.Path() / "data.pck";
    WriteZip(archive.string(), entries);

    ScratchDirectory state;
    FaultRun run;
    const ReadOnlyDirectory readOnly(run.Directory());
    if (!readOnly.IsReadOnly()) {
        GTEST_SKIP() << "this file system lets the test's user write into a read-only directory";
    }
    const FaultResult moved = run.Archive(archive).Environment("XDG_STATE_HOME", state.Path().string()).Run();
    ExpectCleanEnd(moved);
    EXPECT_EQ(moved.program.exitCode, 0) << moved.program.err;
    EXPECT_NE(ReadWholeFile(state.Path() / "korvath" / "Korvath.log").find("sten"), std::string::npos)
        << "the log is in $XDG_STATE_HOME/korvath";
    EXPECT_EQ(moved.program.err.find("cannot write the log"), std::string::npos) << moved.program.err;

    // With nowhere to write (the state folder cannot be made either) the lines are lost, and the player told.
    const FaultResult lost = run.Environment("XDG_STATE_HOME", (run.Directory() / "state").string()).Run();
    ExpectCleanEnd(lost);
    EXPECT_EQ(lost.program.exitCode, 0) << lost.program.err;
    const std::string notice = "korvath: cannot write the log Korvath.log (";
    const size_t first = lost.program.err.find(notice);
    EXPECT_NE(first, std::string::npos) << lost.program.err;
    EXPECT_EQ(lost.program.err.find(notice, first + 1), std::string::npos) << "said once\n" << lost.program.err;
    EXPECT_FALSE(std::filesystem::exists(run.Directory() / "Korvath.log"));
}
