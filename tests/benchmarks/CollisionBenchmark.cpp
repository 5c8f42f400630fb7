// Benchmarks of the collision queries on the default level, as the game runs them: the player's sweep with
// sliding (scale 11, 5, 11) for walking motions over the hall's floor, against its walls and up the stairs,
// and the gun's 200-unit segment casts. Needs the build's data folder (the compiled default level).
#include "scene/XScene.h"
#include "scene/XSceneLoader.h"
#include "shell/XDebugText.h"
#include "space/XCollision.h"
#include "space/XOctTree.h"

#include <benchmark/benchmark.h>

#include <cmath>   // sin, cos
#include <cstdio>  // fopen
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

const XVector3 kPlayerScale(11.0f, 5.0f, 11.0f);
const XVector3 kUnitScale(1.0f, 1.0f, 1.0f);

std::string ReadFile(const std::string& path)
{
    std::string bytes;
    FILE* const file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return bytes;
    }
    char buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) {
        bytes.append(buffer, n);
    }
    std::fclose(file);
    return bytes;
}

// The default level, loaded once, with its octree.
XScene* DefaultLevel()
{
    static std::unique_ptr<XScene> scene;
    if (!scene) {
        const std::string text = ReadFile(std::string(KORVATH_BINARY_DIR) + "/data/scene/world.msa");
        scene = std::make_unique<XScene>();
        XSceneLoader loader;
        loader.SetScene(scene.get());
        loader.LoadFromMemory(reinterpret_cast<const unsigned char*>(text.data()), static_cast<uint32_t>(text.size()));
        scene->SetupScene(BuildOctTree);
    }
    return scene->GetOctree() != nullptr ? scene.get() : nullptr;
}

// Walking motions of one 10 ms frame (0.1 units at full speed, a small push down): a third over the open
// hall floor, a third pressed against the hall's side walls, a third on the stairs.
std::vector<XMotion> WalkingMotions()
{
    std::mt19937 random(11);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<XMotion> motions;
    for (int i = 0; i < 3072; ++i) {
        const float angle = unit(random) * 6.2831853f;
        XMotion motion;
        motion.velocity = XVector3(0.1f * std::sin(angle), -0.0005f, 0.1f * std::cos(angle));
        switch (i % 3) {
        case 0:
            motion.position = XVector3(-6.0f + 12.0f * unit(random), 2.0f, -10.0f + 48.0f * unit(random));
            break;
        case 1: {
            const float side = unit(random) < 0.5f ? -1.0f : 1.0f;
            motion.position = XVector3(side * (18.0f - 0.95f), 2.0f, -10.0f + 25.0f * unit(random));
            motion.velocity = XVector3(side * 0.1f, -0.0005f, 0.02f);
            break;
        }
        default: {
            const float z = 16.5f + 23.0f * unit(random);
            motion.position = XVector3(-15.5f, 2.0f + 0.32f * std::floor((z - 16.0f) / 0.96f + 1.0f), z);
            motion.velocity = XVector3(0.0f, -0.0005f, 0.1f);
            break;
        }
        }
        motions.push_back(motion);
    }
    return motions;
}

// Gun shots from eye height at places in the hall, in every direction, 200 units long.
std::vector<XMotion> Shots()
{
    std::mt19937 random(13);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<XMotion> shots;
    for (int i = 0; i < 1024; ++i) {
        const float yaw = unit(random) * 6.2831853f;
        const float pitch = (unit(random) - 0.5f) * 1.2f;
        XMotion shot;
        shot.position = XVector3(-12.0f + 24.0f * unit(random), 3.0f, -8.0f + 40.0f * unit(random));
        shot.velocity = XVector3(std::cos(pitch) * std::sin(yaw), std::sin(pitch), std::cos(pitch) * std::cos(yaw)) * 200.0f;
        shots.push_back(shot);
    }
    return shots;
}

void CollideAndSlideWalking(benchmark::State& state)
{
    XScene* const scene = DefaultLevel();
    if (scene == nullptr) {
        state.SkipWithError("the default level is not built (build the data target first)");
        return;
    }
    const std::vector<XMotion> motions = WalkingMotions();
    XCollision* const collision = GetCollision();
    size_t next = 0;
    long long slides = 0;
    for (auto _ : state) {
        GetDebugText()->Clear();
        const XVector3 end = collision->CollideAndSlide(scene, motions[next], kPlayerScale);
        benchmark::DoNotOptimize(end);
        slides += collision->Slides();
        next = (next + 1) % motions.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["slides/query"] = static_cast<double>(slides) / static_cast<double>(state.iterations());
}
BENCHMARK(CollideAndSlideWalking);

void CastSegmentShots(benchmark::State& state)
{
    XScene* const scene = DefaultLevel();
    if (scene == nullptr) {
        state.SkipWithError("the default level is not built (build the data target first)");
        return;
    }
    const std::vector<XMotion> shots = Shots();
    XCollision* const collision = GetCollision();
    size_t next = 0;
    long long hits = 0;
    for (auto _ : state) {
        XContact contact;
        hits += collision->CastSegment(scene, shots[next], kUnitScale, contact) ? 1 : 0;
        next = (next + 1) % shots.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["hit ratio"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(CastSegmentShots);

} // namespace
