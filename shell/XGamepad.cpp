// XGamepad: controller events to pad inputs, and the right stick's look motion.
#include "shell/XGamepad.h"

#include "shell/XLog.h"

#include <SDL.h>
#include <cmath> // std::sqrt

namespace {

// A stick direction or a trigger counts as pressed beyond half of its travel.
const float kPressedFrom = 0.5f;
// Look motion at full deflection and speed 1, in mouse pixels a second (the mouse look's 0.1 degree a pixel
// makes it 120 degrees a second).
const float kLookPixelsPerSecond = 1200.0f;

float AxisValue(int16_t raw)
{
    return raw < 0 ? raw / 32768.0f : raw / 32767.0f;
}

} // namespace

void XPadChanges::Add(int input, bool isDown)
{
    if (count < static_cast<int>(changes.size())) {
        changes[static_cast<size_t>(count)] = {input, isDown};
        ++count;
    }
}

XGamepad::~XGamepad()
{
    if (controller != nullptr) {
        SDL_GameControllerClose(controller);
    }
}

bool XGamepad::Start()
{
    if (!started) {
        started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    }
    return started;
}

bool XGamepad::IsConnected() const
{
    return controller != nullptr;
}

XPadChanges XGamepad::HandleEvent(const SDL_Event& event)
{
    XPadChanges changes;
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        if (controller == nullptr) {
            Open(event.cdevice.which);
        }
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        if (controller != nullptr && event.cdevice.which == instance) {
            Close(changes);
        }
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (event.cbutton.which == instance && event.cbutton.button <= SDL_CONTROLLER_BUTTON_DPAD_RIGHT) {
            Set(kPadInputBase + event.cbutton.button, event.type == SDL_CONTROLLERBUTTONDOWN, changes);
        }
        break;
    case SDL_CONTROLLERAXISMOTION:
        if (event.caxis.which == instance) {
            OnAxis(event.caxis.axis, AxisValue(event.caxis.value), changes);
        }
        break;
    default:
        break;
    }
    return changes;
}

XLookMotion XGamepad::Look(float frameMs, float deadZone, float speed) const
{
    const float length = std::sqrt(rightX * rightX + rightY * rightY);
    if (controller == nullptr || length <= deadZone || frameMs <= 0.0f) {
        return {};
    }
    const float beyond = ((length < 1.0f ? length : 1.0f) - deadZone) / (1.0f - deadZone);
    const float scale = beyond / length * kLookPixelsPerSecond * speed * frameMs / 1000.0f;
    return {rightX * scale, rightY * scale};
}

void XGamepad::Open(int deviceIndex)
{
    controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) {
        GetLog()->Log(std::string("Gamepad: cannot open it: ") + SDL_GetError());
        return;
    }
    instance = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    const char* const name = SDL_GameControllerName(controller);
    GetLog()->Log(std::string("Gamepad: ") + (name != nullptr ? name : "unnamed") + " connected.");
}

void XGamepad::Close(XPadChanges& changes)
{
    for (size_t i = 0; i < down.size(); ++i) {
        Set(kPadInputBase + static_cast<int>(i), false, changes);
    }
    rightX = 0.0f;
    rightY = 0.0f;
    SDL_GameControllerClose(controller);
    controller = nullptr;
    instance = -1;
    GetLog()->Log("Gamepad: disconnected.");
}

void XGamepad::Set(int input, bool isDown, XPadChanges& changes)
{
    bool& state = down[static_cast<size_t>(input - kPadInputBase)];
    if (state != isDown) {
        state = isDown;
        changes.Add(input, isDown);
    }
}

void XGamepad::OnAxis(int axis, float value, XPadChanges& changes)
{
    switch (axis) {
    case SDL_CONTROLLER_AXIS_LEFTX:
        Set(PadInput(XPadInput::StickLeft), value < -kPressedFrom, changes);
        Set(PadInput(XPadInput::StickRight), value > kPressedFrom, changes);
        break;
    case SDL_CONTROLLER_AXIS_LEFTY: // SDL's y grows downward
        Set(PadInput(XPadInput::StickUp), value < -kPressedFrom, changes);
        Set(PadInput(XPadInput::StickDown), value > kPressedFrom, changes);
        break;
    case SDL_CONTROLLER_AXIS_RIGHTX:
        rightX = value;
        break;
    case SDL_CONTROLLER_AXIS_RIGHTY:
        rightY = value;
        break;
    case SDL_CONTROLLER_AXIS_TRIGGERLEFT:
        Set(PadInput(XPadInput::LeftTrigger), value > kPressedFrom, changes);
        break;
    case SDL_CONTROLLER_AXIS_TRIGGERRIGHT:
        Set(PadInput(XPadInput::RightTrigger), value > kPressedFrom, changes);
        break;
    default:
        break;
    }
}
