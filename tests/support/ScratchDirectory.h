// ScratchDirectory: a fresh, empty directory under the system's temporary folder, for the files one test or
// one run makes, removed with the object. With KORVATH_KEEP_TEST_FILES set it stays, for a look after a
// failure. Only the process that made it removes it: a death test's forked child that exits runs the
// destructors of static objects too, while its parent still works in the directory.
//
// Needs neither GoogleTest nor OpenGL.
#pragma once

#include <filesystem>
#include <string>

class ScratchDirectory {
public:
    // Makes "<temporary folder>/<stem>-XXXXXX"; Path() is empty when it cannot be made.
    explicit ScratchDirectory(const std::string& stem = "korvath-test");
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& Path() const { return path; }

    // Writes a text file inside the directory and returns its path.
    std::filesystem::path Write(const std::string& name, const std::string& text) const;

private:
    std::filesystem::path path;
    int owner = 0; // the process id of the maker
};
