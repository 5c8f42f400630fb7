// XKeyNames: translation between SDL keys, virtual-key codes and the key names of input scripts.
// Depends on: SDL2 (key codes).
#pragma once

#include <SDL_keycode.h> // SDL_Keycode
#include <string>

// The virtual-key code for an SDL key, or 0 when the key has none.
int VirtualKeyFromSdl(SDL_Keycode key);

// The virtual-key code for a script key name (UP, DOWN, LEFT, RIGHT, HOME, SHIFT, CONTROL, TAB, ESCAPE,
// SPACE, F1..F12, A..Z, 0..9; case-insensitive), or 0 for an unknown name.
int VirtualKeyFromName(const std::string& name);

// The script name of a virtual-key code, or "" when it has none.
std::string NameOfVirtualKey(int virtualKey);
