// The projectile list over exact frame times from the manual clock: integration with the new velocity,
// ageing, removal strictly after the lifetime, removal in the middle of the list, expiry, and the flight
// sounds that removal stops (checked on real channels of the silent sound driver).
#include "game/XProjectileList.h"

#include "shell/XTimer.h"
#include "sound/FSound.h"

#include <gtest/gtest.h>

#include <cstdint> // int16_t, uint32_t
#include <iterator> // std::next
#include <vector>

namespace {

// Runs one frame of the given length through the timer, then updates the list.
void Step(XProjectileList& list, double milliseconds)
{
    GetTimer()->AdvanceManualClock(milliseconds);
    GetTimer()->Update();
    list.Update();
}

class ProjectileListTest : public testing::Test {
protected:
    void SetUp() override
    {
        GetTimer()->UseManualClock();
        GetTimer()->Update(); // frame times from here on are exactly the steps below
    }
    void TearDown() override
    {
        if (GetTimer()->IsPaused()) {
            GetTimer()->Resume();
        }
    }

    XProjectileList list;
};

XProjectile Rocket(float lifetime, int32_t channel)
{
    XProjectile rocket;
    rocket.isRocket = true;
    rocket.lifetime = lifetime;
    rocket.channel = channel;
    rocket.velocity = XVector3(0.0f, 0.0f, 0.05f);
    return rocket;
}

} // namespace

using ProjectileIntegration = ProjectileListTest;

TEST_F(ProjectileIntegration, VelocityTakesTheAccelerationFirstAndThePositionMovesWithTheNewVelocity)
{
    list.Add(XVector3(1.0f, 2.0f, 3.0f), XVector3(1.0f, 2.0f, 0.0f), XVector3(0.0f, -0.5f, 0.25f), 1000.0f);
    Step(list, 4.0);
    const XProjectile& record = list.Records().front();
    // v = (1, 2, 0) + (0, -0.5, 0.25) * 4 = (1, 0, 1); p = (1, 2, 3) + v * 4.
    EXPECT_EQ(record.velocity, XVector3(1.0f, 0.0f, 1.0f));
    EXPECT_EQ(record.position, XVector3(5.0f, 2.0f, 7.0f));
    EXPECT_EQ(record.age, 4.0f);
    Step(list, 2.0);
    // v = (1, -1, 1.5); p += v * 2.
    EXPECT_EQ(record.velocity, XVector3(1.0f, -1.0f, 1.5f));
    EXPECT_EQ(record.position, XVector3(7.0f, 0.0f, 10.0f));
    EXPECT_EQ(record.age, 6.0f);
}

TEST_F(ProjectileIntegration, ASparkStartsAtAgeZeroWithoutSoundAndIsNoRocket)
{
    list.Add(XVector3(1.0f, 1.0f, 1.0f), XVector3(), XVector3(), 500.0f);
    const XProjectile& spark = list.Records().front();
    EXPECT_EQ(spark.age, 0.0f);
    EXPECT_EQ(spark.lifetime, 500.0f);
    EXPECT_FALSE(spark.isRocket);
    EXPECT_EQ(spark.channel, -1);
    EXPECT_EQ(list.RocketCount(), 0);
}

TEST_F(ProjectileIntegration, NothingMovesOrAgesWhilePaused)
{
    list.Add(XVector3(0.0f, 5.0f, 0.0f), XVector3(0.01f, 0.0f, 0.0f), XVector3(0.0f, -0.00001f, 0.0f), 500.0f);
    Step(list, 10.0);
    const XProjectile before = list.Records().front();
    GetTimer()->Pause();
    for (int i = 0; i < 100; ++i) {
        Step(list, 10.0);
    }
    const XProjectile& after = list.Records().front();
    EXPECT_EQ(after.position, before.position);
    EXPECT_EQ(after.velocity, before.velocity);
    EXPECT_EQ(after.age, before.age);
}

using ProjectileLifetime = ProjectileListTest;

