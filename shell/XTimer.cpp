// XTimer: performance-counter (or manual) clock with pause support.
#include "shell/XTimer.h"

#include <SDL_timer.h> // SDL_GetPerformanceCounter, SDL_GetPerformanceFrequency
#include <cmath>       // llround
#include <cstdint>     // INT32_MAX

namespace {
// The manual clock counts nanoseconds: whole-millisecond steps stay exact, and a recorded frame time of the
// performance counter (nanoseconds on Linux) replays to the same tick.
const double kManualFrequency = 1000000000.0;
} // namespace

XTimer::XTimer()
{
    Reset();
}

void XTimer::Reset()
{
    frequency = manualClock ? kManualFrequency : static_cast<double>(SDL_GetPerformanceFrequency());
    start = Now();
    lastFrame = start;
    paused = false;
}

int32_t XTimer::GetTime() const
{
    return static_cast<int32_t>(ToMilliseconds(Now() - start));
}

float XTimer::GetFrameTime() const
{
    return paused ? 0.0f : frameTime;
}

void XTimer::Update()
{
    const int64_t now = Now();
    frameTime = static_cast<float>(ToMilliseconds(now - lastFrame));
    lastFrame = now;
}

void XTimer::Pause()
{
    paused = true;
    pauseStart = Now();
}

void XTimer::Resume()
{
    paused = false;
    start += Now() - pauseStart;
}

bool XTimer::IsPaused() const
{
    return paused;
}

void XTimer::ResetFrame()
{
    lastFrame = Now();
}

int32_t XTimer::GetFps() const
{
    const float measured = GetFrameTime();
    if (!(measured > 0.0f)) {
        return 0; // no frame time (paused, or nothing measured yet): no rate
    }
    const float rate = 1000.0f / measured;
    return rate < 2147483647.0f ? static_cast<int32_t>(rate) : INT32_MAX;
}

uint32_t XTimer::MarkA()
{
    markA = static_cast<uint32_t>(GetTime());
    return markA;
}

uint32_t XTimer::MarkB()
{
    markB = static_cast<uint32_t>(GetTime());
    return markB;
}

uint32_t XTimer::GetMarkedSpan() const
{
    return markB - markA;
}

void XTimer::UseManualClock()
{
    manualClock = true;
    manualTicks = 0;
    Reset();
}

bool XTimer::UsesManualClock() const
{
    return manualClock;
}

void XTimer::AdvanceManualClock(double milliseconds)
{
    manualTicks += std::llround(milliseconds * 1000000.0);
}

int64_t XTimer::Now() const
{
    if (manualClock) {
        return manualTicks;
    }
    return static_cast<int64_t>(SDL_GetPerformanceCounter());
}

double XTimer::ToMilliseconds(int64_t ticks) const
{
    return static_cast<double>(ticks) * 1000.0 / frequency;
}

XTimer* GetTimer()
{
    static XTimer* const timer = new XTimer();
    return timer;
}
