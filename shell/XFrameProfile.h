// XFrameProfile: where the time of each frame goes, for the timedemo: simulation (physics, collision,
// weapons), scene submission (the engine's own CPU time in the draw passes) and the wait in the driver
// (glFinish and the buffer swap). Idle, it costs one test per section.
#pragma once

#include <cstdint> // uint64_t
#include <string>
#include <vector>

enum class XProfileSection { Simulation = 0, Submission = 1, DriverWait = 2 };

class XFrameProfile {
public:
    void Enable(bool on);
    bool Enabled() const { return enabled; }

    // Adds milliseconds to a section of the frame running now.
    void Add(XProfileSection section, double milliseconds);
    // What a section has collected so far in the frame running now.
    double Current(XProfileSection section) const;
    // Closes the frame: its figures join the statistics (from the second frame on: the first holds the
    // start-up), and the wall time since the previous EndFrame is counted.
    void EndFrame();

    int FrameCount() const;
    // The summary: "timedemo: N frames, S seconds, F fps", the three sections' mean and 99th percentile in
    // milliseconds, and the process's peak memory.
    std::string Report() const;

    // Milliseconds since an arbitrary start, from the performance counter.
    static double Now();

private:
    bool enabled = false;
    int framesSeen = 0;
    double current[3] = {0.0, 0.0, 0.0};
    std::vector<double> samples[3];
    double wallSeconds = 0.0;
    double lastFrameEnd = 0.0;
};

XFrameProfile* GetFrameProfile();
