// What the weapons leave on screen, from screenshots of fixed-step runs on a lit wall 10.25 units ahead: bullet
// holes where the shots hit, their fade, sparks flying from a fresh hole, the rocket's glow in flight, and the
// explosion's animated fireball with its glow. The hit point of a straight shot is the picture's centre; at
// 10.25 units one world unit spans about 50 pixels (60-degree vertical field of view over 600 pixels).
#include "WeaponLevels.h"

#include <gtest/gtest.h>

#include <algorithm> // std::min, std::max
#include <cmath>     // std::abs (double)
#include <cstdlib>   // std::abs (int)
#include <vector>

namespace {

constexpr float kWall = 10.25f;
constexpr int kCentreX = 400;
constexpr int kCentreY = 300;

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    int Sum() const { return r + g + b; }
};

Rgb At(const Picture& picture, int x, int y)
{
    const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(picture.width) + static_cast<size_t>(x)) * 3;
    return {picture.rgb[i], picture.rgb[i + 1], picture.rgb[i + 2]};
}

// The pixels (as x, y) where a condition holds.
struct PixelSet {
    std::vector<std::pair<int, int>> pixels;
    int minX = 1 << 20;
    int maxX = -1;
    int minY = 1 << 20;
    int maxY = -1;

    void Add(int x, int y)
    {
        pixels.emplace_back(x, y);
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    int Count() const { return static_cast<int>(pixels.size()); }
    int Width() const { return pixels.empty() ? 0 : maxX - minX + 1; }
    int Height() const { return pixels.empty() ? 0 : maxY - minY + 1; }
    // Whether every pixel lies within `reach` pixels of the picture's centre on both axes.
    bool NearCentre(int reach) const
    {
        return pixels.empty() ||
               (minX >= kCentreX - reach && maxX <= kCentreX + reach && minY >= kCentreY - reach &&
                maxY <= kCentreY + reach);
    }
};

template <typename Condition>
PixelSet Select(const Picture& picture, Condition condition)
{
    PixelSet set;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (condition(x, y)) {
                set.Add(x, y);
            }
        }
    }
    return set;
}

// Pixels of the sparks' colour (1, 0, 0.3): strongly red, hardly green.
PixelSet SparkPixels(const Picture& picture)
{
    return Select(picture, [&](int x, int y) {
        const Rgb c = At(picture, x, y);
        return c.r > 200 && c.g < 60 && c.b > 40 && c.b < 120;
    });
}

// Pixels darker than in the plain picture by more than `margin` (sum of the three channels).
PixelSet DarkerThan(const Picture& picture, const Picture& plain, int margin)
{
    return Select(picture, [&](int x, int y) { return At(picture, x, y).Sum() < At(plain, x, y).Sum() - margin; });
}

// The number of separate 8-connected groups in a pixel set.
int Groups(const PixelSet& set, const Picture& picture)
{
    std::vector<int> mark(static_cast<size_t>(picture.width * picture.height), 0);
    for (const auto& p : set.pixels) {
        mark[static_cast<size_t>(p.second * picture.width + p.first)] = 1;
    }
    int groups = 0;
    std::vector<std::pair<int, int>> stack;
    for (const auto& p : set.pixels) {
        if (mark[static_cast<size_t>(p.second * picture.width + p.first)] != 1) {
            continue;
        }
        ++groups;
        stack.push_back(p);
        mark[static_cast<size_t>(p.second * picture.width + p.first)] = 2;
        while (!stack.empty()) {
            const auto q = stack.back();
            stack.pop_back();
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const int x = q.first + dx;
                    const int y = q.second + dy;
                    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) {
                        continue;
                    }
                    int& m = mark[static_cast<size_t>(y * picture.width + x)];
                    if (m == 1) {
                        m = 2;
                        stack.emplace_back(x, y);
                    }
                }
            }
        }
    }
    return groups;
}

} // namespace

