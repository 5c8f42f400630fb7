// korvath-levelc: compiles a level source into the data staging folder (scene/world.msa, light maps).
// Usage: korvath-levelc <level source> <staging folder> [--threads N] [--rays N] [--quick] [--quick-light]
//                       [--map NAME]
// The base textures must already be in <staging folder>/scene (korvath-leveltex writes them). --quick compiles
// at preview quality, --quick-light bakes the light maps at preview quality but keeps the shipping visibility;
// --map NAME writes a map of its own into <staging folder>/maps/NAME.
#include "tools/levelc/XLevelCompiler.h"
#include "tools/levelc/XLevelError.h"

#include <chrono>
#include <cstdio>  // std::fprintf, std::printf
#include <cstdlib> // std::atoi
#include <cstring> // std::strcmp
#include <new>     // std::bad_alloc
#include <string>

int main(int argc, char** argv)
{
    const char* const usage = "usage: %s <level source> <staging folder> [--threads N] [--rays N] [--quick] "
                              "[--quick-light] [--map NAME]\n";
    if (argc < 3) {
        std::fprintf(stderr, usage, argv[0]);
        return 2;
    }
    XCompileSettings settings;
    for (int i = 3; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--threads") == 0 && hasValue) {
            settings.bake.threads = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--rays") == 0 && hasValue) {
            settings.bake.hemisphereRays = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--map") == 0 && hasValue) {
            settings.map = argv[++i];
        } else if (std::strcmp(argv[i], "--quick") == 0) {
            settings.quick = true;
        } else if (std::strcmp(argv[i], "--quick-light") == 0) {
            settings.quickLight = true;
        } else {
            std::fprintf(stderr, "korvath-levelc: unknown option %s\n", argv[i]);
            std::fprintf(stderr, usage, argv[0]);
            return 2;
        }
    }
    const auto start = std::chrono::steady_clock::now();
    try {
        const XCompileStats stats = XLevelCompiler::CompileFile(argv[1], argv[2], settings);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        for (const std::string& warning : stats.warnings) {
            std::fprintf(stderr, "%s: warning: %s\n", argv[1], warning.c_str());
        }
        std::printf("korvath-levelc: %s: %d solids, %d faces (%d hidden), %d polygons, %d charts on %d light-map "
                    "page(s) (%.0f%% used); world %d vertices, %d triangles, %d materials%s; visibility: %d view "
                    "cells, %d cells with triangles, %.1f seen from a cell on average; %.1f s\n",
                    argv[1], stats.solids, stats.fragments - stats.culledFragments, stats.culledFragments,
                    stats.polygons, stats.charts, stats.pages, stats.pageUsage * 100.0, stats.worldVertices,
                    stats.worldTriangles, stats.worldMaterials,
                    stats.worldParts > 1 ? (" in " + std::to_string(stats.worldParts) + " parts").c_str() : "",
                    stats.visibilityViewCells,
                    stats.visibilityOwnerCells, stats.visibilityAverageSeen, seconds);
        std::string stages;
        for (const XStageTime& stage : stats.stages) {
            char part[64];
            std::snprintf(part, sizeof(part), "%s%s %.2f", stages.empty() ? "" : ", ", stage.name.c_str(),
                          stage.seconds);
            stages += part;
        }
        std::printf("korvath-levelc: seconds by step: %s\n", stages.c_str());
    } catch (const XLevelError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "korvath-levelc: %s: out of memory\n", argv[1]);
        return 1;
    }
    return 0;
}