TEST_F(ProjectileLifetime, AgeExactlyAtTheLifetimeStaysAndTheFirstStepBeyondRemovesIt)
{
    list.Add(Rocket(5000.0f, -1));
    for (int i = 0; i < 50; ++i) {
        Step(list, 100.0);
    }
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Records().front().age, 5000.0f);
    Step(list, 0.0); // a frame of no time changes nothing
    ASSERT_EQ(list.Count(), 1);
    Step(list, 1.0);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ProjectileLifetime, SparksOfFiveHundredMillisecondsLiveFiftyFramesOfTen)
{
    list.Add(XVector3(), XVector3(), XVector3(), 500.0f);
    for (int frame = 1; frame <= 50; ++frame) {
        Step(list, 10.0);
        ASSERT_EQ(list.Count(), 1) << "frame " << frame;
    }
    Step(list, 10.0);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ProjectileLifetime, RemovingMiddleRecordsLeavesEveryOtherAdvancedByExactlyOneFrame)
{
    // Short-lived records first, in the middle and last, around long-lived ones.
    const float lifetimes[6] = {5.0f, 1000.0f, 5.0f, 5.0f, 1000.0f, 5.0f};
    for (int i = 0; i < 6; ++i) {
        list.Add(XVector3(static_cast<float>(i), 0.0f, 0.0f), XVector3(0.0f, 1.0f, 0.0f), XVector3(),
                 lifetimes[i]);
    }
    Step(list, 10.0);
    ASSERT_EQ(list.Count(), 2);
    const XProjectile& first = list.Records().front();
    const XProjectile& second = *std::next(list.Records().begin());
    EXPECT_EQ(first.position, XVector3(1.0f, 10.0f, 0.0f));
    EXPECT_EQ(second.position, XVector3(4.0f, 10.0f, 0.0f));
    EXPECT_EQ(first.age, 10.0f);
    EXPECT_EQ(second.age, 10.0f);
}

TEST_F(ProjectileLifetime, AnExpiredRocketGoesWithTheNextUpdateEvenWhenItsFrameTimeIsZero)
{
    list.Add(Rocket(5000.0f, -1));
    list.Add(XVector3(), XVector3(), XVector3(), 500.0f);
    Step(list, 10.0);
    list.Expire(list.Records().front());
    EXPECT_EQ(list.Records().front().age, 5001.0f) << "expiry sets the age one past the lifetime";
    EXPECT_EQ(list.Count(), 2) << "expiry itself removes nothing";
    Step(list, 0.0);
    EXPECT_EQ(list.RocketCount(), 0);
    EXPECT_EQ(list.Count(), 1) << "the spark stays";
}

TEST_F(ProjectileLifetime, AnExpiredRocketGoesWhilePausedToo)
{
    list.Add(Rocket(5000.0f, -1));
    GetTimer()->Pause();
    list.Expire(list.Records().front());
    Step(list, 10.0);
    EXPECT_EQ(list.Count(), 0);
}

using ProjectileNodes = ProjectileListTest;

TEST_F(ProjectileNodes, RemovedRecordsLeaveTheirNodesForTheNextOnes)
{
    list.Reserve(4);
    ASSERT_EQ(list.Capacity(), 4u);
    for (int i = 0; i < 5; ++i) {
        list.Add(XVector3(), XVector3(), XVector3(), 5.0f);
    }
    EXPECT_EQ(list.Capacity(), 5u) << "a fifth record needs one node more";
    Step(list, 10.0);
    ASSERT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 5u) << "removal keeps the nodes";
    for (int i = 0; i < 5; ++i) {
        list.Add(XVector3(), XVector3(), XVector3(), 5.0f);
    }
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 5u) << "the records took the spare nodes, and clearing keeps them too";
}

TEST_F(ProjectileNodes, ARecordInARecycledNodeStartsAfresh)
{
    XProjectile rocket = Rocket(5.0f, 7);
    rocket.up = XVector3(0.0f, 1.0f, 0.0f);
    rocket.acceleration = XVector3(1.0f, 1.0f, 1.0f);
    list.Add(rocket);
    list.Expire(list.Records().front()); // channel 7 is no live handle: stopping it does nothing
    Step(list, 0.0);
    ASSERT_EQ(list.Count(), 0);

    list.Add(XVector3(1.0f, 2.0f, 3.0f), XVector3(), XVector3(), 500.0f);
    const XProjectile& spark = list.Records().front();
    EXPECT_EQ(spark.channel, -1);
    EXPECT_FALSE(spark.isRocket);
    EXPECT_EQ(spark.age, 0.0f);
    EXPECT_EQ(spark.acceleration, XVector3());
    EXPECT_EQ(spark.up, XVector3());
    EXPECT_EQ(spark.position, XVector3(1.0f, 2.0f, 3.0f));
}

