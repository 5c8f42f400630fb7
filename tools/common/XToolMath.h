// XToolMath: the small scalar functions the generators share: clamping, smooth steps and wrap-around.
// Depends on: nothing.
#pragma once

#include <algorithm> // std::clamp

// v limited to 0..1.
inline float Clamp01(float v)
{
    return std::clamp(v, 0.0f, 1.0f);
}

// 0 up to edge0, 1 from edge1 on, a smooth cubic between (edge0 may be the larger: the step then falls).
inline float SmoothStep(float edge0, float edge1, float x)
{
    const float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

// i wrapped into 0 .. period - 1, negative i included: indices into seamless tiles.
inline int Wrap(int i, int period)
{
    return ((i % period) + period) % period;
}
