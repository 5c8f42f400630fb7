// FrameCounter: the frames-per-second line of the overlay.
// Depends on: XTimer, XFont.
#pragma once

// Prints "fps: N" (N from the timer's last frame time) with its top-left corner at (x, y), pixels from the
// window centre. A frame whose frame time is 0 (the first one, or a pass the clock did not advance) has no
// rate of its own: it shows the last rate measured, and nothing before the first one.
void DrawFps(float x, float y);
