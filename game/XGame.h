// XGame: the one object that owns the play — the scene, the player, the weapons and every game flag.
// It is the program's only input listener. Its start-up runs inside the first frame, once the window's
// OpenGL context exists; Frame runs once per loop pass.
// Depends on: shell.
#pragma once

#include "shell/XInputListener.h"

class XGame : public XInputListener {
public:
    XGame();
    ~XGame() override = default;

    // The first-frame hook: loads everything the game needs.
    void StartUp();
    // One game frame: update, draw, swap.
    void Frame();
};

// The process-wide game object, created on first use.
XGame* GetGame();
