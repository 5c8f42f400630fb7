// ProgramRun: runs the real korvath program as a player would start it, in its own working directory, and
// collects its exit status and output. A run that does not end within its time limit is killed and counts
// as a failure, so no test can hang.
#pragma once

#include "support/FileContents.h"     // ReadWholeFile, for the files a run leaves
#include "support/ScratchDirectory.h" // the working directory of a run

#include <filesystem>
#include <map>
#include <string>
#include <vector>

struct ProgramResult {
    int exitCode = -1;      // exit status, or -1 when killed by a signal or the time limit
    int signal = 0;         // the signal that ended it, if any
    bool timedOut = false;
    std::string out;
    std::string err;
};

struct ProgramRun {
    std::string program;                // the executable; empty for the korvath program under test
    std::vector<std::string> arguments;
    std::filesystem::path workingDirectory;
    std::map<std::string, std::string> setEnvironment; // added or replaced variables
    std::vector<std::string> unsetEnvironment;
    double timeLimitSeconds = 60.0;

    // Runs the program. A run on the test's own display that could not open its window (the X server turned
    // the connection away, which a shared Xvfb does now and then), and a run whose leak check at exit crashed
    // in LeakSanitizer's own thread tracer ("Tracer caught signal 11", seen once in the sanitized end-to-end
    // tests), are tried twice more before they count. A leak found is a different report and counts at once.
    ProgramResult Run() const;

private:
    ProgramResult RunOnce() const;
    // Whether the run failed to open its window on the display the test left to it (rather than on a display
    // the test took away or replaced on purpose).
    bool WindowTurnedAway(const ProgramResult& result) const;
    // Whether LeakSanitizer broke down while checking for leaks at exit (not: found a leak).
    static bool LeakCheckBrokeDown(const ProgramResult& result);
};

// The korvath executable under test.
std::string KorvathPath();
// The archive the build made (data.pck next to the program).
std::string DefaultArchive();

// A decoded PNG (RGB).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    bool Load(const std::filesystem::path& file);
};
