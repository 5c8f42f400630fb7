// XWindow: SDL window, OpenGL context, event translation and the message loop.
#include "shell/XWindow.h"

#include "shell/XAutomation.h"
#include "shell/XFrameProfile.h"
#include "shell/XInput.h"
#include "shell/XInputScript.h"
#include "shell/XKeyNames.h"
#include "shell/XLog.h"
#include "shell/XRecorder.h"
#include "shell/XScreenshotWriter.h"
#include "shell/XTimer.h"

#include <GL/gl.h> // glFinish
#include <SDL.h>
#include <cstdio>  // snprintf
#include <cstdlib> // getenv, setenv

namespace {

bool IsAllowedSize(XPoint p)
{
    return p.x >= 160 && p.x <= 16384 && p.y >= 120 && p.y <= 16384;
}

// The physical input of an SDL mouse button, or 0.
int MouseButtonInput(int sdlButton)
{
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return VK_LBUTTON;
    case SDL_BUTTON_RIGHT: return VK_RBUTTON;
    case SDL_BUTTON_MIDDLE: return VK_MBUTTON;
    case SDL_BUTTON_X1: return VK_XBUTTON1;
    case SDL_BUTTON_X2: return VK_XBUTTON2;
    default: return 0;
    }
}

} // namespace

int XWindow::SetSize(XPoint size)
{
    XAssert(IsAllowedSize(size), "p.x >= 160 && p.x <= 16384 && p.y >= 120 && p.y <= 16384", "xwindow", __LINE__);
    width = size.x;
    height = size.y;
    drawable = size;
    if (created) {
        SDL_SetWindowPosition(window, 0, 0);
        SDL_SetWindowSize(window, width, height);
    }
    return 0;
}

bool XWindow::Create()
{
    if (created) {
        return true;
    }
    if (headless) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    } else if (std::getenv("SDL_VIDEODRIVER") == nullptr) {
        // Without a display SDL would quietly fall back to an invisible off-screen window: a player must be
        // told instead. (--headless asks for exactly that off-screen mode.)
        SDL_SetHint(SDL_HINT_VIDEODRIVER, std::getenv("WAYLAND_DISPLAY") != nullptr ? "x11,wayland" : "x11");
    }
    setenv("SDL_VIDEO_X11_WMCLASS", "MOTHERWINDOW", 0); // the window class name, read by SDL's X11 driver
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        const bool noDisplay = !headless && std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr;
        std::snprintf(lastError, sizeof(lastError), "%s%s", SDL_GetError(),
                      noDisplay ? " (no display: DISPLAY is not set; --headless renders off-screen)" : "");
        return false;
    }
    RequestEngineGLAttributes();
    const Uint32 look = framed ? SDL_WINDOW_RESIZABLE : SDL_WINDOW_BORDERLESS | SDL_WINDOW_RESIZABLE;
    window = SDL_CreateWindow("Game?", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                              SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI | look);
    if (window == nullptr) {
        std::snprintf(lastError, sizeof(lastError), "%s", SDL_GetError());
        return false;
    }
    cursor = GetCapturePoint();
    created = true;
    if (gamepadEnabled && !gamepad.Start()) {
        GetLog()->Log(std::string("Gamepad: no game controller support: ") + SDL_GetError());
    }
    return true;
}

void XWindow::SetFrameCallback(void (*callback)())
{
    XAssert(callback != nullptr, "func != 0", "xwindow", __LINE__);
    frameCallback = callback;
}

void XWindow::Run()
{
    PlaceWindow();
    CreateContext();
    RefreshSize();
    SDL_ShowCursor(SDL_DISABLE);
    SDL_GL_SetSwapInterval(verticalSync ? 1 : 0); // refused under some drivers; the interval then stays theirs
    SetRelativeMouse(GetInput()->IsMouseCaptured());

    bool done = false;
    while (!done) {
        ++frameNumber;
        DrainEvents();
        GetAutomation()->BeginPass(frameNumber);
        if (quitPosted) {
            done = true; // WM_QUIT taken from the queue: this pass still runs its frame
        }
        frameCallback();
        GetAutomation()->EndPass(frameNumber);
        GetTimer()->Update();
    }
}

void XWindow::SetFullscreen()
{
    fullscreen = true;
}

void XWindow::RestoreDisplayMode()
{
    if (displayModeSwitched) {
        SDL_SetWindowFullscreen(window, 0);
        displayModeSwitched = false;
    }
}

