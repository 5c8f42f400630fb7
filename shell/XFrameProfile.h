// XFrameProfile: where the time of each frame goes, for the timedemo: simulation (physics, collision,
// weapons), scene submission (the engine's own CPU time in the draw passes) and the wait in the driver
// (glFinish and the buffer swap), as wall time; and the main thread's CPU time in simulation and submission,
// which a busy machine does not inflate the way it inflates wall time (a thread waiting for a core runs up no
// CPU time), so that the engine's own cost can be told from its neighbours'. Idle, it costs one test per
// section.
#pragma once

#include <cstdint> // uint64_t
#include <string>
#include <vector>

enum class XProfileSection {
    Simulation = 0,
    Submission = 1,
    DriverWait = 2,
    SimulationCpu = 3, // the main thread's CPU time in the simulation
    SubmissionCpu = 4, // the main thread's CPU time in the draw passes, up to the swap
};

class XFrameProfile {
public:
    void Enable(bool on);
    bool Enabled() const { return enabled; }
    // Room for the figures of `frames` frames, made at once, so that a run of known length allocates nothing
    // while it is measured.
    void Reserve(int frames);

    // Adds milliseconds to a section of the frame running now.
    void Add(XProfileSection section, double milliseconds);
    // Starts the thread's CPU clock for a section; StopCpu adds the CPU time since to the section.
    void StartCpu(XProfileSection section);
    void StopCpu(XProfileSection section);
    // What a section has collected so far in the frame running now.
    double Current(XProfileSection section) const;
    // Closes the frame: its figures join the statistics (from the second frame on: the first holds the
    // start-up), and the wall time since the previous EndFrame is counted.
    void EndFrame();

    int FrameCount() const;
    // The summary: "timedemo: N frames, S seconds, F fps", the sections' mean and 99th percentile in
    // milliseconds (the three wall-time sections, then the CPU time of simulation, of submission and of the
    // two together, the engine's CPU time per frame), and the process's peak memory.
    std::string Report() const;

    // Milliseconds since an arbitrary start, from the performance counter.
    static double Now();
    // The calling thread's CPU time in milliseconds since an arbitrary start.
    static double ThreadCpuNow();

private:
    static constexpr int kSections = 5;
    static constexpr int kEngineCpu = kSections; // the per-frame sum of the two CPU sections

    bool enabled = false;
    int framesSeen = 0;
    double current[kSections] = {};
    double cpuStart[kSections] = {};
    std::vector<double> samples[kSections + 1];
    double wallSeconds = 0.0;
    double lastFrameEnd = 0.0;
};

XFrameProfile* GetFrameProfile();
