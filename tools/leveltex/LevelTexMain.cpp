// korvath-leveltex: writes the level's base textures into the data staging folder (as scene/<name>).
// Usage: korvath-leveltex <staging folder> [<preview folder>]
// With a preview folder, every texture is also written there as PNG, for looking at, together with
// level-textures.png, a sheet of all of them (each shrunk to 256 x 256, four a row).
#include "tools/common/XImageWriter.h"
#include "tools/leveltex/XLevelTextures.h"

#include <cstdio> // std::fprintf, std::printf

namespace {

// Box-filtered copy of a square canvas at the given size.
XImage Shrink(const XImage& source, int size)
{
    XImage result(size, size);
    const int factor = source.Width() / size;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            XColor sum;
            for (int dy = 0; dy < factor; ++dy) {
                for (int dx = 0; dx < factor; ++dx) {
                    sum = sum + source.At(x * factor + dx, y * factor + dy);
                }
            }
            result.At(x, y) = sum * (1.0f / static_cast<float>(factor * factor));
        }
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s <staging folder> [<preview folder>]\n", argv[0]);
        return 2;
    }
    std::string error;
    if (!XLevelTextures::WriteAll(argv[1], error)) {
        std::fprintf(stderr, "korvath-leveltex: %s\n", error.c_str());
        return 1;
    }
    if (argc == 3) {
        const std::vector<XLevelTextureEntry>& entries = XLevelTextures::Catalogue();
        const int cell = 256;
        const int columns = 4;
        const int rows = static_cast<int>((entries.size() + columns - 1) / columns);
        XImage sheet(columns * (cell + 8), rows * (cell + 8));
        for (size_t i = 0; i < entries.size(); ++i) {
            const XImage canvas = entries[i].paint(entries[i].size);
            const std::string path = std::string(argv[2]) + "/" + entries[i].fileName + ".png";
            if (!XImageWriter::WritePng(path, canvas, false)) {
                std::fprintf(stderr, "korvath-leveltex: cannot write %s\n", path.c_str());
                return 1;
            }
            const XImage small = Shrink(canvas, cell);
            const int ox = static_cast<int>(i % columns) * (cell + 8) + 4;
            const int oy = static_cast<int>(i / columns) * (cell + 8) + 4;
            for (int y = 0; y < cell; ++y) {
                for (int x = 0; x < cell; ++x) {
                    sheet.At(ox + x, oy + y) = small.At(x, y);
                }
            }
        }
        if (!XImageWriter::WritePng(std::string(argv[2]) + "/level-textures.png", sheet, false)) {
            std::fprintf(stderr, "korvath-leveltex: cannot write the sheet\n");
            return 1;
        }
    }
    std::printf("korvath-leveltex: %zu level textures in %s/scene\n", XLevelTextures::Catalogue().size(), argv[1]);
    return 0;
}
