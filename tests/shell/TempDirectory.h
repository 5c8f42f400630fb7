// TempDirectory: runs a test inside a fresh temporary working directory (the log writes to the working
// directory), and goes back and removes it afterwards.
#pragma once

#include <cstdlib>    // mkdtemp
#include <filesystem> // std::filesystem
#include <string>
#include <unistd.h>   // chdir

class TempDirectory {
public:
    TempDirectory()
    {
        previous = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "korvath-test-XXXXXX").string();
        path = mkdtemp(pattern.data());
        std::filesystem::current_path(path);
    }
    ~TempDirectory()
    {
        std::filesystem::current_path(previous);
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& Path() const { return path; }

private:
    std::filesystem::path previous;
    std::filesystem::path path;
};
