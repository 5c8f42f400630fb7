// The timedemo's frame profile: its CPU sections count the thread's CPU time, not the wall time a busy machine
// stretches, and the engine's CPU time per frame is taken frame by frame, so that its 99th percentile is that of
// whole frames and not the sum of two percentiles from different frames.
#include "shell/XFrameProfile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio> // sscanf
#include <string>
#include <thread>

namespace {

// The mean and 99th percentile printed on the report's line for `name`; false when there is no such line.
bool ReportFigures(const std::string& report, const std::string& name, double& mean, double& p99)
{
    const size_t at = report.find("  " + name + " ");
    if (at == std::string::npos) {
        return false;
    }
    const size_t figures = report.find("mean ", at);
    return figures != std::string::npos &&
           std::sscanf(report.c_str() + figures, "mean %lf ms, 99th percentile %lf ms", &mean, &p99) == 2;
}

// Burns the thread's CPU for about `milliseconds` of wall time.
void Spin(double milliseconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double, std::milli>(milliseconds);
    volatile double sink = 0.0;
    while (std::chrono::steady_clock::now() < end) {
        sink = sink + 1.0;
    }
}

} // namespace

TEST(FrameProfileCpu, EngineCpuIsTakenPerFrameBeforeThePercentile)
{
    XFrameProfile profile;
    profile.Enable(true);
    profile.EndFrame(); // the start-up frame, never counted
    for (int i = 1; i <= 100; ++i) {
        // Simulation grows while submission shrinks: every frame costs 1 ms, though each section alone has a 99th
        // percentile near 1 ms, and the two percentiles add up to almost 2 ms.
        profile.Add(XProfileSection::SimulationCpu, 0.01 * i);
        profile.Add(XProfileSection::SubmissionCpu, 1.0 - 0.01 * i);
        profile.EndFrame();
    }
    const std::string report = profile.Report();
    double mean = 0.0;
    double p99 = 0.0;
    ASSERT_TRUE(ReportFigures(report, "sim CPU", mean, p99)) << report;
    EXPECT_NEAR(p99, 0.99, 1e-9); // nearest rank: the 99th of 100 values
    ASSERT_TRUE(ReportFigures(report, "submit CPU", mean, p99)) << report;
    EXPECT_NEAR(p99, 0.98, 1e-9);
    ASSERT_TRUE(ReportFigures(report, "engine CPU", mean, p99)) << report;
    EXPECT_NEAR(mean, 1.0, 1e-9);
    EXPECT_NEAR(p99, 1.0, 1e-9);
    EXPECT_NE(report.find("timedemo: 100 frames, "), std::string::npos) << report;
}

TEST(FrameProfileCpu, CountsCpuTimeAndNotTimeSpentWaiting)
{
    XFrameProfile profile;
    profile.Enable(true);
    profile.StartCpu(XProfileSection::SimulationCpu);
    Spin(30.0);
    profile.StopCpu(XProfileSection::SimulationCpu);
    profile.StartCpu(XProfileSection::SubmissionCpu);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    profile.StopCpu(XProfileSection::SubmissionCpu);
    // A spinning thread gets at least some of its 30 ms of CPU even on a crowded machine; a sleeping one none.
    EXPECT_GT(profile.Current(XProfileSection::SimulationCpu), 3.0);
    EXPECT_LE(profile.Current(XProfileSection::SimulationCpu), 31.0);
    EXPECT_LT(profile.Current(XProfileSection::SubmissionCpu), 10.0);
}

TEST(FrameProfileCpu, StaysIdleWhenDisabled)
{
    XFrameProfile profile;
    profile.StartCpu(XProfileSection::SimulationCpu);
    Spin(5.0);
    profile.StopCpu(XProfileSection::SimulationCpu);
    EXPECT_EQ(profile.Current(XProfileSection::SimulationCpu), 0.0);
}
