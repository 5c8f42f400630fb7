// CollisionLab: the lab's levels, motion sets and verdict.
#include "lab/CollisionLab.h"

#include "SceneBuilder.h"

#include "scene/XMesh.h"
#include "scene/XSceneLoader.h"
#include "scene/XSceneNode.h"
#include "shell/XDebugText.h"
#include "space/XOctTree.h"
#include "support/FileContents.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

namespace lab {

namespace {

std::vector<XVector3> WorldCorners(const XScene& scene)
{
    std::vector<XVector3> corners;
    const XSceneNode* const world = scene.FindNode("world");
    if (world == nullptr || world->GetMesh() == nullptr) {
        return corners;
    }
    const XMesh& mesh = *world->GetMesh();
    for (int i = 0; i < 3 * mesh.GetTriangleCount(); ++i) {
        corners.push_back(mesh.GetPositions()[mesh.GetTriangles()[i]]);
    }
    return corners;
}

// A box with its six faces looking out.
void Box(SceneBuilder& b, const XVector3& lo, const XVector3& hi)
{
    const float x0 = lo.x, y0 = lo.y, z0 = lo.z, x1 = hi.x, y1 = hi.y, z1 = hi.z;
    b.Quad(XVector3(x0, y1, z0), XVector3(x0, y1, z1), XVector3(x1, y1, z1), XVector3(x1, y1, z0)); // top
    b.Quad(XVector3(x0, y0, z0), XVector3(x1, y0, z0), XVector3(x1, y0, z1), XVector3(x0, y0, z1)); // bottom
    b.Quad(XVector3(x0, y0, z0), XVector3(x0, y1, z0), XVector3(x1, y1, z0), XVector3(x1, y0, z0)); // -z
    b.Quad(XVector3(x1, y0, z1), XVector3(x1, y1, z1), XVector3(x0, y1, z1), XVector3(x0, y0, z1)); // +z
    b.Quad(XVector3(x0, y0, z1), XVector3(x0, y1, z1), XVector3(x0, y1, z0), XVector3(x0, y0, z0)); // -x
    b.Quad(XVector3(x1, y0, z0), XVector3(x1, y1, z0), XVector3(x1, y1, z1), XVector3(x1, y0, z1)); // +x
}

// A wedge standing on height y: its top rises from y at z0 to y + height at z1, across x0..x1.
void Wedge(SceneBuilder& b, float x0, float x1, float y, float z0, float z1, float height)
{
    const float top = y + height;
    b.Quad(XVector3(x0, y, z0), XVector3(x0, top, z1), XVector3(x1, top, z1), XVector3(x1, y, z0));
    b.Quad(XVector3(x1, y, z1), XVector3(x1, top, z1), XVector3(x0, top, z1), XVector3(x0, y, z1));
    b.Triangle(XVector3(x0, y, z0), XVector3(x0, y, z1), XVector3(x0, top, z1));
    b.Triangle(XVector3(x1, y, z0), XVector3(x1, top, z1), XVector3(x1, y, z1));
}

XVector3 RandomPointOn(const XVector3& a, const XVector3& b, const XVector3& c, std::mt19937& random)
{
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    float u = unit(random);
    float v = unit(random);
    if (u + v > 1.0f) {
        u = 1.0f - u;
        v = 1.0f - v;
    }
    return a + (b - a) * u + (c - a) * v;
}

// Picks floor points (upward faces), area-weighted.
class FloorSampler {
public:
    explicit FloorSampler(const std::vector<XVector3>& corners)
    {
        double total = 0.0;
        for (size_t i = 0; i + 2 < corners.size(); i += 3) {
            const XVector3d a(corners[i]);
            const XVector3d cross = Cross(XVector3d(corners[i + 1]) - a, XVector3d(corners[i + 2]) - a);
            const double area = cross.Length();
            if (area > 0.0 && cross.y / area > 0.7) {
                total += area;
                cumulative.push_back(total);
                first.push_back(i);
            }
        }
    }
    bool Empty() const { return cumulative.empty(); }
    XVector3 Pick(const std::vector<XVector3>& corners, std::mt19937& random) const
    {
        std::uniform_real_distribution<double> unit(0.0, cumulative.back());
        const double at = unit(random);
        const size_t k = static_cast<size_t>(std::lower_bound(cumulative.begin(), cumulative.end(), at) - cumulative.begin());
        const size_t i = first[std::min(k, first.size() - 1)];
        return RandomPointOn(corners[i], corners[i + 1], corners[i + 2], random);
    }

private:
    std::vector<double> cumulative;
    std::vector<size_t> first;
};

double ClearanceAt(const Level& level, const XVector3& world)
{
    return level.check.Clearance(level.check.Scaled(world), 2.0 * kBodyRadius);
}

// A body standing on the floor point: the lowest height from 2 units up (the body's half height) at which it
// is clear, or false.
bool StandOn(const Level& level, const XVector3& floorPoint, XVector3& centre)
{
    for (int step = 0; step < 40; ++step) {
        centre = floorPoint + XVector3(0.0f, 2.0f + 0.02f * static_cast<float>(step), 0.0f);
        if (ClearanceAt(level, centre) >= kClearStart) {
            return true;
        }
    }
    return false;
}

XVector3 Horizontal(float angle)
{
    return XVector3(std::sin(angle), 0.0f, std::cos(angle));
}

// Up to count motions from make(motion), which fills one in and says whether it is usable, trying at most 100
// times as often.
template <typename Make>
std::vector<XMotion> Collect(int count, Make&& make)
{
    std::vector<XMotion> motions;
    for (int attempt = 0; static_cast<int>(motions.size()) < count && attempt < 100 * count; ++attempt) {
        XMotion motion;
        if (make(motion, motions.size())) {
            motions.push_back(motion);
        }
    }
    return motions;
}

const float kFrameMove = 0.1f;        // 10 ms at 10 units a second
const float kGroundPush = -0.005f;    // the standing body's push into the ground over 10 ms

} // namespace

Level::Level(const std::string& levelName, std::unique_ptr<XScene> levelScene, std::vector<XVector3> worldCorners)
    : name(levelName), scene(std::move(levelScene)), corners(std::move(worldCorners)), check(corners, kPlayerScale)
{
}

Level::~Level()
{
    if (scene) {
        delete scene->GetOctree();
    }
}

std::unique_ptr<Level> LoadDefaultLevel(const std::string& buildDirectory)
{
    const std::string text = ReadWholeFile(buildDirectory + "/data/scene/world.msa");
    if (text.empty()) {
        return nullptr;
    }
    auto scene = std::make_unique<XScene>();
    XSceneLoader loader;
    loader.SetScene(scene.get());
    loader.LoadFromMemory(reinterpret_cast<const unsigned char*>(text.data()), static_cast<uint32_t>(text.size()));
    scene->SetupScene(BuildOctTree);
    if (scene->GetOctree() == nullptr) {
        return nullptr;
    }
    std::vector<XVector3> corners = WorldCorners(*scene);
    return std::make_unique<Level>("default level", std::move(scene), std::move(corners));
}

std::unique_ptr<Level> GeneratedRooms(uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> jitter(-1.0f, 1.0f);
    const float size = 12.0f;   // half the room's width
    const float height = 7.0f;
    SceneBuilder b;
    b.Floor(0.0f, -size, -size, size, size);
    b.Ceiling(height, -size, -size, size, size);
    // The walls, looking in.
    b.Quad(XVector3(size, 0.0f, -size), XVector3(size, height, -size), XVector3(-size, height, -size),
           XVector3(-size, 0.0f, -size));
    b.WallFacingMinusZ(size, -size, size, 0.0f, height);
    b.Quad(XVector3(-size, 0.0f, -size), XVector3(-size, height, -size), XVector3(-size, height, size),
           XVector3(-size, 0.0f, size));
    b.Quad(XVector3(size, 0.0f, size), XVector3(size, height, size), XVector3(size, height, -size),
           XVector3(size, 0.0f, -size));
    // An inner corner: an L of two thick walls.
    const float cx = 4.0f + jitter(random);
    const float cz = -4.0f + jitter(random);
    Box(b, XVector3(cx, 0.0f, cz), XVector3(size, height, cz + 0.5f));
    Box(b, XVector3(cx, 0.0f, cz - 6.0f), XVector3(cx + 0.5f, height, cz));
    // Thin walls, one a hair thick, and a one-sided plate at waist height (only its top face exists).
    const float tx = -5.0f + jitter(random);
    Box(b, XVector3(tx, 0.0f, -2.0f), XVector3(tx + 0.05f, 4.0f, 6.0f));
    Box(b, XVector3(tx - 4.0f, 0.0f, 8.0f), XVector3(tx + 2.0f, 3.0f, 8.005f));
    const float py = 1.2f + 0.3f * jitter(random);
    b.Floor(py, 6.0f, 6.0f, 10.0f, 10.0f);
    // Stairs of ten steps, 0.3 high and 0.6 deep.
    const float sx = -11.0f;
    for (int step = 0; step < 10; ++step) {
        const float z = -11.0f + 0.6f * static_cast<float>(step);
        Box(b, XVector3(sx, 0.0f, z), XVector3(sx + 3.0f, 0.3f * static_cast<float>(step + 1), -4.4f));
    }
    // A low ceiling: a slab whose underside is a little above a standing body's head (4 units), so a jump meets it.
    Box(b, XVector3(-3.0f, 4.4f + 0.2f * jitter(random), -11.0f), XVector3(3.0f, 4.9f, -6.0f));
    // A steep slope (60 degrees) and a gentle ramp (25 degrees).
    Wedge(b, 6.0f, 9.0f, 0.0f, -11.5f, -9.5f, 2.0f * std::tan(60.0f * 3.14159265f / 180.0f));
    Wedge(b, -2.0f, 1.0f, 0.0f, 2.0f, 8.0f, 6.0f * std::tan(25.0f * 3.14159265f / 180.0f));
    // Pillars.
    for (int i = 0; i < 3; ++i) {
        const float x = -8.0f + 5.0f * static_cast<float>(i) + jitter(random);
        const float z = 9.0f + jitter(random);
        Box(b, XVector3(x, 0.0f, z), XVector3(x + 0.6f, height, z + 0.6f));
    }
    std::unique_ptr<XScene> scene = b.Build();
    std::vector<XVector3> corners = WorldCorners(*scene);
    return std::make_unique<Level>("generated rooms " + std::to_string(seed), std::move(scene), std::move(corners));
}

std::vector<XMotion> WalkingMotions(const Level& level, int count, uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> angle(0.0f, 6.2831853f);
    std::uniform_real_distribution<float> turn(-1.0472f, 1.0472f);
    const FloorSampler floors(level.corners);
    if (floors.Empty()) {
        return {};
    }
    return Collect(count, [&](XMotion& motion, size_t made) {
        XVector3 start;
        if (!StandOn(level, floors.Pick(level.corners, random), start)) {
            return false;
        }
        const float heading = angle(random);
        motion.position = start;
        if (made % 3 == 2) {
            // Walk up to whatever lies ahead, within 12 units, and stand against it: steps as long as the room
            // around allows (a step of d units moves the body at most 11 d in the stretched space).
            const XVector3 ahead = Horizontal(heading);
            float reached = 0.0f;
            bool blocked = false;
            while (reached < 12.0f) {
                const double room = ClearanceAt(level, start + ahead * reached) - kClearStart;
                if (room < 0.011) {
                    blocked = true;
                    break;
                }
                reached += static_cast<float>(room / 11.0);
            }
            if (!blocked) {
                return false;
            }
            motion.position = start + ahead * reached;
            motion.velocity = Horizontal(heading + turn(random)) * kFrameMove + XVector3(0.0f, kGroundPush, 0.0f);
        } else {
            motion.velocity = Horizontal(heading) * kFrameMove + XVector3(0.0f, kGroundPush, 0.0f);
        }
        return ClearanceAt(level, motion.position) >= kClearStart;
    });
}

std::vector<XMotion> EmbeddedMotions(const Level& level, int count, uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> angle(0.0f, 6.2831853f);
    std::uniform_real_distribution<float> sink(0.02f, 0.2f);
    const FloorSampler floors(level.corners);
    if (floors.Empty()) {
        return {};
    }
    return Collect(count, [&](XMotion& motion, size_t) {
        XVector3 start;
        if (!StandOn(level, floors.Pick(level.corners, random), start)) {
            return false;
        }
        // Sunk into the floor by 0.02 to 0.2 units (0.1 to 1 in the stretched space).
        start.y -= sink(random);
        const double clearance = ClearanceAt(level, start);
        if (clearance < kBodyRadius - 1.05 || clearance > kBodyRadius - 0.1) {
            return false;
        }
        motion.position = start;
        motion.velocity = Horizontal(angle(random)) * kFrameMove + XVector3(0.0f, kGroundPush, 0.0f);
        return true;
    });
}

std::vector<XMotion> RandomMotions(const Level& level, int count, uint32_t seed, float maxLength)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::normal_distribution<float> gauss(0.0f, 1.0f);
    const FloorSampler floors(level.corners);
    if (floors.Empty()) {
        return {};
    }
    return Collect(count, [&](XMotion& motion, size_t made) {
        const XVector3 floorPoint = floors.Pick(level.corners, random);
        const XVector3 start = floorPoint + XVector3(0.0f, 2.0f + 3.0f * unit(random), 0.0f);
        if (ClearanceAt(level, start) < kClearStart) {
            return false;
        }
        XVector3 direction(gauss(random), gauss(random), gauss(random));
        if (direction.Length() < 1e-3f) {
            return false;
        }
        // Lengths spread evenly over the range, in turn, so that every band gets its share.
        const float band = static_cast<float>(made % 10);
        const float length = maxLength * (band + unit(random)) / 10.0f;
        motion.position = start;
        motion.velocity = direction.Normalized() * length;
        return true;
    });
}