void XWindow::SetDesktopFullscreen(bool on)
{
    desktopFullscreen = on;
    if (created && context != nullptr && !displayModeSwitched) {
        SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        RefreshSize();
    }
}

bool XWindow::IsDesktopFullscreen() const
{
    return desktopFullscreen;
}

void XWindow::SetFramed(bool on)
{
    framed = on;
}

void XWindow::SetVerticalSync(bool on)
{
    verticalSync = on;
}

void XWindow::SetGamepadEnabled(bool on)
{
    gamepadEnabled = on;
}

void XWindow::SetPauseOnFocusLoss(bool on)
{
    pauseOnFocusLoss = on;
}

void XWindow::SetBindings(const XBindings& newBindings)
{
    bindings = newBindings;
}

void XWindow::SetGamepadLook(float speed, float deadZone)
{
    padLookSpeed = speed;
    padDeadZone = deadZone;
}

void XWindow::SwapBuffers()
{
    GetAutomation()->BeforeSwap(frameNumber, loadingPhase);
    GetScreenshotWriter()->BeforeSwap(drawable.x, drawable.y, loadingPhase);
    XFrameProfile* const profile = GetFrameProfile();
    if (!profile->Enabled() || loadingPhase) {
        if (headless) {
            // The off-screen driver's swap does not flush: unflushed, llvmpipe keeps every frame's commands
            // queued and the process grows by the better part of a megabyte a frame.
            glFlush();
        }
        SDL_GL_SwapWindow(window);
        return;
    }
    // Measured: wait for the driver to finish the frame, then present it.
    const double start = XFrameProfile::Now();
    glFinish();
    SDL_GL_SwapWindow(window);
    profile->Add(XProfileSection::DriverWait, XFrameProfile::Now() - start);
}

XPoint XWindow::GetSize() const
{
    return {width, height};
}

XPoint XWindow::GetDrawableSize() const
{
    return drawable;
}

void XWindow::RefreshSize()
{
    if (window == nullptr) {
        return;
    }
    SDL_GetWindowSize(window, &width, &height);
    int pixelsX = width;
    int pixelsY = height;
    SDL_GL_GetDrawableSize(window, &pixelsX, &pixelsY);
    drawable = {pixelsX > 0 ? pixelsX : width, pixelsY > 0 ? pixelsY : height};
    if (context != nullptr) {
        glViewport(0, 0, drawable.x, drawable.y);
    }
}

XRect XWindow::GetWindowRect() const
{
    XRect rect;
    if (window != nullptr) {
        SDL_GetWindowPosition(window, &rect.left, &rect.top);
    }
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    return rect;
}

SDL_Window* XWindow::GetHandle() const
{
    return window;
}

void XWindow::SetHeadless(bool on)
{
    headless = on;
}

const char* XWindow::LastError() const
{
    return lastError;
}

int XWindow::FrameNumber() const
{
    return frameNumber;
}

void XWindow::SetLoadingPhase(bool on)
{
    loadingPhase = on;
}

XPoint XWindow::GetCursorPosition() const
{
    return cursor;
}

void XWindow::SetCursorPosition(XPoint position)
{
    cursor = position;
    if (window != nullptr && !relativeMouse && !headless && (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS)) {
        SDL_WarpMouseInWindow(window, position.x, position.y);
    }
}

XPoint XWindow::GetCapturePoint() const
{
    return {width / 2, height / 2};
}

void XWindow::SetRelativeMouse(bool on)
{
    relativeMouse = on;
    if (window != nullptr && !headless) {
        SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE); // unsupported drivers keep absolute motion
    }
}

void XWindow::ConfineCursor(bool on)
{
    if (window != nullptr && !headless) {
        SDL_SetWindowGrab(window, on ? SDL_TRUE : SDL_FALSE);
    }
}

