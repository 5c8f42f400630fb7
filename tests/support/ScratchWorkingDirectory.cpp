// ScratchWorkingDirectory: into a scratch directory and back.
#include "support/ScratchWorkingDirectory.h"

ScratchWorkingDirectory::ScratchWorkingDirectory(const std::string& stem)
    : previous(std::filesystem::current_path()), directory(stem)
{
    if (directory.Path().empty()) {
        return;
    }
    std::error_code failure;
    std::filesystem::current_path(directory.Path(), failure);
    entered = !failure;
}

ScratchWorkingDirectory::~ScratchWorkingDirectory()
{
    if (entered) {
        std::error_code ignored;
        std::filesystem::current_path(previous, ignored);
    }
}
