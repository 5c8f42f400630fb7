// XBindings: which physical input does which game action, and the held state that turns presses and releases
// of several inputs bound to one action into one press and one release of that action.
//
// The game is written against fixed virtual keys (the arrows, Shift, F1, ...) and the left and right mouse
// buttons. Bindings sit in front of it: every physical input (a key, a mouse button, a gamepad button, a
// direction of the gamepad's left stick, a trigger) is looked up here, and the window delivers the action's own
// key or button in its place. An input bound to no action does nothing. The defaults bind every action to the
// key or button the game was written for, so with them every input arrives unchanged.
// Depends on: SDL2 (key names).
#pragma once

#include <array>
#include <string>
#include <vector>

// Physical inputs: 0-255 are virtual-key codes (keys, and the mouse buttons VK_LBUTTON, VK_RBUTTON, VK_MBUTTON,
// VK_XBUTTON1, VK_XBUTTON2); from kPadInputBase on, the gamepad's (see XPadInput).
constexpr int kPadInputBase = 256;

// The gamepad's inputs: its buttons in SDL's game controller order, then the triggers and the left stick's
// four directions, each pressed or released as a button.
enum class XPadInput {
    A, B, X, Y, Back, Guide, Start, LeftStickClick, RightStickClick, LeftShoulder, RightShoulder,
    DpadUp, DpadDown, DpadLeft, DpadRight,
    LeftTrigger, RightTrigger, StickUp, StickDown, StickLeft, StickRight,
    Count
};

constexpr int kInputCount = kPadInputBase + static_cast<int>(XPadInput::Count);

inline int PadInput(XPadInput input)
{
    return kPadInputBase + static_cast<int>(input);
}

enum class XAction {
    Forward, Back, StrafeLeft, StrafeRight, Rise, WalkSlowly, Zoom, Spotlight, Fly, WeaponModel, SwitchWeapon,
    Fire, Jump, Pause, Help, OctreeBoxes, Triangles, ResetPosition, DebugInfo, Quit, Screenshot,
    Count
};

constexpr int kActionCount = static_cast<int>(XAction::Count);

// The action's name in the settings file ("forward", "fire", ...).
const char* ActionName(XAction action);
// The virtual key (or VK_LBUTTON, VK_RBUTTON) the game knows the action by.
int ActionKey(XAction action);
// The default inputs, as written in the settings file ("Up, Pad Up, Pad Stick Up").
const char* ActionDefaultInputs(XAction action);
// What the action does, for the settings file's comments.
const char* ActionDescription(XAction action);

// The physical input of a name: an SDL key name ("G", "Left Shift", "Keypad 8", "F10"; any case), "Shift",
// "Ctrl", "Alt", "Mouse Left", "Mouse Right", "Mouse Middle", "Mouse X1", "Mouse X2", or a gamepad input
// ("Pad A", "Pad LT", "Pad Stick Up", ...). -1 for an unknown name or a key the game cannot tell apart.
int InputFromName(const std::string& name);

// What a press or release of an input means: an action pressed (again, for a repeat) or released, or nothing.
struct XActionEvent {
    XAction action = XAction::Count; // Count: nothing happens
    bool repeat = false;             // a press of an action that was already held
};

class XBindings {
public:
    // The default bindings.
    XBindings();

    // Binds the action to the inputs of a comma-separated list of names; "" or "none" leaves it unbound. An
    // input already bound to another action moves to this one. False, with the problem naming the bad name,
    // when a name is unknown; the bindings are then unchanged.
    bool Bind(XAction action, const std::string& names, std::string& problem);
    // The action an input is bound to, or XAction::Count.
    XAction ActionOf(int input) const;
    const std::vector<int>& InputsOf(XAction action) const;

    // An input went down: its action is pressed, or repeated when another of its inputs (or this one, by
    // auto-repeat) already holds it.
    XActionEvent Press(int input);
    // An input came up: its action is released when no other of its inputs still holds it.
    XActionEvent Release(int input);
    // Whether the input is down (pressed and not yet released).
    bool IsHeld(int input) const;

private:
    std::array<std::vector<int>, kActionCount> inputs;
    std::array<bool, kInputCount> held = {};
    std::array<int, kActionCount> heldCount = {};
};
