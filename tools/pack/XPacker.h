// XPacker: writes every file of a folder into one ZIP archive, the same bytes on every build.
//
// Entries are named by their paths below the folder with '/', sorted bytewise, deflated at the highest
// level, and stamped with one fixed modification time and fixed attributes, so that the archive depends
// only on the files' contents and names.
// Depends on: libzip.
#pragma once

#include <string>
#include <vector>

class XPacker {
public:
    // Paths of the regular files below the folder, relative and with '/', sorted bytewise. Empty when the
    // folder does not exist.
    static std::vector<std::string> ListFiles(const std::string& folder);

    // Writes the archive (replacing any old one). On failure returns false and describes the cause in
    // error; an empty folder is a failure, since the engine cannot run without its data.
    static bool Pack(const std::string& folder, const std::string& archivePath, std::string& error);
};
