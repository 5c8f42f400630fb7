// OverlayProjection: the coordinates of the 2D overlay (texts, crosshair, pause panel, cursor, loading screens).
//
// The overlay is laid out for a picture 600 units high, its origin at the centre and y up, as wide as the
// picture's aspect makes it (800 units at 4:3): at 800x600 a unit is a pixel, at any other size the overlay is
// scaled with the picture's height, so it keeps its place and proportions from 640x480 to 4K. The size is the
// drawable's, in pixels (on a HiDPI display more than the window's points).
// Depends on: OpenGL, XWindow (drawable and window size).
#pragma once

#include "shell/XInputListener.h" // XPoint

// Sets the overlay's orthographic projection and selects the model-view matrix, leaving it as it was.
void SetOverlayProjection();
// SetOverlayProjection, then an identity model-view matrix.
void LoadOverlayProjection();
// The overlay's left edge (-400 at 4:3, further out on a wider picture): texts that belong in the left corners
// are placed from it.
float OverlayLeft();
// Overlay units per drawable pixel's height: 1 at 600 pixels high.
float OverlayPixelSize();
// A point in window points relative to the window centre (y up), in overlay units.
XPoint WindowPointToOverlay(XPoint point);
