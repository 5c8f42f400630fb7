// Gamepad: a virtual controller made with SDL is found when plugged in, its buttons, triggers and left stick
// press and release the pad's inputs, its right stick looks beyond the dead zone, and pulling it out releases
// whatever it held.
#include "shell/XGamepad.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

class GamepadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_Init(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
        ASSERT_TRUE(gamepad.Start());
        SDL_VirtualJoystickDesc desc = {};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "Virtual Pad";
        device = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(device, 0) << SDL_GetError();
        joystick = SDL_JoystickOpen(device);
        ASSERT_NE(joystick, nullptr) << SDL_GetError();
        Pump();
    }

    void TearDown() override
    {
        if (joystick != nullptr) {
            SDL_JoystickClose(joystick);
        }
        SDL_Quit();
    }

    // Delivers the pending events to the gamepad; returns the input changes, in order.
    std::vector<XPadChanges::Change> Pump()
    {
        SDL_JoystickUpdate();
        std::vector<XPadChanges::Change> all;
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) {
            const XPadChanges changes = gamepad.HandleEvent(event);
            for (int i = 0; i < changes.count; ++i) {
                all.push_back(changes.changes[static_cast<size_t>(i)]);
            }
        }
        return all;
    }

    void Axis(SDL_GameControllerAxis axis, int16_t value)
    {
        SDL_JoystickSetVirtualAxis(joystick, axis, value);
    }

    XGamepad gamepad;
    int device = -1;
    SDL_Joystick* joystick = nullptr;
};

bool Has(const std::vector<XPadChanges::Change>& changes, XPadInput input, bool down)
{
    for (const XPadChanges::Change& change : changes) {
        if (change.input == PadInput(input) && change.down == down) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST_F(GamepadTest, ButtonsTriggersAndTheLeftStickPressAndReleaseThePadsInputs)
{
    ASSERT_TRUE(gamepad.IsConnected()) << "plugged in while running";
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_A, 1);
    Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767); // a virtual trigger's axis runs from -32768 (let go) up
    Axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    std::vector<XPadChanges::Change> changes = Pump();
    EXPECT_TRUE(Has(changes, XPadInput::A, true));
    EXPECT_TRUE(Has(changes, XPadInput::RightTrigger, true));
    EXPECT_TRUE(Has(changes, XPadInput::StickUp, true));
    EXPECT_FALSE(Has(changes, XPadInput::StickDown, true));

    Axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -20000); // within the first half of its travel: released
    Axis(SDL_CONTROLLER_AXIS_LEFTY, 32767);       // straight from up to down
    changes = Pump();
    EXPECT_TRUE(Has(changes, XPadInput::RightTrigger, false));
    EXPECT_TRUE(Has(changes, XPadInput::StickUp, false));
    EXPECT_TRUE(Has(changes, XPadInput::StickDown, true));

    SDL_JoystickDetachVirtual(device);
    changes = Pump();
    EXPECT_FALSE(gamepad.IsConnected());
    EXPECT_TRUE(Has(changes, XPadInput::A, false)) << "pulled out: what it held is released";
    EXPECT_TRUE(Has(changes, XPadInput::StickDown, false));
}

TEST_F(GamepadTest, TheRightStickLooksBeyondTheDeadZoneInProportionToTime)
{
    Axis(SDL_CONTROLLER_AXIS_RIGHTX, 32767 / 10); // 0.1: inside a dead zone of 0.2
    Pump();
    EXPECT_EQ(gamepad.Look(10.0f, 0.2f, 1.0f).dx, 0.0f);

    Axis(SDL_CONTROLLER_AXIS_RIGHTX, 32767);
    Axis(SDL_CONTROLLER_AXIS_RIGHTY, 0);
    Pump();
    const XLookMotion full = gamepad.Look(10.0f, 0.2f, 1.0f);
    EXPECT_NEAR(full.dx, 12.0f, 1e-3f) << "1200 pixels a second at full deflection";
    EXPECT_EQ(full.dy, 0.0f);
    EXPECT_NEAR(gamepad.Look(20.0f, 0.2f, 2.0f).dx, 48.0f, 1e-3f) << "twice the time, twice the speed";

    Axis(SDL_CONTROLLER_AXIS_RIGHTX, 0);
    Axis(SDL_CONTROLLER_AXIS_RIGHTY, 32767 * 6 / 10); // 0.6: halfway from the dead zone to the edge
    Pump();
    EXPECT_NEAR(gamepad.Look(10.0f, 0.2f, 1.0f).dy, 6.0f, 1e-2f);
}
