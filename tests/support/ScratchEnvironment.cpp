// ScratchEnvironment: the per-process working directory, shared with death-test children.
#include "support/ScratchEnvironment.h"

#include "support/ScratchWorkingDirectory.h"

#include <cstdlib> // std::getenv, setenv, unsetenv
#include <memory>  // std::unique_ptr
#include <unistd.h> // chdir

namespace {

const char* const kInheritedVariable = "KORVATH_TEST_SCRATCH";
std::unique_ptr<ScratchWorkingDirectory> owned;

} // namespace

std::string EnterScratchDirectory(const char* stem)
{
    const char* const inherited = std::getenv(kInheritedVariable);
    if (inherited != nullptr && chdir(inherited) == 0) {
        return inherited;
    }
    owned = std::make_unique<ScratchWorkingDirectory>(stem);
    if (!owned->Entered()) {
        owned.reset();
        return std::string();
    }
    setenv(kInheritedVariable, owned->Path().c_str(), 1);
    return owned->Path().string();
}

void LeaveScratchDirectory()
{
    if (owned == nullptr) {
        return;
    }
    owned.reset();
    unsetenv(kInheritedVariable);
}

void ScratchEnvironment::SetUp()
{
    ASSERT_FALSE(EnterScratchDirectory(stem).empty()) << "no scratch directory for " << stem;
}

void ScratchEnvironment::TearDown()
{
    LeaveScratchDirectory();
}
