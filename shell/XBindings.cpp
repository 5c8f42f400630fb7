// XBindings: the action table, input names, and press/release bookkeeping.
#include "shell/XBindings.h"
#include "shell/TextFields.h"

#include "shell/WindowMessages.h"
#include "shell/XKeyNames.h"

#include <SDL_keyboard.h> // SDL_GetKeyFromName
#include <algorithm>      // std::find, std::remove
#include <cctype>         // tolower, isspace

namespace {

struct ActionSpec {
    const char* name;
    int key;
    const char* defaults;
    const char* description;
};

// In XAction's order.
const ActionSpec kActions[kActionCount] = {
    {"forward", VK_UP, "Up, Pad Stick Up, Pad Up", "walk forward (fly: along the view)"},
    {"back", VK_DOWN, "Down, Pad Stick Down, Pad Down", "walk backward"},
    {"strafe_left", VK_LEFT, "Left, Pad Stick Left, Pad Left", "step to the left"},
    {"strafe_right", VK_RIGHT, "Right, Pad Stick Right, Pad Right", "step to the right"},
    {"rise", VK_HOME, "Home, Pad Left Stick", "rise (held)"},
    {"walk_slowly", 'R', "R, Pad RB", "walk slowly (held)"},
    {"zoom", VK_SHIFT, "Shift, Pad LB", "zoom in (held)"},
    {"spotlight", VK_CONTROL, "Ctrl, Pad B", "spotlight (held)"},
    {"fly", 'F', "F, Pad Y", "fly mode on/off"},
    {"weapon_model", 'W', "W, Pad Right Stick", "show/hide the weapon model"},
    {"switch_weapon", VK_TAB, "Tab, Pad X", "change weapons"},
    {"fire", VK_LBUTTON, "Mouse Left, Pad RT", "fire (held)"},
    {"jump", VK_RBUTTON, "Mouse Right, Pad LT, Pad A", "jump"},
    {"pause", VK_SPACE, "Space, Pad Start", "pause / resume"},
    {"help", VK_F1, "F1, Pad Back", "pause and show the help"},
    {"octree_boxes", VK_F3, "F3", "draw the octree's bounding boxes"},
    {"triangles", VK_F4, "F4", "cycle the triangle display"},
    {"reset_position", VK_F8, "F8", "back to the reset position"},
    {"debug_info", VK_F12, "F12", "debug information"},
    {"quit", VK_ESCAPE, "Escape", "quit"},
    {"screenshot", VK_F10, "F10", "save the picture as PNG in the pictures folder"},
};

struct NamedInput {
    const char* name;
    int input;
};

// Names of our own, beside SDL's key names. Compared without regard to case.
const NamedInput kOwnNames[] = {
    {"shift", VK_SHIFT},
    {"ctrl", VK_CONTROL},
    {"control", VK_CONTROL},
    {"alt", VK_MENU},
    {"mouse left", VK_LBUTTON},
    {"mouse right", VK_RBUTTON},
    {"mouse middle", VK_MBUTTON},
    {"mouse x1", VK_XBUTTON1},
    {"mouse x2", VK_XBUTTON2},
    {"pad a", PadInput(XPadInput::A)},
    {"pad b", PadInput(XPadInput::B)},
    {"pad x", PadInput(XPadInput::X)},
    {"pad y", PadInput(XPadInput::Y)},
    {"pad back", PadInput(XPadInput::Back)},
    {"pad guide", PadInput(XPadInput::Guide)},
    {"pad start", PadInput(XPadInput::Start)},
    {"pad left stick", PadInput(XPadInput::LeftStickClick)},
    {"pad right stick", PadInput(XPadInput::RightStickClick)},
    {"pad lb", PadInput(XPadInput::LeftShoulder)},
    {"pad rb", PadInput(XPadInput::RightShoulder)},
    {"pad up", PadInput(XPadInput::DpadUp)},
    {"pad down", PadInput(XPadInput::DpadDown)},
    {"pad left", PadInput(XPadInput::DpadLeft)},
    {"pad right", PadInput(XPadInput::DpadRight)},
    {"pad lt", PadInput(XPadInput::LeftTrigger)},
    {"pad rt", PadInput(XPadInput::RightTrigger)},
    {"pad stick up", PadInput(XPadInput::StickUp)},
    {"pad stick down", PadInput(XPadInput::StickDown)},
    {"pad stick left", PadInput(XPadInput::StickLeft)},
    {"pad stick right", PadInput(XPadInput::StickRight)},
};

bool IsValidInput(int input)
{
    return input >= 0 && input < kInputCount;
}

} // namespace

