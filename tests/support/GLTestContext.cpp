// GLTestContext: the hidden window and its GL context.
#include "support/GLTestContext.h"

#include "shell/XWindow.h" // RequestEngineGLAttributes

#include <GL/gl.h>
#include <SDL.h>

#include <cstdlib> // getenv, setenv

namespace {

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
std::string failure;

bool CreateContext()
{
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("SDL_VIDEODRIVER") == nullptr) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        failure = std::string("SDL video: ") + SDL_GetError();
        return false;
    }
    RequestEngineGLAttributes();
    window = SDL_CreateWindow("korvath test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, kGLTestWidth,
                              kGLTestHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window == nullptr) {
        failure = std::string("SDL window: ") + SDL_GetError();
        return false;
    }
    context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        failure = std::string("GL context: ") + SDL_GetError();
        return false;
    }
    return true;
}

} // namespace

bool EnsureGLContext(std::string* reason)
{
    static const bool created = CreateContext();
    if (created && SDL_GL_MakeCurrent(window, context) != 0) {
        failure = std::string("make current: ") + SDL_GetError();
    } else if (created) {
        return true;
    }
    if (reason != nullptr) {
        *reason = failure;
    }
    return false;
}

unsigned int TakeGLError()
{
    const GLenum first = glGetError();
    for (int i = 0; i < 64 && glGetError() != GL_NO_ERROR; ++i) {
    }
    return first;
}

RGBPixel ReadBackBufferPixel(int x, int y)
{
    unsigned char rgba[4] = {};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    RGBPixel pixel;
    pixel.r = rgba[0];
    pixel.g = rgba[1];
    pixel.b = rgba[2];
    return pixel;
}

void GLContextTest::SetUp()
{
    std::string reason;
    ASSERT_TRUE(EnsureGLContext(&reason)) << reason;
    glViewport(0, 0, kGLTestWidth, kGLTestHeight);
    TakeGLError();
}