void XWindow::DeliverScriptEvent(const XScriptEvent& event)
{
    switch (event.kind) {
    case XScriptEvent::Kind::KeyDown:
    case XScriptEvent::Kind::KeyUp:
        DeliverInput(event.key, event.kind == XScriptEvent::Kind::KeyDown);
        break;
    case XScriptEvent::Kind::MouseMove:
        cursor.x += event.dx;
        cursor.y += event.dy;
        WindowProc(WM_MOUSEMOVE, 0, MakePointParam(cursor.x, cursor.y));
        break;
    case XScriptEvent::Kind::MouseDown:
    case XScriptEvent::Kind::MouseUp: {
        static const int kButtons[] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};
        const int button = event.button >= 0 && event.button < 3 ? event.button : 0;
        DeliverInput(kButtons[button], event.kind == XScriptEvent::Kind::MouseDown);
        break;
    }
    case XScriptEvent::Kind::Close:
        WindowProc(WM_DESTROY, 0, 0);
        break;
    case XScriptEvent::Kind::FrameTime:
    case XScriptEvent::Kind::WaitLevel:
        break; // the clock's and the level watcher's business, not the window procedure's
    }
}

void XWindow::PostQuit()
{
    quitPosted = true;
}

void XWindow::PlaceWindow()
{
    SDL_Rect screen = {0, 0, width, height};
    SDL_GetDisplayBounds(0, &screen);
    if (!fullscreen) {
        SDL_ShowWindow(window);
        SDL_SetWindowPosition(window, screen.x + (screen.w - width) / 2, screen.y + (screen.h - height) / 2 + 25);
        if (desktopFullscreen) {
            SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
        }
        return;
    }
    SDL_SetWindowPosition(window, screen.x, screen.y);
    SDL_ShowWindow(window);
    SwitchDisplayMode();
}

void XWindow::SwitchDisplayMode()
{
    SDL_DisplayMode current = {};
    if (SDL_GetCurrentDisplayMode(0, &current) != 0) {
        GetLog()->ShowMessage("Error", "Could Not Enum Display Settings");
        return;
    }
    SDL_DisplayMode wanted = current;
    wanted.w = width;
    wanted.h = height;
    wanted.format = SDL_PIXELFORMAT_RGB888; // 32 bits per pixel
    SDL_DisplayMode closest = {};
    if (SDL_GetClosestDisplayMode(0, &wanted, &closest) == nullptr || closest.w != width || closest.h != height ||
        SDL_SetWindowDisplayMode(window, &closest) != 0 || SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0) {
        GetLog()->ShowMessage("Error", "Display Mode Not Compatible");
        PostQuitMessage(0);
        return;
    }
    displayModeSwitched = true;
}

void XWindow::CreateContext()
{
    context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        GetLog()->ShowFatal(std::string("Cannot create an OpenGL context: ") + SDL_GetError());
    }
    SDL_GL_MakeCurrent(window, static_cast<SDL_GLContext>(context));
}

void XWindow::DrainEvents()
{
    XRecorder* const recorder = GetRecorder();
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        if (recorder->IsRecording()) {
            RecordRealEvent(event);
        }
        switch (event.type) {
        case SDL_QUIT:
            WindowProc(WM_DESTROY, 0, 0);
            break;
        case SDL_WINDOWEVENT:
            OnWindowEvent(event);
            break;
        case SDL_KEYDOWN:
            if (event.key.keysym.sym == SDLK_RETURN && (event.key.keysym.mod & KMOD_ALT) != 0) {
                if (event.key.repeat == 0) {
                    SetDesktopFullscreen(!desktopFullscreen);
                }
                break;
            }
            DeliverInput(VirtualKeyFromSdl(event.key.keysym.sym), true);
            break;
        case SDL_KEYUP:
            DeliverInput(VirtualKeyFromSdl(event.key.keysym.sym), false);
            break;
        case SDL_TEXTINPUT:
            for (const char* c = event.text.text; *c != '\0'; ++c) {
                WindowProc(WM_CHAR, static_cast<unsigned char>(*c), 0);
            }
            break;
        case SDL_MOUSEMOTION:
            if (relativeMouse) {
                cursor.x += event.motion.xrel;
                cursor.y += event.motion.yrel;
            } else {
                cursor = {event.motion.x, event.motion.y};
            }
            WindowProc(WM_MOUSEMOVE, 0, MakePointParam(cursor.x, cursor.y));
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            DeliverInput(MouseButtonInput(event.button.button), event.type == SDL_MOUSEBUTTONDOWN);
            break;
        default:
            DeliverPadChanges(gamepad.HandleEvent(event));
            break;
        }
    }
    const XLookMotion look = gamepad.Look(GetTimer()->GetFrameTime(), padDeadZone, padLookSpeed);
    if (look.dx != 0.0f || look.dy != 0.0f) {
        GetInput()->OnLookMotion(look.dx, look.dy);
    }
}

