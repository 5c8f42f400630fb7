// XTimer: the single clock of the engine.
//
// It answers two questions: how many whole milliseconds of game time have passed (lifetimes, animations,
// on-screen timing) and how long the last pass of the message loop took (scaling of movement, gravity and
// mouse look). Game time keeps counting while paused and steps back to the moment of the pause on Resume;
// the frame time reads 0 while paused.
//
// The counter is normally SDL's performance counter. For repeatable runs (tests, recorded demos) it can be
// switched to a manual clock that only moves when the message loop advances it by a given step.
// Depends on: SDL2 (performance counter).
#pragma once

#include <cstdint> // int64_t, uint32_t

class XTimer {
public:
    XTimer();

    // Restarts the clock at game time 0, running.
    void Reset();
    // Whole milliseconds since the start, minus completed pauses; truncated toward zero.
    int32_t GetTime() const;
    // Length of the last loop pass in milliseconds; 0 while paused.
    float GetFrameTime() const;
    // Measures the pass that just ended; called once per loop pass, after the frame.
    void Update();
    void Pause();
    void Resume();
    bool IsPaused() const;
    // Starts the next frame measurement now.
    void ResetFrame();
    // Frames per second from the frame time, truncated toward zero; 0 when the frame time is 0.
    int32_t GetFps() const;

    uint32_t MarkA();
    uint32_t MarkB();
    uint32_t GetMarkedSpan() const;

    // Switches to the manual clock and restarts at time 0: from now on the counter moves only through
    // AdvanceManualClock.
    void UseManualClock();
    bool UsesManualClock() const;
    // Moves the manual clock forward by the given milliseconds (fractions allowed, resolution 1 ns).
    void AdvanceManualClock(double milliseconds);

private:
    int64_t Now() const;
    double ToMilliseconds(int64_t ticks) const;

    double frequency = 1.0;
    bool paused = false;
    float frameTime = 0.0f;
    int64_t pauseStart = 0;
    int64_t start = 0;
    int64_t lastFrame = 0;
    uint32_t markA = 0;
    uint32_t markB = 0;

    bool manualClock = false;
    int64_t manualTicks = 0;
};

// The process-wide timer, created on first use.
XTimer* GetTimer();
