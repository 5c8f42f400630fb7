// Benchmarks of the collision queries on the default level, as the game runs them: the player's sweep with
// sliding (scale 11, 5, 11) for walking motions from starts checked clear (two thirds over open floor, a third
// from against walls, steps and pillars), the same from starts that overlap the floor (the push-out's work),
// the gun's 200-unit segment casts and the flares' line-of-sight tests. Needs the build's data folder (the
// compiled default level). The motions come from the collision lab, so that an older build can be timed on
// the very same ones (scripts/bench-collision.sh).
#include "lab/CollisionLab.h"

#include "shell/XDebugText.h"
#include "space/XCollision.h"

#include <benchmark/benchmark.h>

#include <cmath>  // sin, cos
#include <memory>
#include <random>
#include <vector>

namespace {

const XVector3 kUnitScale(1.0f, 1.0f, 1.0f);

// The default level, loaded once.
const lab::Level* DefaultLevel()
{
    static const std::unique_ptr<lab::Level> level = lab::LoadDefaultLevel(KORVATH_BINARY_DIR);
    return level.get();
}

const std::vector<XMotion>& Walking()
{
    static const std::vector<XMotion> motions = lab::WalkingMotions(*DefaultLevel(), 100000, 11);
    return motions;
}

const std::vector<XMotion>& Embedded()
{
    static const std::vector<XMotion> motions = lab::EmbeddedMotions(*DefaultLevel(), 20000, 17);
    return motions;
}

// Gun shots from eye height (a unit above a standing body's centre) in every direction, 200 units long.
const std::vector<XMotion>& Shots()
{
    static const std::vector<XMotion> shots = [] {
        std::vector<XMotion> result;
        std::mt19937 random(13);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        for (const XMotion& walk : lab::WalkingMotions(*DefaultLevel(), 4096, 13)) {
            const float yaw = unit(random) * 6.2831853f;
            const float pitch = (unit(random) - 0.5f) * 1.2f;
            XMotion shot;
            shot.position = walk.position + XVector3(0.0f, 1.0f, 0.0f);
            shot.velocity = XVector3(std::cos(pitch) * std::sin(yaw), std::sin(pitch), std::cos(pitch) * std::cos(yaw)) * 200.0f;
            result.push_back(shot);
        }
        return result;
    }();
    return shots;
}

void RunCollideAndSlide(benchmark::State& state, const std::vector<XMotion>& motions)
{
    if (DefaultLevel() == nullptr) {
        state.SkipWithError("the default level is not built (build the data target first)");
        return;
    }
    XScene* const scene = DefaultLevel()->scene.get();
    XCollision* const collision = GetCollision();
    size_t next = 0;
    long long slides = 0;
    long long overlaps = 0;
    for (auto _ : state) {
        GetDebugText()->Clear();
        const XVector3 end = collision->CollideAndSlide(scene, motions[next], lab::kPlayerScale);
        benchmark::DoNotOptimize(end);
        slides += collision->Slides();
        overlaps += collision->Overlaps();
        next = next + 1 == motions.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["slides/query"] = static_cast<double>(slides) / static_cast<double>(state.iterations());
    state.counters["push-outs/query"] = static_cast<double>(overlaps) / static_cast<double>(state.iterations());
}

void CollideAndSlideWalking(benchmark::State& state)
{
    RunCollideAndSlide(state, Walking());
}
BENCHMARK(CollideAndSlideWalking);

void CollideAndSlideEmbedded(benchmark::State& state)
{
    RunCollideAndSlide(state, Embedded());
}
BENCHMARK(CollideAndSlideEmbedded);

// Runs query(shot index) on the shots in turn and reports the share of true answers under counterName.
template <typename Query>
void RunSegmentQueries(benchmark::State& state, const char* counterName, Query&& query)
{
    if (DefaultLevel() == nullptr) {
        state.SkipWithError("the default level is not built (build the data target first)");
        return;
    }
    const size_t count = Shots().size();
    size_t next = 0;
    long long answers = 0;
    for (auto _ : state) {
        answers += query(next) ? 1 : 0;
        next = next + 1 == count ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters[counterName] = static_cast<double>(answers) / static_cast<double>(state.iterations());
}

void CastSegmentShots(benchmark::State& state)
{
    RunSegmentQueries(state, "hit ratio", [](size_t i) {
        XContact contact;
        return GetCollision()->CastSegment(DefaultLevel()->scene.get(), Shots()[i], kUnitScale, contact);
    });
}
BENCHMARK(CastSegmentShots);

// The flares' test: from the eye to points 5 to 40 units away.
void IsSegmentBlockedSightLines(benchmark::State& state)
{
    RunSegmentQueries(state, "blocked", [](size_t i) {
        const XMotion& shot = Shots()[i];
        const float reach = 0.025f + 0.175f * static_cast<float>(i % 8) / 7.0f;
        return GetCollision()->IsSegmentBlocked(DefaultLevel()->scene.get(), shot.position,
                                                shot.position + shot.velocity * reach);
    });
}
BENCHMARK(IsSegmentBlockedSightLines);

} // namespace
