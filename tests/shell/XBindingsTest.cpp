// Bindings: the defaults leave every action on the key the game knows it by, names reach every kind of input,
// rebinding moves an input between actions, and several inputs of one action make one press and one release.
#include "shell/XBindings.h"

#include "shell/WindowMessages.h"

#include <gtest/gtest.h>

#include <string>

TEST(BindingDefaults, EveryActionKeepsTheKeyOrButtonTheGameKnowsItBy)
{
    const XBindings bindings;
    for (int i = 0; i < kActionCount; ++i) {
        const XAction action = static_cast<XAction>(i);
        EXPECT_EQ(bindings.ActionOf(ActionKey(action)), action) << ActionName(action);
    }
    EXPECT_EQ(bindings.ActionOf('A'), XAction::Count) << "a key the game never used stays unbound";
    EXPECT_EQ(bindings.ActionOf(PadInput(XPadInput::RightTrigger)), XAction::Fire);
    EXPECT_EQ(bindings.ActionOf(PadInput(XPadInput::LeftTrigger)), XAction::Jump);
    EXPECT_EQ(bindings.ActionOf(PadInput(XPadInput::StickUp)), XAction::Forward);
}

TEST(BindingNames, KeyNamesMouseButtonsAndPadInputsAreKnownInAnyCase)
{
    EXPECT_EQ(InputFromName("g"), 'G');
    EXPECT_EQ(InputFromName("Left Shift"), VK_SHIFT);
    EXPECT_EQ(InputFromName("ctrl"), VK_CONTROL);
    EXPECT_EQ(InputFromName("Keypad 8"), VK_NUMPAD0 + 8);
    EXPECT_EQ(InputFromName("F10"), VK_F10);
    EXPECT_EQ(InputFromName("up"), VK_UP);
    EXPECT_EQ(InputFromName(" Mouse Middle "), VK_MBUTTON);
    EXPECT_EQ(InputFromName("pad stick left"), PadInput(XPadInput::StickLeft));
    EXPECT_EQ(InputFromName("Nope"), -1);
    EXPECT_EQ(InputFromName(""), -1);
}

TEST(BindingChanges, AnInputBoundToOneActionIsTakenFromAnother)
{
    XBindings bindings;
    std::string problem;
    ASSERT_TRUE(bindings.Bind(XAction::Fly, "G", problem));
    EXPECT_EQ(bindings.ActionOf('G'), XAction::Fly);
    EXPECT_EQ(bindings.ActionOf('F'), XAction::Count) << "the old key no longer flies";

    ASSERT_TRUE(bindings.Bind(XAction::Fly, "W", problem));
    EXPECT_EQ(bindings.ActionOf('W'), XAction::Fly);
    EXPECT_TRUE(bindings.InputsOf(XAction::WeaponModel).size() == 1u) << "only its pad button is left";

    ASSERT_TRUE(bindings.Bind(XAction::Quit, "none", problem));
    EXPECT_EQ(bindings.ActionOf(VK_ESCAPE), XAction::Count);

    EXPECT_FALSE(bindings.Bind(XAction::Zoom, "Shift, Hyper Warp", problem));
    EXPECT_NE(problem.find("'Hyper Warp'"), std::string::npos);
    EXPECT_EQ(bindings.ActionOf(VK_SHIFT), XAction::Zoom) << "a refused list changes nothing";
}

TEST(BindingPresses, SeveralInputsOfOneActionMakeOnePressAndOneRelease)
{
    XBindings bindings;
    std::string problem;
    ASSERT_TRUE(bindings.Bind(XAction::Fire, "Mouse Left, Space", problem));

    XActionEvent event = bindings.Press(VK_LBUTTON);
    EXPECT_EQ(event.action, XAction::Fire);
    EXPECT_FALSE(event.repeat);
    event = bindings.Press(VK_SPACE);
    EXPECT_EQ(event.action, XAction::Fire);
    EXPECT_TRUE(event.repeat) << "already held by the mouse button";
    EXPECT_EQ(bindings.Release(VK_LBUTTON).action, XAction::Count) << "Space still holds it";
    EXPECT_EQ(bindings.Release(VK_SPACE).action, XAction::Fire);

    EXPECT_EQ(bindings.Press('Q').action, XAction::Count) << "an unbound key does nothing";
    EXPECT_TRUE(bindings.Press(VK_UP).action == XAction::Forward && bindings.Press(VK_UP).repeat)
        << "an auto-repeat is a repeated press";
    EXPECT_EQ(bindings.Release(VK_DOWN).action, XAction::Back) << "a release without a press still releases";
}
