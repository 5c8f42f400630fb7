// FrameCounter: the frames-per-second line.
#include "render/FrameCounter.h"

#include "render/XFont.h"
#include "shell/XTimer.h"

#include <cstdint> // int32_t
#include <cstdio>  // snprintf

namespace {

// The rate of the last frame that had a frame time; -1 until one had.
int32_t lastRate = -1;

} // namespace

void DrawFps(float x, float y)
{
    const XTimer* const timer = GetTimer();
    if (timer->GetFrameTime() > 0.0f) {
        lastRate = timer->GetFps();
    }
    if (lastRate < 0) {
        return;
    }
    char buffer[64] = {};
    std::snprintf(buffer, sizeof(buffer), "fps: %ld", static_cast<long>(lastRate));
    XFont* const font = GetFont();
    font->SetTextPosition(x, y, 40);
    font->DrawText(buffer, -1, true);
}