TunnelReport MeasureTunnelling(const Level& level, const std::vector<XMotion>& motions, float maxLength)
{
    TunnelReport report;
    report.maxLength = maxLength;
    XCollision collision;
    for (const XMotion& motion : motions) {
        GetDebugText()->Clear();
        const XVector3 end = collision.CollideAndSlide(level.scene.get(), motion, kPlayerScale);
        const Verdict verdict = Judge(level, motion, end);
        const int band = std::min(TunnelReport::kBands - 1,
                                  static_cast<int>(motion.velocity.Length() / maxLength * TunnelReport::kBands));
        ++report.motions[band];
        report.embedded[band] += verdict.embedded ? 1 : 0;
        report.crossed[band] += verdict.crossed ? 1 : 0;
        report.failed[band] += verdict.Failed() ? 1 : 0;
        if (verdict.Failed() && report.examples.size() < 5) {
            char line[256];
            std::snprintf(line, sizeof(line), "from (%.4f, %.4f, %.4f) by (%.4f, %.4f, %.4f) to (%.4f, %.4f, %.4f): %s%s, clearance %.3f",
                          motion.position.x, motion.position.y, motion.position.z, motion.velocity.x, motion.velocity.y,
                          motion.velocity.z, end.x, end.y, end.z, verdict.embedded ? "embedded " : "",
                          verdict.crossed ? "crossed" : "", verdict.clearance);
            report.examples.push_back(line);
        }
    }
    return report;
}

