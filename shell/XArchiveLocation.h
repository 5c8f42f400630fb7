// XArchiveLocation: where the program finds its data archive when none is named on the command line —
// "data.pck" in the working directory (as always), else next to the program's executable, else in the data
// directory of the installation the executable belongs to (<prefix>/share/korvath), else in the directory
// the build was configured to install to.
#pragma once

#include <string>
#include <vector>

struct XArchiveSearch {
    std::string found;                 // the archive to use; empty when none of the places has one
    std::vector<std::string> searched; // every place looked at, in order
};

// Looks for `name` in the working directory, the executable's directory and the installed data directory.
XArchiveSearch FindArchive(const std::string& name, const std::string& executableDirectory,
                           const std::string& installedDirectory);

// The directory of the running executable ("" when it cannot be told).
std::string ExecutableDirectory();
