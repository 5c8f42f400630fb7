// Visibility: what the compiler works out about which cells see which, read back by the engine. A room whose
// door opens on a corridor that turns a corner: from the room the corridor's first leg is seen and its far
// branch, behind the corner, is not. A file that does not fit its world is refused with the reason.
#include "LevelTestSupport.h"

#include "render/XVisibleWorld.h"
#include "scene/XMesh.h"
#include "scene/XVisibility.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <numeric>
#include <string>
#include <vector>

namespace {

std::string CornerLevel()
{
    return "level corner\n"
           "texel 1\n"
           "page 256\n"
           "ambient 0.3 0.3 0.3\n"
           "spawn 0 0 0\n"
           "material wall wall.jpg 4\n"
           "material floor floor.jpg 4\n"
           // The room: x -8..8, z -8..8, 6 high, a door in its north wall.
           "box -9 -1 -9  9 0 9  mat floor\n"
           "box -9 6 -9  9 7 9  mat wall\n"
           "box -9 0 -9  -8 6 9  mat wall\n"
           "box 8 0 -9  9 6 9  mat wall\n"
           "box -8 0 -9  8 6 -8  mat wall\n"
           "doorway -8 0 8  8 6 9  across z width 4 height 5  mat wall\n"
           // The corridor north, x -2..2 up to z 40, then east along z 35..40 to x 60.
           "box -3 -1 9  3 0 41  mat floor\n"
           "box -3 6 9  3 7 41  mat wall\n"
           "box -3 0 9  -2 6 41  mat wall\n"
           "box 2 0 9  3 6 35  mat wall\n"
           "box -2 0 40  2 6 41  mat wall\n"
           "box 3 -1 34  61 0 41  mat floor\n"
           "box 3 6 34  61 7 41  mat wall\n"
           "box 3 0 34  61 6 35  mat wall\n"
           "box 3 0 40  61 6 41  mat wall\n"
           "box 60 0 35  61 6 40  mat wall\n"
           "light 0 4 0 color 1 1 1 radius 20\n";
}

struct Compiled {
    XSceneFile scene;
    std::string bytes;
    int triangles = 0;
};

const Compiled& CornerCompiled()
{
    static const Compiled compiled = [] {
        Compiled result;
        const ScratchDirectory scratch("korvath-level-visibility");
        const std::string folder = scratch.Path().string();
        level_test::WriteStandInTextures(folder, {"wall.jpg", "floor.jpg"});
        const XCompileStats stats = level_test::CompileText(CornerLevel(), folder, result.scene);
        result.triangles = stats.worldTriangles;
        result.bytes = ReadWholeFile(folder + "/scene/world.vis");
        return result;
    }();
    return compiled;
}

const unsigned char* BytesOf(const std::string& text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

// Whether any owner cell whose box is centred within x0..x1, z0..z1 is seen from the view cell.
bool SeesAnyWithin(const XVisibility& visibility, int view, float x0, float x1, float z0, float z1, int& found)
{
    bool sees = false;
    for (int o = 0; o < visibility.OwnerCount(); ++o) {
        const XVisibility::OwnerCell& owner = visibility.Owner(o);
        const float x = (owner.min.x + owner.max.x) / 2.0f;
        const float z = (owner.min.z + owner.max.z) / 2.0f;
        if (x >= x0 && x <= x1 && z >= z0 && z <= z1) {
            ++found;
            sees = sees || visibility.Sees(view, o);
        }
    }
    return sees;
}

} // namespace

TEST(Visibility, TheRoomSeesTheCorridorsFirstLegButNotTheBranchBehindTheCorner)
{
    const Compiled& compiled = CornerCompiled();
    XVisibility visibility;
    std::string problem;
    ASSERT_TRUE(visibility.Load(BytesOf(compiled.bytes), compiled.bytes.size(), compiled.triangles, problem))
        << problem;

    // The drawing order holds every triangle once, and the runs cover it.
    std::vector<int32_t> order = visibility.Order();
    std::sort(order.begin(), order.end());
    std::vector<int32_t> all(static_cast<size_t>(compiled.triangles));
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(order, all);

    const int room = visibility.ViewCellAt(XVector3(0.0f, 3.0f, 0.0f));
    ASSERT_GE(room, 0) << "the spawn's eye is in a view cell";
    int leg = 0;
    int branch = 0;
    EXPECT_TRUE(SeesAnyWithin(visibility, room, -3.5f, 3.5f, 9.5f, 33.0f, leg)) << "the corridor behind the door";
    EXPECT_FALSE(SeesAnyWithin(visibility, room, 24.0f, 62.0f, 33.5f, 41.5f, branch)) << "the branch behind the corner";
    EXPECT_GT(leg, 0);
    EXPECT_GT(branch, 0);
    // From the far end of the branch, its own walls are seen.
    const int end = visibility.ViewCellAt(XVector3(50.0f, 3.0f, 37.5f));
    ASSERT_GE(end, 0);
    int near = 0;
    EXPECT_TRUE(SeesAnyWithin(visibility, end, 24.0f, 62.0f, 33.5f, 41.5f, near));
    EXPECT_EQ(visibility.ViewCellAt(XVector3(0.0f, 500.0f, 0.0f)), -1) << "far outside the level";

    // The sets hold for an eye in the open space the player can reach, grown by one cell of the compiler's fine
    // grid (half a unit): pressed against a wall, but not inside one, nor in the floor's or the ceiling's slab.
    EXPECT_TRUE(visibility.EyeMayBeAt(XVector3(0.0f, 3.0f, 0.0f)));
    EXPECT_TRUE(visibility.EyeMayBeAt(XVector3(50.0f, 5.9f, 37.5f))) << "under the branch's ceiling";
    EXPECT_TRUE(visibility.EyeMayBeAt(XVector3(-8.3f, 3.0f, 0.0f))) << "0.3 into the room's west wall";
    EXPECT_FALSE(visibility.EyeMayBeAt(XVector3(-8.8f, 3.0f, 0.0f))) << "0.8 into the 1-unit wall";
    EXPECT_FALSE(visibility.EyeMayBeAt(XVector3(0.0f, -0.8f, 0.0f))) << "in the floor's slab";
    EXPECT_FALSE(visibility.EyeMayBeAt(XVector3(0.0f, 6.8f, 0.0f))) << "in the ceiling's slab";
    EXPECT_FALSE(visibility.EyeMayBeAt(XVector3(30.0f, 3.0f, 20.0f))) << "between the corridor's legs";
    EXPECT_FALSE(visibility.EyeMayBeAt(XVector3(0.0f, 500.0f, 0.0f))) << "far outside the level";
}

TEST(Visibility, AFileThatDoesNotFitItsWorldIsRefusedWithTheReason)
{
    const Compiled& compiled = CornerCompiled();
    XVisibility visibility;
    std::string problem;
    EXPECT_FALSE(visibility.Load(BytesOf(compiled.bytes), compiled.bytes.size(), compiled.triangles + 1, problem));
    EXPECT_NE(problem.find("triangle count"), std::string::npos) << problem;
    EXPECT_TRUE(visibility.Empty());
    for (const size_t cut : {size_t{0}, size_t{3}, size_t{40}, compiled.bytes.size() / 2, compiled.bytes.size() - 1}) {
        problem.clear();
        EXPECT_FALSE(visibility.Load(BytesOf(compiled.bytes), cut, compiled.triangles, problem)) << "cut at " << cut;
        EXPECT_FALSE(problem.empty());
    }
    std::string longer = compiled.bytes + "x";
    EXPECT_FALSE(visibility.Load(BytesOf(longer), longer.size(), compiled.triangles, problem));
    // A drawing order that names a triangle twice.
    std::string twice = compiled.bytes;
    const size_t orderStart = 4 * 11;
    twice.replace(orderStart + 4, 4, twice.substr(orderStart, 4));
    EXPECT_FALSE(visibility.Load(BytesOf(twice), twice.size(), compiled.triangles, problem));
    EXPECT_NE(problem.find("drawing order"), std::string::npos) << problem;
    // How far the compiler looked comes with the file; a reach that is not a positive distance is refused.
    ASSERT_TRUE(visibility.Load(BytesOf(compiled.bytes), compiled.bytes.size(), compiled.triangles, problem));
    EXPECT_GT(visibility.Reach(), 300.0f);
    std::string noReach = compiled.bytes;
    noReach.replace(12, 4, std::string(4, '\0'));
    EXPECT_FALSE(visibility.Load(BytesOf(noReach), noReach.size(), compiled.triangles, problem));
}

namespace {

// A mesh of the world's positions (all of them) and its triangles first .. first + count - 1.
std::unique_ptr<XMesh> PartMesh(const XSceneObject& world, int first, int count)
{
    std::unique_ptr<XMesh> mesh = std::make_unique<XMesh>();
    mesh->Create(world.VertexCount(), count, 0x1);
    std::copy(world.positions.begin(), world.positions.end(), mesh->GetPositions());
    for (int t = 0; t < count; ++t) {
        const std::array<int, 3>& corners = world.triangles[static_cast<size_t>(first + t)];
        for (size_t k = 0; k < 3; ++k) {
            mesh->GetTriangles()[3 * static_cast<size_t>(t) + k] = static_cast<uint16_t>(corners[k]);
        }
    }
    return mesh;
}

using Triangle = std::array<uint16_t, 3>;

// The triangles a selection draws of each material in a part, in order.
std::map<int, std::vector<Triangle>> Drawn(const XVisibleWorld& world, int part, int materials)
{
    std::map<int, std::vector<Triangle>> drawn;
    for (int material = 0; material < materials; ++material) {
        for (const XVisibleWorld::Draw& draw : world.DrawsOf(part, material)) {
            for (int t = 0; t < draw.count; ++t) {
                const uint16_t* const i = draw.indices + 3 * t;
                drawn[material].push_back(Triangle{i[0], i[1], i[2]});
            }
        }
    }
    return drawn;
}

} // namespace

TEST(Visibility, AWorldInPartsDrawsWhatTheWholeWorldDrawsEachPartInTheSameOrder)
{
    const Compiled& compiled = CornerCompiled();
    const XSceneObject& world = compiled.scene.objects.front();
    ASSERT_EQ(world.TriangleCount(), compiled.triangles);
    const int split = compiled.triangles / 3;
    const std::unique_ptr<XMesh> whole = PartMesh(world, 0, compiled.triangles);
    const std::unique_ptr<XMesh> first = PartMesh(world, 0, split);
    const std::unique_ptr<XMesh> second = PartMesh(world, split, compiled.triangles - split);
    std::set<Triangle> ofFirst;
    for (int t = 0; t < split; ++t) {
        const uint16_t* const i = first->GetTriangles() + 3 * t;
        ofFirst.insert(Triangle{i[0], i[1], i[2]});
    }
    ASSERT_EQ(ofFirst.size(), static_cast<size_t>(split)) << "the test tells the parts apart by their corners";

    XVisibleWorld one;
    XVisibleWorld two;
    XVisibility data;
    std::string problem;
    ASSERT_TRUE(data.Load(BytesOf(compiled.bytes), compiled.bytes.size(), compiled.triangles, problem)) << problem;
    ASSERT_TRUE(one.Set(data, {whole.get()}));
    EXPECT_FALSE(two.Set(data, {first.get()})) << "the parts must hold the data's triangles";
    ASSERT_TRUE(two.Set(data, {first.get(), second.get()}));

    // A 60-degree view 100 units deep from the room, the door and the corridor's corner, in four directions.
    const float n = 0.1f;
    const float f = 100.0f;
    const float cot = 1.0f / std::tan(0.5236f);
    const float projection[16] = {cot / 1.333f, 0, 0, 0, 0, cot, 0, 0, 0, 0, (f + n) / (n - f), -1, 0, 0, 2 * f * n / (n - f), 0};
    int checked = 0;
    for (const XVector3& eye : {XVector3(0.0f, 3.0f, 0.0f), XVector3(0.0f, 3.0f, 8.5f), XVector3(0.0f, 3.0f, 37.0f)}) {
        for (int turn = 0; turn < 4; ++turn) {
            const float yaw = static_cast<float>(turn) * 1.5708f;
            const float c = std::cos(yaw);
            const float s = std::sin(yaw);
            // Rotation about y by yaw, then the eye moved to the origin.
            const float modelview[16] = {c, 0, s, 0, 0, 1, 0, 0, -s, 0, c, 0,
                                         -(c * eye.x - s * eye.z), -eye.y, -(s * eye.x + c * eye.z), 1};
            ASSERT_TRUE(one.Select(projection, modelview));
            ASSERT_TRUE(two.Select(projection, modelview));
            EXPECT_EQ(one.SelectedTriangles(), two.SelectedTriangles());
            const std::map<int, std::vector<Triangle>> all = Drawn(one, 0, 64);
            const std::map<int, std::vector<Triangle>> a = Drawn(two, 0, 64);
            const std::map<int, std::vector<Triangle>> b = Drawn(two, 1, 64);
            for (const auto& [material, triangles] : all) {
                std::vector<Triangle> expectA;
                std::vector<Triangle> expectB;
                for (const Triangle& t : triangles) {
                    (ofFirst.count(t) != 0 ? expectA : expectB).push_back(t);
                }
                EXPECT_EQ(a.count(material) != 0 ? a.at(material) : std::vector<Triangle>{}, expectA) << material;
                EXPECT_EQ(b.count(material) != 0 ? b.at(material) : std::vector<Triangle>{}, expectB) << material;
                checked += static_cast<int>(triangles.size());
            }
        }
    }
    EXPECT_GT(checked, compiled.triangles) << "the views draw something";
}

// Each material's runs come nearest cell first, so that the depth test spares the rasteriser what lies behind
// them: from the corridor's far end looking back at the room, the cells' stored order would start in the room.
TEST(Visibility, AMaterialsRunsComeNearestCellFirst)
{
    const Compiled& compiled = CornerCompiled();
    const XSceneObject& world = compiled.scene.objects.front();
    const std::unique_ptr<XMesh> whole = PartMesh(world, 0, compiled.triangles);
    XVisibility data;
    std::string problem;
    ASSERT_TRUE(data.Load(BytesOf(compiled.bytes), compiled.bytes.size(), compiled.triangles, problem)) << problem;
    // The owner cell of every triangle, by its corners.
    std::map<Triangle, int> ownerOf;
    for (int o = 0; o < data.OwnerCount(); ++o) {
        for (const XVisibility::Run& run : data.Owner(o).runs) {
            for (int i = run.first; i < run.first + run.count; ++i) {
                const uint16_t* const c = whole->GetTriangles() + 3 * data.Order()[static_cast<size_t>(i)];
                ownerOf[Triangle{c[0], c[1], c[2]}] = o;
            }
        }
    }
    XVisibleWorld visible;
    ASSERT_TRUE(visible.Set(data, {whole.get()}));

    // A 90-degree view from (0, 3, 38) towards -z, down the corridor into the room.
    const float n = 0.1f;
    const float f = 100.0f;
    const float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, (f + n) / (n - f), -1, 0, 0, 2 * f * n / (n - f), 0};
    const XVector3 eye(0.0f, 3.0f, 38.0f);
    const float modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -eye.x, -eye.y, -eye.z, 1};
    ASSERT_TRUE(visible.Select(projection, modelview));
    auto distance = [&](int o) {
        const XVisibility::OwnerCell& cell = data.Owner(o);
        const XVector3 near(std::clamp(eye.x, cell.min.x, cell.max.x), std::clamp(eye.y, cell.min.y, cell.max.y),
                            std::clamp(eye.z, cell.min.z, cell.max.z));
        return std::sqrt((near.x - eye.x) * (near.x - eye.x) + (near.y - eye.y) * (near.y - eye.y) +
                         (near.z - eye.z) * (near.z - eye.z));
    };
    int runs = 0;
    float farthest = 0.0f;
    for (int material = 0; material < 64; ++material) {
        float last = 0.0f;
        for (const XVisibleWorld::Draw& draw : visible.DrawsOf(0, material)) {
            const Triangle first{draw.indices[0], draw.indices[1], draw.indices[2]};
            ASSERT_EQ(ownerOf.count(first), 1u);
            const float d = distance(ownerOf.at(first));
            EXPECT_GE(d, last) << "material " << material << ", run " << runs;
            last = d;
            farthest = std::max(farthest, d);
            ++runs;
        }
    }
    EXPECT_GT(farthest, 25.0f) << "the view reaches the room";

    // A material's runs as one draw: the same triangles in the same order.
    int joinedSeveral = 0;
    for (int material = 0; material < 64; ++material) {
        std::vector<Triangle> ofRuns;
        for (const XVisibleWorld::Draw& run : visible.DrawsOf(0, material)) {
            for (int i = 0; i < run.count; ++i) {
                ofRuns.push_back(Triangle{run.indices[3 * i], run.indices[3 * i + 1], run.indices[3 * i + 2]});
            }
        }
        const XVisibleWorld::Draw joined = visible.JoinedDrawOf(0, material);
        std::vector<Triangle> ofJoined;
        for (int i = 0; i < joined.count; ++i) {
            ofJoined.push_back(Triangle{joined.indices[3 * i], joined.indices[3 * i + 1], joined.indices[3 * i + 2]});
        }
        EXPECT_EQ(ofJoined, ofRuns) << "material " << material;
        joinedSeveral += visible.DrawsOf(0, material).size() > 1 ? 1 : 0;
    }
    EXPECT_GT(joinedSeveral, 0);

    // The order across materials draws the same runs, band by band, nearest band first, each band's runs a
    // material at a time; runs that follow one another with the same material are one draw.
    std::vector<Triangle> expected;
    float farthestOfEarlierBands = 0.0f;
    int band = 0;
    for (; band < 16; ++band) {
        float farthestOfBand = 0.0f;
        for (int material = 0; material < 64; ++material) {
            for (const XVisibleWorld::Draw& run : visible.DrawsOf(0, material)) {
                if (run.band != band) {
                    continue;
                }
                const float d = distance(ownerOf.at(Triangle{run.indices[0], run.indices[1], run.indices[2]}));
                EXPECT_GE(d, farthestOfEarlierBands) << "band " << band;
                farthestOfBand = std::max(farthestOfBand, d);
                for (int i = 0; i < run.count; ++i) {
                    const uint16_t* const c = run.indices + 3 * i;
                    expected.push_back(Triangle{c[0], c[1], c[2]});
                }
            }
        }
        if (farthestOfBand > 0.0f) {
            farthestOfEarlierBands = farthestOfBand;
        }
    }
    std::vector<Triangle> drawn;
    int lastMaterial = -1;
    for (const XVisibleWorld::OrderedDraw& draw : visible.NearToFar()) {
        ASSERT_EQ(draw.part, 0);
        EXPECT_NE(draw.material, lastMaterial) << "two draws of one material in a row";
        lastMaterial = draw.material;
        for (int i = 0; i < draw.run.count; ++i) {
            const uint16_t* const c = draw.run.indices + 3 * i;
            drawn.push_back(Triangle{c[0], c[1], c[2]});
        }
    }
    EXPECT_EQ(drawn, expected);
    EXPECT_LT(static_cast<int>(visible.NearToFar().size()), runs) << "some runs are joined";
    band = 0;
    for (int material = 0; material < 64; ++material) {
        for (const XVisibleWorld::Draw& run : visible.DrawsOf(0, material)) {
            band = std::max(band, run.band);
        }
    }
    EXPECT_GT(band, 0) << "the view spans several bands";
}
