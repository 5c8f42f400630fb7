// A library that draws from the C library's generator as it is loaded, as an audio or GL driver may at a time
// of its own: preloaded into a run, it takes numbers out of rand()'s stream before the game starts.
#include <cstdlib> // rand

namespace {

struct DrawsAtLoad {
    DrawsAtLoad()
    {
        for (int i = 0; i < 7; ++i) {
            std::rand();
        }
    }
};

const DrawsAtLoad drawsAtLoad;

} // namespace
