// XInput: listener dispatch, key and button state, mouse capture.
#include "shell/XInput.h"

#include "shell/XWindow.h"

#include <algorithm> // std::find

void XInput::AddListener(XInputListener* listener)
{
    listeners.push_back(listener);
    dispatch.reserve(4 * listeners.capacity()); // a few messages deep, sent from within listeners
}

void XInput::RemoveListener(XInputListener* listener)
{
    const auto found = std::find(listeners.begin(), listeners.end(), listener);
    if (found != listeners.end()) {
        listeners.erase(found);
    }
}

size_t XInput::OpenDispatch()
{
    const size_t first = dispatch.size();
    dispatch.insert(dispatch.end(), listeners.begin(), listeners.end());
    return first;
}

void XInput::CloseDispatch(size_t first)
{
    dispatch.resize(first);
}

void XInput::OnKeyboardMessage(uint32_t message, WPARAM wParam, LPARAM)
{
    const int key = static_cast<int>(wParam & 0xFF);
    if (message == WM_KEYDOWN) {
        keyHeld[key] = true;
        pressedSinceQuery[key] = true;
        const size_t first = OpenDispatch();
        const size_t end = dispatch.size();
        for (size_t i = first; i < end; ++i) {
            dispatch[i]->OnKeyDown(key);
        }
        CloseDispatch(first);
    } else if (message == WM_KEYUP) {
        keyHeld[key] = false;
        const size_t first = OpenDispatch();
        const size_t end = dispatch.size();
        for (size_t i = first; i < end; ++i) {
            dispatch[i]->OnKeyUp(key);
        }
        CloseDispatch(first);
    }
}

void XInput::OnMouseMessage(uint32_t message, WPARAM, LPARAM lParam)
{
    XWindow* const window = GetWindow();
    const XPoint cursor = window->GetCursorPosition();
    const XPoint capture = window->GetCapturePoint();
    const XPoint point = {PointParamX(lParam), PointParamY(lParam)};
    // By index: a message sent from within a listener may move the dispatch stack.
    const size_t first = OpenDispatch();
    const size_t end = dispatch.size();

    switch (message) {
    case WM_MOUSEMOVE: {
        const float dx = static_cast<float>(cursor.x - capture.x);
        const float dy = static_cast<float>(cursor.y - capture.y);
        for (size_t i = first; i < end; ++i) {
            dispatch[i]->OnMouseMove(dx, dy);
        }
        if (captureMouse && (cursor.x != capture.x || cursor.y != capture.y)) {
            window->SetCursorPosition(capture);
        }
        break;
    }
    case WM_LBUTTONDOWN:
        leftDown = true;
        for (size_t i = first; i < end; ++i) {
            dispatch[i]->OnMouseDown(point, 0);
        }
        break;
    case WM_LBUTTONUP:
        leftDown = false;
        for (size_t i = first; i < end; ++i) {
            dispatch[i]->OnMouseUp(point, 0);
        }
        break;
    case WM_RBUTTONDOWN:
        rightDown = true;
        for (size_t i = first; i < end; ++i) {
            dispatch[i]->OnMouseDown(point, 1);
        }
        break;
    case WM_RBUTTONUP:
        rightDown = false;
        for (size_t i = first; i < end; ++i) {
            dispatch[i]->OnMouseUp(point, 1);
        }
        break;
    case WM_MBUTTONDOWN:
        middleDown = true;
        for (size_t i = first; i < end; ++i) {
            dispatch[i]->OnMouseDown(point, 2);
        }
        break;
    case WM_MBUTTONUP:
        middleDown = false;
        for (size_t i = first; i < end; ++i) {
            dispatch[i]->OnMouseUp(point, 2);
        }
        break;
    default:
        break;
    }
    CloseDispatch(first);
}

void XInput::OnLookMotion(float dx, float dy)
{
    const size_t first = OpenDispatch();
    const size_t end = dispatch.size();
    for (size_t i = first; i < end; ++i) {
        dispatch[i]->OnMouseMove(dx, dy);
    }
    CloseDispatch(first);
}

void XInput::OnFocusLost()
{
    const size_t first = OpenDispatch();
    const size_t end = dispatch.size();
    for (size_t i = first; i < end; ++i) {
        dispatch[i]->OnFocusLost();
    }
    CloseDispatch(first);
}

bool XInput::IsKeyDown(int key)
{
    const int index = key & 0xFF;
    const bool down = keyHeld[index] || pressedSinceQuery[index];
    pressedSinceQuery[index] = false;
    return down;
}

bool XInput::IsKeyHeld(int key) const
{
    return keyHeld[static_cast<size_t>(key & 0xFF)];
}

bool XInput::GetButton(int index) const
{
    switch (index) {
    case 0: return leftDown;
    case 1: return rightDown;
    case 2: return middleDown;
    default: return false;
    }
}

const uint8_t* XInput::GetKeyboardState()
{
    for (size_t i = 0; i < keyState.size(); ++i) {
        keyState[i] = keyHeld[i] ? 0x80 : 0;
    }
    return keyState.data();
}

void XInput::SetMouseCapture(bool on)
{
    captureMouse = on;
    XWindow* const window = GetWindow();
    window->SetRelativeMouse(on);
    window->SetCursorPosition(window->GetCapturePoint());
}

bool XInput::IsMouseCaptured() const
{
    return captureMouse;
}

void XInput::ClipMouse(bool on)
{
    GetWindow()->ConfineCursor(on);
}

XPoint XInput::GetMousePosition() const
{
    const XWindow* const window = GetWindow();
    const XPoint cursor = window->GetCursorPosition();
    const XPoint size = window->GetSize();
    return {cursor.x - size.x / 2, -cursor.y + size.y / 2};
}

XInput* GetInput()
{
    static XInput* const input = new XInput();
    return input;
}
