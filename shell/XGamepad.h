// XGamepad: one game controller through SDL's game controller API, plugged in and out while the game runs.
//
// Its buttons, its triggers and the four directions of its left stick become presses and releases of the
// physical inputs of XBindings (XPadInput), which the bindings turn into actions like any key. The right stick
// looks around: each pass, its deflection beyond the dead zone becomes look motion in the units of mouse
// motion, proportional to the pass's length.
// Depends on: SDL2 (game controllers), XBindings (the pad's inputs).
#pragma once

#include "shell/XBindings.h"

#include <array>

struct _SDL_GameController;
union SDL_Event;

// The inputs that one event pressed or released, in order.
struct XPadChanges {
    struct Change {
        int input = -1;
        bool down = false;
    };
    std::array<Change, static_cast<size_t>(XPadInput::Count)> changes = {};
    int count = 0;

    void Add(int input, bool down);
};

// Look motion, in the units of mouse motion (pixels), x to the right and y downward.
struct XLookMotion {
    float dx = 0.0f;
    float dy = 0.0f;
};

class XGamepad {
public:
    XGamepad() = default;
    ~XGamepad();
    XGamepad(const XGamepad&) = delete;
    XGamepad& operator=(const XGamepad&) = delete;

    // Starts SDL's game controller subsystem; false when it cannot (the game then runs without a gamepad).
    bool Start();
    // Handles an SDL event (controllers added and removed, buttons, axes); returns the inputs it changed.
    // Other events change nothing.
    XPadChanges HandleEvent(const SDL_Event& event);
    // The right stick's look motion over a pass of frameMs milliseconds: nothing within the dead zone (a share
    // of the full deflection, 0..0.9), then growing to 1200 pixels a second times speed at full deflection.
    XLookMotion Look(float frameMs, float deadZone, float speed) const;
    bool IsConnected() const;

private:
    void Open(int deviceIndex);
    void Close(XPadChanges& changes);
    // Presses or releases an input when its state changes.
    void Set(int input, bool down, XPadChanges& changes);
    void OnAxis(int axis, float value, XPadChanges& changes);

    _SDL_GameController* controller = nullptr;
    int instance = -1;
    bool started = false;
    float rightX = 0.0f;
    float rightY = 0.0f;
    std::array<bool, static_cast<size_t>(XPadInput::Count)> down = {};
};