TEST(BulletHolePictures, ABurstLeavesDarkHolesOnTheLitWallAroundTheAimPoint)
{
    ScratchDirectory plainDirectory;
    const GameRunResult plainRun = GameRun(WallAhead(kWall)).Frames(140).Screenshot(140, "plain.png").Run(plainDirectory);
    ScratchDirectory directory;
    // Five shots (frames 30 to 70, the player standing since frame 25); the sparks are gone by frame 121.
    const GameRunResult run = GameRun(WallAhead(kWall))
                                  .Script("30 mouse down left\n71 mouse up left\n")
                                  .Frames(140)
                                  .Screenshot(140, "holes.png")
                                  .Run(directory);
    ASSERT_EQ(run.frames.size(), 140u);
    ASSERT_EQ(run.Frame(140).Int("decals"), 5);
    ASSERT_EQ(run.Frame(140).Int("projectiles"), 0);
    const Picture plain = plainRun.Screenshot("plain.png");
    const Picture holes = run.Screenshot("holes.png");
    ASSERT_EQ(holes.width, 800);
    const Rgb wall = At(plain, kCentreX, kCentreY + 20);
    EXPECT_GT(wall.Sum(), 300) << "the wall is lit";
    const PixelSet dark = DarkerThan(holes, plain, 60);
    EXPECT_GT(dark.Count(), 5 * 20) << "five marks of 0.4 units (about 20 pixels) square";
    // A spread of up to 4 degrees either way reaches 0.72 units (36 pixels) from the aim point; a hole's half
    // side adds 10, and its texture's soft edge a little more.
    EXPECT_TRUE(dark.NearCentre(36 + 10 + 2)) << dark.minX << ".." << dark.maxX << ", " << dark.minY << ".." << dark.maxY;
    EXPECT_GE(Groups(dark, holes), 3) << "each shot has its own spread";
    const PixelSet brighter =
        Select(holes, [&](int x, int y) { return At(holes, x, y).Sum() > At(plain, x, y).Sum() + 30; });
    EXPECT_EQ(brighter.Count(), 0) << "holes only darken";
}

TEST(BulletHolePictures, AHoleFadesToHalfItsDarknessAtSevenSeconds)
{
    ScratchDirectory plainDirectory;
    const GameRunResult plainRun =
        GameRun(WallAhead(kWall)).Frames(130).Screenshot(130, "plain.png").Run(plainDirectory);
    ScratchDirectory directory;
    // One shot at frame 30; at frame 730 the decal pass draws it at age 7000.
    const GameRunResult run = GameRun(WallAhead(kWall))
                                  .Script(Click(30, "left"))
                                  .Frames(730)
                                  .Screenshot(130, "fresh.png")
                                  .Screenshot(730, "faded.png")
                                  .Run(directory);
    const Picture plain = plainRun.Screenshot("plain.png");
    const Picture fresh = run.Screenshot("fresh.png");
    const Picture faded = run.Screenshot("faded.png");
    const PixelSet dark = DarkerThan(fresh, plain, 150);
    ASSERT_GT(dark.Count(), 4);
    // Drawn at alpha 0.5 over the wall, each pixel keeps half of its difference from the wall.
    int halved = 0;
    for (const auto& p : dark.pixels) {
        const double full = At(plain, p.first, p.second).Sum() - At(fresh, p.first, p.second).Sum();
        const double half = At(plain, p.first, p.second).Sum() - At(faded, p.first, p.second).Sum();
        halved += std::abs(half / full - 0.5) <= 0.05 ? 1 : 0;
    }
    EXPECT_EQ(halved, dark.Count());
}

TEST(SparkPictures, SparksFlyApartFromAFreshHoleAndAreGoneAfterHalfASecond)
{
    ScratchDirectory directory;
    const GameRunResult run = GameRun(WallAhead(kWall))
                                  .Script(Click(30, "left"))
                                  .Frames(81)
                                  .Screenshot(29, "before.png")
                                  .Screenshot(40, "early.png")
                                  .Screenshot(70, "late.png")
                                  .Screenshot(81, "gone.png")
                                  .Run(directory);
    EXPECT_EQ(SparkPixels(run.Screenshot("before.png")).Count(), 0);
    const PixelSet early = SparkPixels(run.Screenshot("early.png"));
    const PixelSet late = SparkPixels(run.Screenshot("late.png"));
    // The sparks that leave the wall towards the viewer show as 3-pixel points; after 100 ms each has moved at
    // most 0.25 units (about 13 pixels) along each axis.
    EXPECT_GE(early.Count(), 5 * 9) << "at least five sparks in front of the wall";
    EXPECT_LE(early.Width(), 2 * 13 + 3 + 4);
    EXPECT_LE(early.Height(), 2 * 13 + 3 + 4);
    EXPECT_TRUE(early.NearCentre(36 + 16));
    EXPECT_GT(late.Width(), early.Width()) << "flying apart";
    EXPECT_GT(late.Height(), early.Height());
    EXPECT_EQ(SparkPixels(run.Screenshot("gone.png")).Count(), 0) << "gone 510 ms after the shot";
}

