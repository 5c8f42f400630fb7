// ScratchWorkingDirectory: a scratch directory that is the working directory while the object lives, for
// code that writes into the working directory (the log, archives named without a folder); the previous
// working directory comes back before the scratch directory goes.
//
// Needs neither GoogleTest nor OpenGL.
#pragma once

#include "support/ScratchDirectory.h"

#include <filesystem>
#include <string>

class ScratchWorkingDirectory {
public:
    explicit ScratchWorkingDirectory(const std::string& stem = "korvath-test");
    ~ScratchWorkingDirectory();
    ScratchWorkingDirectory(const ScratchWorkingDirectory&) = delete;
    ScratchWorkingDirectory& operator=(const ScratchWorkingDirectory&) = delete;

    // Whether the directory was made and is the working directory.
    bool Entered() const { return entered; }
    const std::filesystem::path& Path() const { return directory.Path(); }

private:
    std::filesystem::path previous; // declared first: taken before the directory is made
    ScratchDirectory directory;
    bool entered = false;
};
