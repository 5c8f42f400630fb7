// Benchmarks of the start-up's work on the Citadel without a window: reading its scene file (no pictures), building
// its two octrees and preparing the collision triangles at the player's scale and at the unit scale, each as the
// game's start-up does it. Needs the build's data folder (the compiled Citadel, maps/citadel/world.msa).
#include "lab/CollisionLab.h"
#include "support/FileContents.h"

#include "scene/XScene.h"
#include "scene/XSceneLoader.h"
#include "scene/XSceneNode.h"
#include "scene/XMesh.h"
#include "space/XCollisionMesh.h"
#include "space/XOctTree.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

const XVector3 kUnitScale(1.0f, 1.0f, 1.0f);

const std::string& CitadelText()
{
    static const std::string text = ReadWholeFile(std::string(KORVATH_BINARY_DIR) + "/data/maps/citadel/world.msa");
    return text;
}

std::unique_ptr<XScene> LoadCitadel()
{
    auto scene = std::make_unique<XScene>();
    XSceneLoader loader;
    loader.SetScene(scene.get());
    const std::string& text = CitadelText();
    loader.LoadFromMemory(reinterpret_cast<const unsigned char*>(text.data()), static_cast<uint32_t>(text.size()));
    return scene;
}

// The Citadel with its octrees, made once for the collision benchmark.
XScene* Citadel()
{
    static const std::unique_ptr<XScene> scene = [] {
        std::unique_ptr<XScene> loaded = LoadCitadel();
        loaded->SetupScene(BuildOctTree);
        return loaded;
    }();
    return scene->GetOctree() != nullptr ? scene.get() : nullptr;
}

void CitadelSceneFile(benchmark::State& state)
{
    if (CitadelText().empty()) {
        state.SkipWithError("the Citadel is not built (build the data target first)");
        return;
    }
    for (auto _ : state) {
        const std::unique_ptr<XScene> scene = LoadCitadel();
        benchmark::DoNotOptimize(scene.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * CitadelText().size()));
}

void CitadelOctrees(benchmark::State& state)
{
    XScene* const scene = Citadel();
    if (scene == nullptr) {
        state.SkipWithError("the Citadel is not built (build the data target first)");
        return;
    }
    XMesh* const world = scene->FindNode("world")->GetMesh();
    for (auto _ : state) {
        const std::unique_ptr<XOctTree> tree(BuildOctTree(world));
        benchmark::DoNotOptimize(tree.get());
    }
    state.counters["triangles"] = world->GetTriangleCount();
}

void CitadelCollisionMeshes(benchmark::State& state)
{
    XScene* const scene = Citadel();
    if (scene == nullptr) {
        state.SkipWithError("the Citadel is not built (build the data target first)");
        return;
    }
    int triangles = 0;
    for (auto _ : state) {
        const XCollisionMesh player(*scene->GetOctree(), lab::kPlayerScale);
        const XCollisionMesh unit(*scene->GetOctree(), kUnitScale);
        triangles = player.TriangleCount();
        benchmark::DoNotOptimize(&unit);
    }
    state.counters["triangles"] = triangles;
}

} // namespace

BENCHMARK(CitadelSceneFile)->Unit(benchmark::kMillisecond);
BENCHMARK(CitadelOctrees)->Unit(benchmark::kMillisecond);
BENCHMARK(CitadelCollisionMeshes)->Unit(benchmark::kMillisecond);
