// korvath-texgen: writes the engine's fixed textures into the data staging folder.
// Usage: korvath-texgen <staging folder> <TrueType font>
#include "tools/texgen/XEngineTextures.h"
#include "tools/texgen/XGlyphRasterizer.h"

#include <cstdio> // std::fprintf

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <staging folder> <TrueType font>\n", argv[0]);
        return 2;
    }
    XGlyphRasterizer font;
    if (!font.Load(argv[2])) {
        std::fprintf(stderr, "korvath-texgen: cannot load the font %s\n", argv[2]);
        return 1;
    }
    std::string error;
    if (!XEngineTextures(font).WriteAll(argv[1], error)) {
        std::fprintf(stderr, "korvath-texgen: %s\n", error.c_str());
        return 1;
    }
    std::printf("korvath-texgen: %zu engine textures in %s\n", XEngineTextures::Files().size(), argv[1]);
    return 0;
}
