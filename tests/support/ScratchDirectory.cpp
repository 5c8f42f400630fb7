// ScratchDirectory: mkdtemp and a recursive remove.
#include "support/ScratchDirectory.h"

#include "support/FileContents.h" // WriteWholeFile

#include <cstdlib>  // mkdtemp, std::getenv
#include <unistd.h> // getpid

ScratchDirectory::ScratchDirectory(const std::string& stem) : owner(static_cast<int>(getpid()))
{
    std::string pattern = (std::filesystem::temp_directory_path() / (stem + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) != nullptr) {
        path = pattern;
    }
}

ScratchDirectory::~ScratchDirectory()
{
    if (!path.empty() && static_cast<int>(getpid()) == owner && std::getenv("KORVATH_KEEP_TEST_FILES") == nullptr) {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
}

std::filesystem::path ScratchDirectory::Write(const std::string& name, const std::string& text) const
{
    const std::filesystem::path file = path / name;
    WriteWholeFile(file.string(), text);
    return file;
}
