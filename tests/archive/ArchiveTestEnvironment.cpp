// The archive tests run in a scratch working directory: the archive layer writes "Korvath.log" there.
#include "support/ScratchEnvironment.h"

namespace {

::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ScratchEnvironment("korvath-archive-test"));

} // namespace