TEST(RocketPictures, TheRocketGlowsInFlightAndItsExplosionShowsAnAnimatedFireballWithAGlow)
{
    ScratchDirectory directory;
    // Launched at frame 60, the rocket hits the wall at frame 68 (explosion age 0).
    const GameRunResult run = GameRun(WallAhead(kWall))
                                  .Script(Tap(10, "TAB") + Click(60, "left"))
                                  .Frames(107)
                                  .Screenshot(59, "before.png")
                                  .Screenshot(64, "flying.png")
                                  .Screenshot(70, "young.png")
                                  .Screenshot(80, "grown.png")
                                  .Screenshot(107, "over.png")
                                  .Run(directory);
    ASSERT_EQ(run.frames.size(), 107u);
    const int hit = FirstFrame(run, 60, [](const TraceFrame& f) { return f.Int("explosions") > 0; });
    ASSERT_EQ(hit, 68);
    const Picture before = run.Screenshot("before.png");
    auto brighter = [&](const Picture& picture) {
        return Select(picture, [&](int x, int y) { return At(picture, x, y).Sum() > At(before, x, y).Sum() + 30; });
    };
    auto orange = [](const Picture& picture) {
        return Select(picture, [&](int x, int y) {
            const Rgb c = At(picture, x, y);
            return c.r > 200 && c.g > 60 && c.g < 200 && c.b < 100;
        });
    };
    EXPECT_EQ(orange(before).Count(), 0);

    // In flight: two added glow squares of 0.4 units on the line of sight, nothing orange.
    const Picture flying = run.Screenshot("flying.png");
    const PixelSet glow = brighter(flying);
    EXPECT_GT(glow.Count(), 200);
    EXPECT_TRUE(glow.NearCentre(60));
    EXPECT_EQ(orange(flying).Count(), 0);

    // The explosion: a fireball around the hit point, straight ahead.
    const Picture young = run.Screenshot("young.png");
    const Picture grown = run.Screenshot("grown.png");
    const PixelSet youngFire = orange(young);
    const PixelSet grownFire = orange(grown);
    EXPECT_GT(youngFire.Count(), 300);
    EXPECT_TRUE(youngFire.NearCentre(80));
    EXPECT_GT(grownFire.Count(), youngFire.Count()) << "it grows with its age";
    EXPECT_TRUE(grownFire.NearCentre(120));
    // The glow is added over the wall around the fireball: a ring beyond the orange shows the wall lit up,
    // all three channels raised (the fireball's own smoke would darken it).
    int lit = 0;
    int ring = 0;
    for (int y = 0; y < young.height; ++y) {
        for (int x = 0; x < young.width; ++x) {
            const int dx = x - kCentreX;
            const int dy = y - kCentreY;
            const int r2 = dx * dx + dy * dy;
            if (r2 < 45 * 45 || r2 > 55 * 55) {
                continue;
            }
            ++ring;
            const Rgb now = At(young, x, y);
            const Rgb was = At(before, x, y);
            lit += (now.r > was.r && now.g > was.g && now.b >= was.b) ? 1 : 0;
        }
    }
    EXPECT_GT(lit, ring / 2) << lit << " of " << ring;
    // The animation frames change with the age (one every 75 ms): the middle of the fireball differs.
    int changed = 0;
    for (int y = kCentreY - 30; y <= kCentreY + 30; ++y) {
        for (int x = kCentreX - 30; x <= kCentreX + 30; ++x) {
            changed += std::abs(At(young, x, y).Sum() - At(grown, x, y).Sum()) > 30 ? 1 : 0;
        }
    }
    EXPECT_GT(changed, 100);

    // 390 ms after the hit the explosion is gone: nothing orange, and the scorch darkens the wall.
    const Picture over = run.Screenshot("over.png");
    EXPECT_EQ(run.Frame(107).Int("explosions"), 0);
    EXPECT_EQ(orange(over).Count(), 0);
    EXPECT_GT(DarkerThan(over, before, 150).Count(), 20) << "the scorch mark";
}