TEST_F(ProjectileNodes, RecordsAddedAfterRemovalsFollowTheSurvivorsInTheOrderAdded)
{
    const float lifetimes[4] = {5.0f, 1000.0f, 5.0f, 1000.0f};
    for (int i = 0; i < 4; ++i) {
        list.Add(XVector3(static_cast<float>(i), 0.0f, 0.0f), XVector3(), XVector3(), lifetimes[i]);
    }
    Step(list, 10.0);
    for (int i = 4; i < 7; ++i) {
        list.Add(XVector3(static_cast<float>(i), 0.0f, 0.0f), XVector3(), XVector3(), 1000.0f);
    }
    std::vector<float> order;
    for (const XProjectile& record : list.Records()) {
        order.push_back(record.position.x);
    }
    EXPECT_EQ(order, (std::vector<float>{1.0f, 3.0f, 4.0f, 5.0f, 6.0f}));
}

// Sounds tied to records, on the silent driver (it plays and ends sounds on time, unheard).
class ProjectileSounds : public ProjectileListTest {
protected:
    void SetUp() override
    {
        ProjectileListTest::SetUp();
        FSOUND_SetOutput(FSOUND_OUTPUT_NOSOUND);
        ASSERT_TRUE(FSOUND_Init(44100, 16, 0));
        const std::vector<unsigned char> wav = ToneWav();
        loop = FSOUND_Sample_Load(FSOUND_FREE, wav.data(), FSOUND_LOADMEMORY | FSOUND_LOOP_NORMAL,
                                  static_cast<int>(wav.size()));
        ASSERT_NE(loop, nullptr);
        FSOUND_Sample_SetLoopMode(loop, FSOUND_LOOP_NORMAL);
    }
    void TearDown() override
    {
        FSOUND_Sample_Free(loop);
        FSOUND_Close();
        ProjectileListTest::TearDown();
    }

    // A tenth of a second of a 16-bit mono tone as a WAV file.
    static std::vector<unsigned char> ToneWav()
    {
        const uint32_t rate = 44100;
        const uint32_t samples = rate / 10;
        std::vector<unsigned char> bytes;
        auto text = [&](const char* four) {
            for (int i = 0; i < 4; ++i) {
                bytes.push_back(static_cast<unsigned char>(four[i]));
            }
        };
        auto u32 = [&](uint32_t v) {
            for (int i = 0; i < 4; ++i) {
                bytes.push_back(static_cast<unsigned char>(v >> (8 * i)));
            }
        };
        auto u16 = [&](uint32_t v) {
            bytes.push_back(static_cast<unsigned char>(v));
            bytes.push_back(static_cast<unsigned char>(v >> 8));
        };
        text("RIFF");
        u32(36 + samples * 2);
        text("WAVE");
        text("fmt ");
        u32(16);
        u16(1);
        u16(1);
        u32(rate);
        u32(rate * 2);
        u16(2);
        u16(16);
        text("data");
        u32(samples * 2);
        for (uint32_t i = 0; i < samples; ++i) {
            u16(static_cast<uint32_t>(static_cast<int16_t>((i % 100) * 200 - 10000)) & 0xffffu);
        }
        return bytes;
    }

    FSOUND_SAMPLE* loop = nullptr;
};

TEST_F(ProjectileSounds, RemovingASparkStopsNoSound)
{
    const int other = FSOUND_PlaySound(FSOUND_FREE, loop);
    ASSERT_TRUE(FSOUND_IsPlaying(other));
    list.Add(XVector3(), XVector3(), XVector3(), 5.0f);
    Step(list, 10.0);
    ASSERT_EQ(list.Count(), 0);
    EXPECT_TRUE(FSOUND_IsPlaying(other));
}

TEST_F(ProjectileSounds, ARocketThatOutlivesItsLifetimeStopsItsOwnFlightSoundOnly)
{
    const int flight = FSOUND_PlaySound(FSOUND_FREE, loop);
    const int other = FSOUND_PlaySound(FSOUND_FREE, loop);
    ASSERT_TRUE(FSOUND_IsPlaying(flight));
    list.Add(Rocket(5000.0f, flight));
    for (int i = 0; i < 500; ++i) {
        Step(list, 10.0);
    }
    ASSERT_EQ(list.Count(), 1) << "at exactly 5000 ms the rocket still flies";
    EXPECT_TRUE(FSOUND_IsPlaying(flight));
    Step(list, 10.0);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(FSOUND_IsPlaying(flight));
    EXPECT_TRUE(FSOUND_IsPlaying(other));
}

TEST_F(ProjectileSounds, AnExpiredRocketStopsItsFlightSoundAtTheNextUpdate)
{
    const int flight = FSOUND_PlaySound(FSOUND_FREE, loop);
    list.Add(Rocket(5000.0f, flight));
    Step(list, 10.0);
    list.Expire(list.Records().front());
    EXPECT_TRUE(FSOUND_IsPlaying(flight));
    Step(list, 0.0);
    EXPECT_FALSE(FSOUND_IsPlaying(flight));
}
