// XInputListener: registration with XInput and the do-nothing default handlers.
#include "shell/XInputListener.h"

#include "shell/XInput.h"

XInputListener::XInputListener()
{
    GetInput()->AddListener(this);
}

XInputListener::~XInputListener()
{
    GetInput()->RemoveListener(this);
}

void XInputListener::OnMouseDown(XPoint, int32_t) {}
void XInputListener::OnMouseUp(XPoint, int32_t) {}
void XInputListener::OnMouseMove(float, float) {}
void XInputListener::OnKeyDown(int) {}
void XInputListener::OnKeyUp(int) {}
void XInputListener::OnFocusLost() {}
