// XFiles: whole files read and written in one call, for the tools that read fonts and staged data and write
// the data files.
// Depends on: nothing.
#pragma once

#include <string>
#include <vector>

class XFiles {
public:
    // Replaces bytes by the whole file; false when it cannot be opened or read.
    static bool ReadBytes(const std::string& path, std::vector<unsigned char>& bytes);

    // Writes the bytes as the whole file, making its folder first; false when it cannot be written.
    static bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);

    // Makes the folder, with its parents; true when it is there (made now or before).
    static bool MakeFolder(const std::string& path);

    // Makes the folder a file of this path goes into, with its parents; true when it is there.
    static bool MakeParentFolder(const std::string& path);
};
