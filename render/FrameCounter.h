// FrameCounter: the frames-per-second line of the overlay.
// Depends on: XTimer, XFont.
#pragma once

// Prints "fps: N" (N from the timer's last frame time) with its top-left corner at (x, y), pixels from the
// window centre.
void DrawFps(float x, float y);
