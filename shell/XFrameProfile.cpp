// XFrameProfile: per-frame section times and their statistics.
#include "shell/XFrameProfile.h"

#include <SDL_timer.h>    // SDL_GetPerformanceCounter
#include <algorithm>      // std::sort
#include <cmath>          // ceil
#include <cstdio>         // snprintf
#include <sys/resource.h> // getrusage
#include <time.h>         // clock_gettime, CLOCK_THREAD_CPUTIME_ID

namespace {

double Mean(const std::vector<double>& values)
{
    double sum = 0.0;
    for (const double value : values) {
        sum += value;
    }
    return values.empty() ? 0.0 : sum / static_cast<double>(values.size());
}

// The nearest-rank 99th percentile.
double Percentile99(std::vector<double> values)
{
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const size_t rank = static_cast<size_t>(std::ceil(0.99 * static_cast<double>(values.size())));
    return values[rank > 0 ? rank - 1 : 0];
}

} // namespace

void XFrameProfile::Enable(bool on)
{
    enabled = on;
    lastFrameEnd = Now();
}

void XFrameProfile::Add(XProfileSection section, double milliseconds)
{
    if (enabled) {
        current[static_cast<int>(section)] += milliseconds;
    }
}

void XFrameProfile::StartCpu(XProfileSection section)
{
    if (enabled) {
        cpuStart[static_cast<int>(section)] = ThreadCpuNow();
    }
}

void XFrameProfile::StopCpu(XProfileSection section)
{
    if (enabled) {
        current[static_cast<int>(section)] += ThreadCpuNow() - cpuStart[static_cast<int>(section)];
    }
}

double XFrameProfile::Current(XProfileSection section) const
{
    return current[static_cast<int>(section)];
}

void XFrameProfile::Reserve(int frames)
{
    for (std::vector<double>& section : samples) {
        section.reserve(frames > 0 ? static_cast<size_t>(frames) : 0u);
    }
}

void XFrameProfile::EndFrame()
{
    if (!enabled) {
        return;
    }
    const double now = Now();
    if (framesSeen > 0) {
        for (int i = 0; i < kSections; ++i) {
            samples[i].push_back(current[i]);
        }
        samples[kEngineCpu].push_back(current[static_cast<int>(XProfileSection::SimulationCpu)] +
                                      current[static_cast<int>(XProfileSection::SubmissionCpu)]);
        wallSeconds += (now - lastFrameEnd) / 1000.0;
    }
    ++framesSeen;
    lastFrameEnd = now;
    for (double& section : current) {
        section = 0.0;
    }
}

int XFrameProfile::FrameCount() const
{
    return static_cast<int>(samples[0].size());
}

std::string XFrameProfile::Report() const
{
    static const char* const kNames[] = {"simulation", "submission", "driver wait", "sim CPU", "submit CPU",
                                         "engine CPU"};
    char line[256] = {};
    const int frames = FrameCount();
    std::snprintf(line, sizeof(line), "timedemo: %d frames, %.3f seconds, %.1f fps\n", frames, wallSeconds,
                  wallSeconds > 0.0 ? frames / wallSeconds : 0.0);
    std::string report = line;
    for (int i = 0; i <= kEngineCpu; ++i) {
        std::snprintf(line, sizeof(line), "  %-12s mean %.3f ms, 99th percentile %.3f ms\n", kNames[i],
                      Mean(samples[i]), Percentile99(samples[i]));
        report += line;
    }
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    std::snprintf(line, sizeof(line), "  peak memory  %.1f MiB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    report += line;
    return report;
}

double XFrameProfile::Now()
{
    static const double frequency = static_cast<double>(SDL_GetPerformanceFrequency());
    return static_cast<double>(SDL_GetPerformanceCounter()) * 1000.0 / frequency;
}

double XFrameProfile::ThreadCpuNow()
{
    timespec cpu = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    return static_cast<double>(cpu.tv_sec) * 1000.0 + static_cast<double>(cpu.tv_nsec) / 1.0e6;
}

XFrameProfile* GetFrameProfile()
{
    static XFrameProfile* const profile = new XFrameProfile();
    return profile;
}
