// XGame: start-up and the per-frame update and draw.
#include "game/XGame.h"

#include "shell/XWindow.h"

#include <GL/gl.h>

XGame::XGame() = default;

void XGame::StartUp()
{
}

void XGame::Frame()
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GetWindow()->SwapBuffers();
}

XGame* GetGame()
{
    static XGame* const game = new XGame();
    return game;
}
