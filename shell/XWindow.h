// XWindow: the one main window with its OpenGL context, and the message loop that drives the program.
//
// The window is an SDL window standing in for a borderless Win32 popup; the loop drains SDL's event queue,
// translating each event into the Win32-style message that the window procedure handles (keys as virtual-key
// codes, auto-repeat as repeated key-downs, mouse motion and buttons, closing as WM_DESTROY), then calls the
// frame function once and lets the timer measure the pass. Nothing in the loop blocks.
//
// Every key, mouse button and gamepad input passes the bindings (XBindings) on its way: the window delivers the
// key or button of the action it is bound to, or nothing. Scripted keys and buttons are physical input too.
// Alt+Enter toggles desktop full screen; a resized window updates the drawable size and the viewport.
//
// The platform's cursor is modelled here too: while mouse capture is on, SDL's relative mouse mode delivers
// motion that moves a virtual cursor, which input puts back on the capture point (the window centre).
// Depends on: SDL2, OpenGL, XInput, XTimer, XLog, XAutomation.
#pragma once

#include "shell/WindowMessages.h"
#include "shell/XBindings.h"
#include "shell/XGamepad.h"
#include "shell/XInputListener.h" // XPoint

struct SDL_Window;
struct XScriptEvent;
union SDL_Event;

struct XRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

class XWindow {
public:
    XWindow() = default;
    XWindow(const XWindow&) = delete;
    XWindow& operator=(const XWindow&) = delete;

    // From 160x120 to 16384x16384; anything else stops the program. Returns 0.
    int SetSize(XPoint size);
    // Opens the (hidden) window. False, with the reason in LastError, when no window can be opened.
    bool Create();
    void SetFrameCallback(void (*callback)());
    // Shows and places the window, makes the OpenGL context and runs the loop until the program quits.
    void Run();
    // Full screen at the window's size; takes effect when set before Run.
    void SetFullscreen();
    // Puts back the display mode saved by the full-screen switch; nothing when there was none.
    void RestoreDisplayMode();
    // Full screen at the desktop's own resolution, without a mode switch (before Run, or while running).
    void SetDesktopFullscreen(bool on);
    bool IsDesktopFullscreen() const;
    // The window's look and behaviour, set before Create (or Run for the swap interval).
    void SetFramed(bool on);
    void SetVerticalSync(bool on);
    // Game controllers are looked for (and hot-plugged) from Create on.
    void SetGamepadEnabled(bool on);
    // Losing the focus pauses the game (the listeners' OnFocusLost) and frees the mouse.
    void SetPauseOnFocusLoss(bool on);
    void SetBindings(const XBindings& newBindings);
    // The gamepad's right stick: look speed factor and dead zone.
    void SetGamepadLook(float speed, float deadZone);
    // Presents the back buffer (the frame's picture, or a loading screen).
    void SwapBuffers();

    // The window's size in points (mouse coordinates).
    XPoint GetSize() const;
    // The size of the picture in pixels (more than the points on a HiDPI display): for OpenGL.
    XPoint GetDrawableSize() const;
    XRect GetWindowRect() const;
    SDL_Window* GetHandle() const;

    // Off-screen rendering without a display (SDL's offscreen driver); set before Create.
    void SetHeadless(bool on);
    const char* LastError() const;

    // The number of the loop pass running now, counted from 1 (frame N = the N-th call of the frame function).
    int FrameNumber() const;
    // True while the start-up runs inside the first frame: its swaps present loading screens.
    void SetLoadingPhase(bool on);

    // The platform cursor, in client coordinates.
    XPoint GetCursorPosition() const;
    void SetCursorPosition(XPoint position);
    XPoint GetCapturePoint() const;
    void SetRelativeMouse(bool on);
    void ConfineCursor(bool on);

    // Delivers one scripted event through the window procedure, like a real one.
    void DeliverScriptEvent(const XScriptEvent& event);
    // Posts the quit message: the loop ends after the pass that receives it has run its frame.
    void PostQuit();

private:
    void PlaceWindow();
    void SwitchDisplayMode();
    void CreateContext();
    void DrainEvents();
    // Writes a real input event to the recording, as the script event that replays it.
    void RecordRealEvent(const SDL_Event& event) const;
    void DispatchKey(uint32_t message, int virtualKey, bool repeat);
    // A physical input (key, mouse button, gamepad input) went down or up: its action, if it is bound.
    void DeliverInput(int input, bool down);
    void DeliverPadChanges(const XPadChanges& changes);
    void OnWindowEvent(const SDL_Event& event);
    void OnFocusLost();
    // Takes the window's size and the drawable's from SDL and fits the viewport to it.
    void RefreshSize();

    bool fullscreen = false;
    bool created = false;
    bool headless = false;
    bool displayModeSwitched = false;
    SDL_Window* window = nullptr;
    void* context = nullptr;
    bool desktopFullscreen = false;
    bool framed = false;
    bool verticalSync = false;
    bool gamepadEnabled = false;
    bool pauseOnFocusLoss = false;
    int32_t width = 800;
    int32_t height = 600;
    XPoint drawable = {800, 600};
    XBindings bindings;
    XGamepad gamepad;
    float padLookSpeed = 1.0f;
    float padDeadZone = 0.2f;
    void (*frameCallback)() = nullptr;

    bool quitPosted = false;
    int frameNumber = 0;
    bool loadingPhase = false;
    bool relativeMouse = false;
    XPoint cursor = {400, 300};
    char lastError[512] = {};
};

// The process-wide window, created on first use (800x600, not yet opened).
XWindow* GetWindow();

// Asks SDL for the OpenGL buffer of the engine's window (double-buffered 8-bit RGBA, 24-bit depth, 8-bit
// stencil, compatibility profile); call before creating a window. Tests and benchmarks use it too, so that
// they draw into the same kind of buffer.
void RequestEngineGLAttributes();

// The window procedure: routes keyboard and mouse messages to input; WM_DESTROY posts the quit message.
// Returns 0 for handled messages; others are ignored (there is no default procedure on this platform).
intptr_t WindowProc(uint32_t message, WPARAM wParam, LPARAM lParam);

// Posts WM_QUIT to the loop.
void PostQuitMessage(int exitCode);
