// Key names and SDL keys map onto the virtual-key codes the game reacts to.
#include "shell/WindowMessages.h"
#include "shell/XKeyNames.h"

#include <SDL_keycode.h>
#include <gtest/gtest.h>

TEST(KeyNames, ScriptNamesMapToVirtualKeys)
{
    EXPECT_EQ(VirtualKeyFromName("UP"), VK_UP);
    EXPECT_EQ(VirtualKeyFromName("home"), VK_HOME);
    EXPECT_EQ(VirtualKeyFromName("SHIFT"), VK_SHIFT);
    EXPECT_EQ(VirtualKeyFromName("CONTROL"), VK_CONTROL);
    EXPECT_EQ(VirtualKeyFromName("F1"), VK_F1);
    EXPECT_EQ(VirtualKeyFromName("F12"), VK_F12);
    EXPECT_EQ(VirtualKeyFromName("f"), 'F');
    EXPECT_EQ(VirtualKeyFromName("7"), '7');
    EXPECT_EQ(VirtualKeyFromName("F13"), 0);
    EXPECT_EQ(VirtualKeyFromName("F0"), 0);
    EXPECT_EQ(VirtualKeyFromName("F01"), 0);
    EXPECT_EQ(VirtualKeyFromName(""), 0);
    EXPECT_EQ(VirtualKeyFromName("?"), 0);
}

TEST(KeyNames, EveryNamedKeyReadsBack)
{
    for (const char* name : {"UP", "DOWN", "LEFT", "RIGHT", "HOME", "SHIFT", "CONTROL", "TAB", "ESCAPE", "SPACE",
                             "F1", "F9", "F12", "A", "Z", "0", "9"}) {
        EXPECT_EQ(NameOfVirtualKey(VirtualKeyFromName(name)), name);
    }
}

TEST(KeyNames, SdlKeysMapLikeWindowsKeys)
{
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_w), 'W');
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LSHIFT), VK_SHIFT);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RSHIFT), VK_SHIFT);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RCTRL), VK_CONTROL);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F8), VK_F8);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_TAB), VK_TAB);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_ESCAPE), VK_ESCAPE);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_3), '3');
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_SEMICOLON), VK_OEM_1);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_8), VK_NUMPAD0 + 8);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_AUDIOMUTE), 0);
}