void XWindow::OnWindowEvent(const SDL_Event& event)
{
    switch (event.window.event) {
    case SDL_WINDOWEVENT_CLOSE:
        WindowProc(WM_DESTROY, 0, 0);
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        RefreshSize();
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        if (pauseOnFocusLoss) {
            OnFocusLost();
        }
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        if (pauseOnFocusLoss && frameNumber > 1) {
            ConfineCursor(true);
        }
        break;
    default:
        break;
    }
}

void XWindow::OnFocusLost()
{
    // Whatever is held goes up now: its release will reach another window.
    for (int input = 0; input < kInputCount; ++input) {
        if (bindings.IsHeld(input)) {
            DeliverInput(input, false);
        }
    }
    GetInput()->OnFocusLost();
    SetRelativeMouse(false);
    ConfineCursor(false);
}

void XWindow::RecordRealEvent(const SDL_Event& event) const
{
    XScriptEvent recorded;
    switch (event.type) {
    case SDL_QUIT:
        recorded.kind = XScriptEvent::Kind::Close;
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        recorded.kind = event.type == SDL_KEYDOWN ? XScriptEvent::Kind::KeyDown : XScriptEvent::Kind::KeyUp;
        recorded.key = VirtualKeyFromSdl(event.key.keysym.sym);
        if (NameOfVirtualKey(recorded.key).empty()) {
            return; // a key the game does not know: nothing to replay
        }
        break;
    case SDL_MOUSEMOTION:
        recorded.kind = XScriptEvent::Kind::MouseMove;
        recorded.dx = relativeMouse ? event.motion.xrel : event.motion.x - cursor.x;
        recorded.dy = relativeMouse ? event.motion.yrel : event.motion.y - cursor.y;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        recorded.kind = event.type == SDL_MOUSEBUTTONDOWN ? XScriptEvent::Kind::MouseDown : XScriptEvent::Kind::MouseUp;
        if (event.button.button == SDL_BUTTON_LEFT) {
            recorded.button = 0;
        } else if (event.button.button == SDL_BUTTON_RIGHT) {
            recorded.button = 1;
        } else if (event.button.button == SDL_BUTTON_MIDDLE) {
            recorded.button = 2;
        } else {
            return;
        }
        break;
    default:
        return;
    }
    GetRecorder()->RecordEvent(frameNumber, recorded);
}

void XWindow::DispatchKey(uint32_t message, int virtualKey, bool repeat)
{
    const LPARAM lParam = repeat ? kKeyRepeatBit : 0;
    WindowProc(message, static_cast<WPARAM>(virtualKey), lParam);
}

void XWindow::DeliverInput(int input, bool down)
{
    const XActionEvent action = down ? bindings.Press(input) : bindings.Release(input);
    if (action.action == XAction::Count) {
        return;
    }
    if (action.action == XAction::Screenshot) {
        if (down && !action.repeat) {
            GetScreenshotWriter()->Request();
        }
        return;
    }
    const int key = ActionKey(action.action);
    uint32_t buttonMessage = 0;
    switch (key) {
    case VK_LBUTTON: buttonMessage = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case VK_RBUTTON: buttonMessage = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    case VK_MBUTTON: buttonMessage = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
    default:
        DispatchKey(down ? WM_KEYDOWN : WM_KEYUP, key, !down || action.repeat);
        return;
    }
    if (!action.repeat) {
        WindowProc(buttonMessage, 0, MakePointParam(cursor.x, cursor.y));
    }
}

void XWindow::DeliverPadChanges(const XPadChanges& changes)
{
    for (int i = 0; i < changes.count; ++i) {
        DeliverInput(changes.changes[static_cast<size_t>(i)].input, changes.changes[static_cast<size_t>(i)].down);
    }
}

XWindow* GetWindow()
{
    static XWindow* const window = new XWindow();
    return window;
}

intptr_t WindowProc(uint32_t message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        GetInput()->OnKeyboardMessage(message, wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        GetInput()->OnMouseMessage(message, wParam, lParam);
        return 0;
    default:
        return 0; // double clicks, system keys, paint, activation: not ours
    }
}

void PostQuitMessage(int)
{
    GetWindow()->PostQuit();
}

void RequestEngineGLAttributes()
{
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}
