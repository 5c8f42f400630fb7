// The peer: Irrlicht 1.8's ellipsoid collide-and-slide (ISceneCollisionManager::getCollisionResultPosition over
// an octree triangle selector, the classic swept-ellipsoid response with sliding) on the same level triangles,
// the same walking motions and the same body (radii 10/11, 2, 10/11) as bench_space's CollideAndSlideWalking,
// timed the same way, so that the two throughputs can be set side by side (scripts/bench-collision.sh).
//
//   bench_collision_peer [Google Benchmark options]   the timings
//   bench_collision_peer tunnel [MOTIONS]             the peer's ends of the tunnelling motions, judged by the
//                                                     collision lab exactly as the engine's are
#include "lab/CollisionLab.h"

#include <irrlicht.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using namespace irr;

// The Irrlicht device with its null driver (no window) and the level's triangles in an octree selector.
struct Peer {
    IrrlichtDevice* device = nullptr;
    scene::ITriangleSelector* selector = nullptr;
    scene::ISceneCollisionManager* collision = nullptr;

    explicit Peer(const lab::Level& level)
    {
        device = createDevice(video::EDT_NULL);
        scene::SMeshBuffer* const buffer = new scene::SMeshBuffer();
        for (size_t i = 0; i < level.corners.size(); ++i) {
            const XVector3& p = level.corners[i];
            buffer->Vertices.push_back(video::S3DVertex(p.x, p.y, p.z, 0.0f, 1.0f, 0.0f, video::SColor(255, 255, 255, 255), 0.0f, 0.0f));
            buffer->Indices.push_back(static_cast<u16>(i));
        }
        buffer->recalculateBoundingBox();
        scene::SMesh* const mesh = new scene::SMesh();
        mesh->addMeshBuffer(buffer);
        mesh->recalculateBoundingBox();
        buffer->drop();
        selector = device->getSceneManager()->createOctreeTriangleSelector(mesh, nullptr, 32);
        mesh->drop();
        collision = device->getSceneManager()->getSceneCollisionManager();
    }
    ~Peer()
    {
        selector->drop();
        device->drop();
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    XVector3 Move(const XMotion& motion) const
    {
        core::triangle3df triangle;
        core::vector3df hit;
        bool falling = false;
        scene::ISceneNode* node = nullptr;
        const core::vector3df end = collision->getCollisionResultPosition(
            selector, core::vector3df(motion.position.x, motion.position.y, motion.position.z),
            core::vector3df(10.0f / 11.0f, 2.0f, 10.0f / 11.0f),
            core::vector3df(motion.velocity.x, motion.velocity.y, motion.velocity.z), triangle, hit, falling, node);
        return XVector3(end.X, end.Y, end.Z);
    }
};

const lab::Level* DefaultLevel()
{
    static const std::unique_ptr<lab::Level> level = lab::LoadDefaultLevel(KORVATH_BINARY_DIR);
    return level.get();
}

void PeerCollideAndSlideWalking(benchmark::State& state)
{
    if (DefaultLevel() == nullptr) {
        state.SkipWithError("the default level is not built (build the data target first)");
        return;
    }
    static const Peer peer(*DefaultLevel());
    static const std::vector<XMotion> motions = lab::WalkingMotions(*DefaultLevel(), 100000, 11);
    size_t next = 0;
    for (auto _ : state) {
        const XVector3 end = peer.Move(motions[next]);
        benchmark::DoNotOptimize(end);
        next = next + 1 == motions.size() ? 0 : next + 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(PeerCollideAndSlideWalking);

int Tunnel(int count)
{
    const lab::Level* const level = DefaultLevel();
    if (level == nullptr) {
        std::fprintf(stderr, "bench_collision_peer: the default level is not built\n");
        return 2;
    }
    const Peer peer(*level);
    const std::vector<XMotion> motions = lab::RandomMotions(*level, count, 1, 10.0f);
    lab::TunnelReport report;
    for (const XMotion& motion : motions) {
        const XVector3 end = peer.Move(motion);
        const lab::Verdict verdict = lab::Judge(*level, motion, end);
        const int band = std::min(lab::TunnelReport::kBands - 1, static_cast<int>(motion.velocity.Length()));
        ++report.motions[band];
        report.embedded[band] += verdict.embedded ? 1 : 0;
        report.crossed[band] += verdict.crossed ? 1 : 0;
        report.failed[band] += verdict.Failed() ? 1 : 0;
    }
    std::printf("peer on the default level, %d motions:\n%s", count, report.Table().c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "tunnel") == 0) {
        return Tunnel(argc >= 3 ? std::atoi(argv[2]) : 30000);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
