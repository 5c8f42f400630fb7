// Tunnelling: motions of any length, up to 10 units, from starts checked clear must never end with the body
// inside geometry (nearer than 99 % of its radius to a triangle) or with the centre's straight path from start
// to end through a triangle, on the default level and on rooms made to catch collision code out (corners, thin
// walls and plates, stairs, low ceilings, steep slopes). A frame of up to 300 ms asks for such motions.
// KORVATH_TUNNEL_MOTIONS sets the motions per level (the long check, scripts/long-tests.sh, runs a million).
#include "lab/CollisionLab.h"

#include <gtest/gtest.h>

#include <cstdlib> // getenv, atoi

namespace {

int MotionsPerLevel()
{
    const char* const text = std::getenv("KORVATH_TUNNEL_MOTIONS");
    const int count = text != nullptr ? std::atoi(text) : 0;
    return count > 0 ? count : 20000;
}

} // namespace

TEST(Tunnelling, NoMotionOnTheDefaultLevelEndsInsideOrBehindGeometry)
{
    const std::unique_ptr<lab::Level> level = lab::LoadDefaultLevel(KORVATH_BINARY_DIR);
    ASSERT_NE(level, nullptr) << "the default level is not built";
    const int count = MotionsPerLevel();
    const std::vector<XMotion> motions = lab::RandomMotions(*level, count, 2024, 10.0f);
    ASSERT_EQ(static_cast<int>(motions.size()), count);
    const lab::TunnelReport report = lab::MeasureTunnelling(*level, motions, 10.0f);
    EXPECT_EQ(report.TotalFailed(), 0) << report.Table();
}

TEST(Tunnelling, NoMotionInRoomsOfCornersThinWallsStairsAndSlopesEndsInsideOrBehindGeometry)
{
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        const std::unique_ptr<lab::Level> rooms = lab::GeneratedRooms(seed);
        const int count = MotionsPerLevel() / 3;
        const std::vector<XMotion> motions = lab::RandomMotions(*rooms, count, 100 + seed, 10.0f);
        ASSERT_EQ(static_cast<int>(motions.size()), count);
        const lab::TunnelReport report = lab::MeasureTunnelling(*rooms, motions, 10.0f);
        EXPECT_EQ(report.TotalFailed(), 0) << rooms->name << "\n" << report.Table();
    }
}