int TunnelReport::TotalFailed() const
{
    int total = 0;
    for (const int f : failed) {
        total += f;
    }
    return total;
}

std::string TunnelReport::Table() const
{
    std::string text = "  length (units)   motions   embedded   crossed   failed\n";
    for (int band = 0; band < kBands; ++band) {
        char line[160];
        std::snprintf(line, sizeof(line), "  %5.1f - %5.1f   %8d   %8d   %7d   %6d (%.3f %%)\n",
                      maxLength * band / kBands, maxLength * (band + 1) / kBands, motions[band], embedded[band],
                      crossed[band], failed[band], motions[band] > 0 ? 100.0 * failed[band] / motions[band] : 0.0);
        text += line;
    }
    for (const std::string& example : examples) {
        text += "  e.g. " + example + "\n";
    }
    return text;
}

Verdict Judge(const Level& level, const XMotion& motion, const XVector3& end)
{
    Verdict verdict;
    const XVector3d from = level.check.Scaled(motion.position);
    const XVector3d to = level.check.Scaled(end);
    verdict.clearance = level.check.Clearance(to, 2.0 * kBodyRadius);
    verdict.embedded = !(verdict.clearance >= kEmbedded);
    verdict.crossed = level.check.Crosses(from, to);
    return verdict;
}

} // namespace lab