const char* ActionName(XAction action)
{
    return kActions[static_cast<int>(action)].name;
}

int ActionKey(XAction action)
{
    return kActions[static_cast<int>(action)].key;
}

const char* ActionDefaultInputs(XAction action)
{
    return kActions[static_cast<int>(action)].defaults;
}

const char* ActionDescription(XAction action)
{
    return kActions[static_cast<int>(action)].description;
}

int InputFromName(const std::string& name)
{
    const std::string lower = Lowered(Trimmed(name));
    if (lower.empty()) {
        return -1;
    }
    for (const NamedInput& own : kOwnNames) {
        if (lower == own.name) {
            return own.input;
        }
    }
    const SDL_Keycode key = SDL_GetKeyFromName(lower.c_str());
    if (key == SDLK_UNKNOWN) {
        return -1;
    }
    const int virtualKey = VirtualKeyFromSdl(key);
    return virtualKey != 0 ? virtualKey : -1;
}

XBindings::XBindings()
{
    for (int i = 0; i < kActionCount; ++i) {
        std::string unused;
        Bind(static_cast<XAction>(i), kActions[i].defaults, unused);
    }
}

bool XBindings::Bind(XAction action, const std::string& names, std::string& problem)
{
    std::vector<int> chosen;
    const std::string list = Trimmed(names);
    if (!list.empty() && Lowered(list) != "none") {
        size_t start = 0;
        while (start <= list.size()) {
            const size_t comma = list.find(',', start);
            const size_t end = comma == std::string::npos ? list.size() : comma;
            const std::string name = Trimmed(list.substr(start, end - start));
            const int input = InputFromName(name);
            if (input < 0) {
                problem = name.empty() ? "an empty name in the list" : "unknown key or button '" + name + "'";
                return false;
            }
            if (std::find(chosen.begin(), chosen.end(), input) == chosen.end()) {
                chosen.push_back(input);
            }
            start = end + 1;
        }
    }
    for (std::vector<int>& others : inputs) {
        for (const int input : chosen) {
            others.erase(std::remove(others.begin(), others.end(), input), others.end());
        }
    }
    inputs[static_cast<size_t>(action)] = chosen;
    return true;
}

XAction XBindings::ActionOf(int input) const
{
    for (int i = 0; i < kActionCount; ++i) {
        const std::vector<int>& bound = inputs[static_cast<size_t>(i)];
        if (std::find(bound.begin(), bound.end(), input) != bound.end()) {
            return static_cast<XAction>(i);
        }
    }
    return XAction::Count;
}

const std::vector<int>& XBindings::InputsOf(XAction action) const
{
    return inputs[static_cast<size_t>(action)];
}

XActionEvent XBindings::Press(int input)
{
    XActionEvent event;
    if (!IsValidInput(input)) {
        return event;
    }
    event.action = ActionOf(input);
    if (event.action == XAction::Count) {
        return event;
    }
    int& count = heldCount[static_cast<size_t>(event.action)];
    event.repeat = count > 0;
    if (!held[static_cast<size_t>(input)]) {
        held[static_cast<size_t>(input)] = true;
        ++count;
    }
    return event;
}

XActionEvent XBindings::Release(int input)
{
    XActionEvent event;
    if (!IsValidInput(input) || !held[static_cast<size_t>(input)]) {
        // Released without a press we saw (pressed before the window had focus, or while it was bound to
        // nothing): its action, if any, is released as the game would have seen it unbound.
        const XAction action = IsValidInput(input) ? ActionOf(input) : XAction::Count;
        if (action != XAction::Count && heldCount[static_cast<size_t>(action)] == 0) {
            event.action = action;
        }
        return event;
    }
    held[static_cast<size_t>(input)] = false;
    const XAction action = ActionOf(input);
    if (action == XAction::Count) {
        return event;
    }
    int& count = heldCount[static_cast<size_t>(action)];
    count = count > 0 ? count - 1 : 0;
    if (count == 0) {
        event.action = action;
    }
    return event;
}

bool XBindings::IsHeld(int input) const
{
    return IsValidInput(input) && held[static_cast<size_t>(input)];
}
