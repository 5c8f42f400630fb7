// XInputListener: base of everything that wants keyboard and mouse calls.
// Constructing a listener registers it with XInput; destroying it unregisters it.
#pragma once

#include <cstdint> // int32_t

struct XPoint {
    int32_t x = 0;
    int32_t y = 0;
};

class XInputListener {
public:
    XInputListener();
    virtual ~XInputListener();
    XInputListener(const XInputListener&) = delete;
    XInputListener& operator=(const XInputListener&) = delete;

    // button: 0 left, 1 right, 2 middle. point: client coordinates from the message.
    virtual void OnMouseDown(XPoint point, int32_t button);
    virtual void OnMouseUp(XPoint point, int32_t button);
    // Motion in pixels since the previous move, x to the right and y downward.
    virtual void OnMouseMove(float dx, float dy);
    // key: virtual-key code. Auto-repeats arrive as further key-downs.
    virtual void OnKeyDown(int key);
    virtual void OnKeyUp(int key);
    // The window lost the keyboard focus (the player switched to another program).
    virtual void OnFocusLost();
};
