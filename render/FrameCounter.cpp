// FrameCounter: the frames-per-second line.
#include "render/FrameCounter.h"

#include "render/XFont.h"
#include "shell/XTimer.h"

#include <cstdio> // snprintf

void DrawFps(float x, float y)
{
    char buffer[64] = {};
    std::snprintf(buffer, sizeof(buffer), "fps: %ld", static_cast<long>(GetTimer()->GetFps()));
    XFont* const font = GetFont();
    font->SetTextPosition(x, y, 40);
    font->DrawText(buffer, -1, true);
}
