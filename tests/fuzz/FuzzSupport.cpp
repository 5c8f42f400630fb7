// Set-up shared by the fuzz targets.
#include "FuzzSupport.h"

#include "shell/XLog.h"

#include <cstdio>   // std::fprintf
#include <cstdlib>  // mkdtemp, std::abort
#include <unistd.h> // chdir, symlink

void PrepareFuzzEnvironment()
{
    char pattern[] = "/tmp/korvath-fuzz-XXXXXX";
    const char* const directory = mkdtemp(pattern);
    if (directory == nullptr || chdir(directory) != 0 || symlink("/dev/null", "Korvath.log") != 0) {
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
