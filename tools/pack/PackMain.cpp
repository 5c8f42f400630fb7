// korvath-pack: packs the staging folder into the data archive.
// Usage: korvath-pack <staging folder> <archive>
#include "tools/pack/XPacker.h"

#include <cstdio> // std::fprintf

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <staging folder> <archive>\n", argv[0]);
        return 2;
    }
    std::string error;
    if (!XPacker::Pack(argv[1], argv[2], error)) {
        std::fprintf(stderr, "korvath-pack: %s\n", error.c_str());
        return 1;
    }
    std::printf("korvath-pack: %zu files into %s\n", XPacker::ListFiles(argv[1]).size(), argv[2]);
    return 0;
}
