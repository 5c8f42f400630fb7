// Set-up shared by the fuzz targets.
#include "FuzzSupport.h"

#include "shell/XLog.h"

#include <cstdio>     // std::fprintf, std::fflush
#include <cstdlib>    // mkdtemp, std::abort, std::atexit
#include <fcntl.h>    // open
#include <filesystem> // std::filesystem::remove_all
#include <unistd.h>   // chdir, symlink, dup, dup2, close

namespace {

char workingFolder[] = "/tmp/korvath-fuzz-XXXXXX";

// The folder goes when the run ends normally; after a finding it stays, with the files of the last input.
void RemoveWorkingFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(workingFolder, ignored);
}

} // namespace

void PrepareFuzzEnvironment()
{
    static bool prepared = false;
    if (prepared) {
        return; // several targets may share one process (the replay test)
    }
    prepared = true;
    const char* const directory = mkdtemp(workingFolder);
    if (directory == nullptr || chdir(directory) != 0 || symlink("/dev/null", "Korvath.log") != 0) {
        std::fprintf(stderr, "cannot prepare a working folder for the fuzz run\n");
        std::abort();
    }
    std::atexit(RemoveWorkingFolder);
    GetLog()->SetDialogsEnabled(false);
}

void FuzzCheck(bool holds, const char* what)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        std::abort();
    }
}

QuietStderr::QuietStderr()
{
    std::fflush(stderr);
    const int devNull = open("/dev/null", O_WRONLY);
    if (devNull < 0) {
        return;
    }
    saved = dup(2);
    if (saved >= 0) {
        dup2(devNull, 2);
    }
    close(devNull);
}

QuietStderr::~QuietStderr()
{
    if (saved >= 0) {
        std::fflush(stderr);
        dup2(saved, 2);
        close(saved);
    }
}
