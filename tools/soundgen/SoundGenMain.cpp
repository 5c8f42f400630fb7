// korvath-soundgen: writes the game's synthesised sounds into the data staging folder.
// Usage: korvath-soundgen <staging folder>
#include "tools/soundgen/XSoundEffects.h"

#include <cstdio> // std::fprintf, std::printf
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <staging folder>\n", argv[0]);
        return 2;
    }
    std::string error;
    if (!XSoundEffects::WriteAll(argv[1], error)) {
        std::fprintf(stderr, "korvath-soundgen: %s\n", error.c_str());
        return 1;
    }
    std::printf("korvath-soundgen: %zu sounds in %s\n", XSoundEffects::Files().size(), argv[1]);
    return 0;
}
