// Set-up shared by the fuzz targets.
#include "FuzzSupport.h"

#include "shell/XLog.h"
#include "support/ScratchWorkingDirectory.h"

#include <cstdio>   // std::fprintf, std::fflush
#include <cstdlib>  // std::abort
#include <fcntl.h>  // open
#include <unistd.h> // symlink, dup, dup2, close

void PrepareFuzzEnvironment()
{
    static bool prepared = false;
    if (prepared) {
        return; // several targets may share one process (the replay test)
    }
    prepared = true;
    // The folder goes when the run ends normally; after a finding it stays, with the files of the last input.
    static const ScratchWorkingDirectory folder("korvath-fuzz");
    if (!folder.Entered() || symlink("/dev/null", "Korvath.log") != 0) {
        std::fprintf(stderr, "cannot prepare a working folder for the fuzz run\n");
        std::abort();
    }
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
