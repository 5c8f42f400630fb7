// XInput: keyboard and mouse messages turned into listener calls, plus direct queries.
//
// The window procedure feeds it Win32-style messages (real ones translated from SDL events, and scripted
// ones from an input script). While mouse capture is on, every move is reported as the cursor's offset from
// the capture point, after which the cursor is put back there, so mouse look gets unbounded relative motion.
// The capture point is the centre of the window's client area.
// Depends on: XWindow (cursor position, window size).
#pragma once

#include "shell/WindowMessages.h"
#include "shell/XInputListener.h"

#include <array>   // std::array
#include <cstddef> // size_t
#include <cstdint> // uint8_t
#include <vector>  // std::vector

class XInput {
public:
    XInput() = default;
    virtual ~XInput() = default;
    XInput(const XInput&) = delete;
    XInput& operator=(const XInput&) = delete;

    void AddListener(XInputListener* listener);
    void RemoveListener(XInputListener* listener);

    void OnKeyboardMessage(uint32_t message, WPARAM wParam, LPARAM lParam);
    void OnMouseMessage(uint32_t message, WPARAM wParam, LPARAM lParam);
    // Look motion that does not move the cursor (the gamepad's right stick), in mouse pixels.
    void OnLookMotion(float dx, float dy);
    void OnFocusLost();

    // True while the key is held, and also once after a press that was released since the previous query.
    bool IsKeyDown(int key);
    // True while the key is held, and only then; asking changes nothing.
    bool IsKeyHeld(int key) const;
    // 0 left, 1 right, 2 middle; anything else false.
    bool GetButton(int index) const;
    // The held state of every virtual key: 0x80 for held keys, 0 otherwise.
    const uint8_t* GetKeyboardState();

    void SetMouseCapture(bool on);
    bool IsMouseCaptured() const;
    // Confines the cursor to the window (on) or frees it (off).
    void ClipMouse(bool on);
    // Cursor position relative to the window centre, y pointing up.
    XPoint GetMousePosition() const;

private:
    // Appends the listeners as they are now to the dispatch stack and returns where they begin there: a
    // message goes to these, even when a listener adds or removes listeners while being called. Messages
    // sent from within a listener stack their own above; CloseDispatch(first) drops them again.
    size_t OpenDispatch();
    void CloseDispatch(size_t first);

    bool leftDown = false;
    bool middleDown = false;
    bool rightDown = false;
    std::array<uint8_t, 256> keyState = {};
    std::vector<XInputListener*> listeners;
    std::vector<XInputListener*> dispatch; // room made when listeners are added, so messages allocate nothing
    bool captureMouse = true;

    // What GetAsyncKeyState would answer: held keys, and presses not yet seen by a query.
    std::array<bool, 256> keyHeld = {};
    std::array<bool, 256> pressedSinceQuery = {};
};

// The process-wide input object, created on first use.
XInput* GetInput();
