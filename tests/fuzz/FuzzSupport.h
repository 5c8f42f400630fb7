// Set-up shared by the fuzz targets.
#pragma once

// Runs the targets in a fresh temporary folder where "Korvath.log" leads to /dev/null (millions of runs
// would otherwise fill the disk with problem reports) and with message boxes replaced by stderr lines.
void PrepareFuzzEnvironment();

// Stops the run as a finding when the condition does not hold, naming it.
void FuzzCheck(bool holds, const char* what);

// Sends stderr to /dev/null while it lives: for calls that report every refused input there.
class QuietStderr {
public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved = -1;
};
