// Benchmarks of the octrees: building both trees over level-like meshes of 1,000 to 49,999 triangles, and the
// collision queries as the game runs them (a sphere of radius 2 around the player every frame, 200-unit
// segments for every shot).
#include "space/LevelMesh.h"

#include "space/XOctTree.h"
#include "space/XOctTreeStats.h"

#include <benchmark/benchmark.h>

#include <cstdint> // uint32_t
#include <memory>  // unique_ptr
#include <vector>

namespace {

// The level meshes, made once per size.
XMesh& LevelOf(int triangles)
{
    static std::vector<std::unique_ptr<XMesh>> meshes;
    for (const std::unique_ptr<XMesh>& mesh : meshes) {
        if (mesh->GetTriangleCount() == triangles) {
            return *mesh;
        }
    }
    meshes.push_back(LevelMesh(triangles).MakeMesh());
    return *meshes.back();
}

void ReportCollisionTree(benchmark::State& state, const XOctTree& tree)
{
    const XOctTreeStats stats = XOctTreeStats::Gather(tree);
    state.counters["nodes"] = stats.nodeCount;
    state.counters["leafTris"] = stats.leafTriangles;
    state.counters["depth"] = stats.deepestLevel;
}

void ReportRenderTree(benchmark::State& state, const XOctTree& tree)
{
    state.counters["nodes"] = XOctTreeStats::Gather(tree).renderNodeCount;
}

void BuildCollisionTree(benchmark::State& state)
{
    XMesh& mesh = LevelOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<XOctTree> tree(new XOctTree());
        tree->Build(&mesh);
        benchmark::DoNotOptimize(tree->Root());
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    XOctTree tree;
    tree.Build(&mesh);
    ReportCollisionTree(state, tree);
}

void BuildRenderTree(benchmark::State& state)
{
    XMesh& mesh = LevelOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<XOctTree> tree(new XOctTree());
        tree->BuildRenderTree(&mesh);
        benchmark::DoNotOptimize(tree->RenderRoot());
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
    XOctTree tree;
    tree.BuildRenderTree(&mesh);
    ReportRenderTree(state, tree);
}

// Both trees, as the scene's setup builds them.
void BuildBothTrees(benchmark::State& state)
{
    XMesh& mesh = LevelOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<XOctTree> tree(BuildOctTree(&mesh));
        benchmark::DoNotOptimize(tree->Root());
        state.PauseTiming();
        tree.reset();
        state.ResumeTiming();
    }
}

void SphereQuery(benchmark::State& state)
{
    const int triangles = static_cast<int>(state.range(0));
    const LevelMesh level(triangles);
    XOctTree tree;
    tree.Build(&LevelOf(triangles));
    const std::vector<XVector3> positions = level.PlayerPositions(1024);
    std::vector<XOctNode*> nodes;
    size_t next = 0;
    int64_t found = 0;
    for (auto _ : state) {
        nodes.clear();
        tree.SphereQuery(positions[next], 2.0f, nodes);
        found += static_cast<int64_t>(nodes.size());
        next = (next + 1) % positions.size();
        benchmark::DoNotOptimize(nodes.data());
    }
    state.counters["nodesPerQuery"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}

void SegmentQuery(benchmark::State& state)
{
    const int triangles = static_cast<int>(state.range(0));
    const LevelMesh level(triangles);
    XOctTree tree;
    tree.Build(&LevelOf(triangles));
    const std::vector<XVector3> starts = level.PlayerPositions(1024);
    std::vector<XVector3> ends;
    uint32_t state32 = 7u;
    for (const XVector3& start : starts) {
        ends.push_back(start + LevelMesh::Direction(state32) * 200.0f);
    }
    size_t next = 0;
    int64_t found = 0;
    for (auto _ : state) {
        const std::vector<XOctNode*>& nodes = tree.SegmentQuery(starts[next], ends[next]);
        found += static_cast<int64_t>(nodes.size());
        next = (next + 1) % starts.size();
        benchmark::DoNotOptimize(nodes.data());
    }
    state.counters["nodesPerQuery"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}

} // namespace

BENCHMARK(BuildCollisionTree)->Arg(1000)->Arg(10000)->Arg(49999)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildRenderTree)->Arg(1000)->Arg(10000)->Arg(49999)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildBothTrees)->Arg(49999)->Unit(benchmark::kMillisecond);
BENCHMARK(SphereQuery)->Arg(1000)->Arg(10000)->Arg(49999)->Unit(benchmark::kNanosecond);
BENCHMARK(SegmentQuery)->Arg(1000)->Arg(10000)->Arg(49999)->Unit(benchmark::kNanosecond);
