// ScratchDirectory: per-process temporary working directory.
#include "support/ScratchDirectory.h"

#include <cstdlib>    // mkdtemp, getenv, setenv
#include <filesystem> // remove_all
#include <unistd.h>   // chdir

namespace {

const char* const kInheritedVariable = "KORVATH_TEST_SCRATCH";
std::string scratchPath;
bool owned = false;

} // namespace

std::string EnterScratchDirectory(const char* stem)
{
    const char* const inherited = std::getenv(kInheritedVariable);
    if (inherited != nullptr && chdir(inherited) == 0) {
        scratchPath = inherited;
        owned = false;
        return scratchPath;
    }
    std::string pattern = std::string("/tmp/") + stem + "-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0) {
        return std::string();
    }
    scratchPath = pattern;
    owned = true;
    setenv(kInheritedVariable, scratchPath.c_str(), 1);
    return scratchPath;
}

void LeaveScratchDirectory()
{
    if (!owned || scratchPath.empty() || chdir("/tmp") != 0) {
        return;
    }
    std::error_code ignored;
    std::filesystem::remove_all(scratchPath, ignored);
    unsetenv(kInheritedVariable);
    scratchPath.clear();
    owned = false;
}
