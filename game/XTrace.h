// XTrace: the per-frame trace of a run (--trace FILE): one JSON object per line and per frame, written after
// the frame, with the player's and the game's state. End-to-end tests and benchmarks read it, so the keys and
// their meaning stay stable:
//   frame, time (game ms), dt (frame ms), pos, eye, yaw, pitch, zoom, vel, airborne, onFloor, onCeiling,
//   slides, overlaps, fly, paused, weapon, switching, projectiles, rockets, decals, explosions, spotlight,
//   triangleMode, octreeBoxes, debugInfo, helpShown, panelY, drawnTriangles; with --watch also reloads (the
//   levels swapped in so far), so that a run without it writes the lines it always wrote
#pragma once

#include <cstdio> // FILE
#include <string>

class XGame;

class XTrace {
public:
    // Opens (truncates) the file; a file that cannot be opened is reported once and the trace stays off.
    explicit XTrace(const std::string& path);
    ~XTrace();
    XTrace(const XTrace&) = delete;
    XTrace& operator=(const XTrace&) = delete;

    void WriteFrame(const XGame& game);

private:
    FILE* file = nullptr;
    std::string line; // reused for every frame
};
