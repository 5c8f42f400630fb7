// XCamera: view axes from yaw and pitch, and the frame's projection and view.
#include "render/XCamera.h"

#include "shell/XAnimationManager.h"
#include "shell/XSettings.h"
#include "shell/XWindow.h"

#include <GL/gl.h>
#include <GL/glu.h> // gluPerspective, gluLookAt

namespace {
const float kPitchLimit = 80.0f;
} // namespace

XCamera::XCamera()
{
    SetValue(XVector3(1.0f, 0.0f, 0.0f));
}

void XCamera::OnFinished()
{
    GetAnimationManager()->ReportFinished(kZoomAnimation);
}

void XCamera::SetYaw(float degrees)
{
    yaw = degrees;
}

void XCamera::SetPitch(float degrees)
{
    pitch = degrees;
    if (pitch > kPitchLimit) {
        pitch = kPitchLimit;
    }
    if (pitch < -kPitchLimit) {
        pitch = -kPitchLimit;
    }
}

float XCamera::GetYaw() const
{
    return yaw;
}

float XCamera::GetPitch() const
{
    return pitch;
}

float XCamera::GetZoom() const
{
    return value.x;
}

void XCamera::Strafe(float distance)
{
    position += right * distance;
}

void XCamera::Advance(float distance)
{
    position += forward * distance;
}

void XCamera::Raise(float distance)
{
    position.y += distance;
}

void XCamera::SetPosition(float x, float y, float z)
{
    position = XVector3(x, y, z);
}

void XCamera::SetPosition(const XVector3& newPosition)
{
    position = newPosition;
}

const XVector3& XCamera::GetPosition() const
{
    return position;
}

const XVector3& XCamera::GetForward() const
{
    return forward;
}

const XVector3& XCamera::GetRight() const
{
    return right;
}

const XVector3& XCamera::GetViewDirection() const
{
    return viewDirection;
}

void XCamera::UpdateAxes()
{
    forward = XVector3(0.0f, 0.0f, 1.0f);
    RotateAroundAxis(forward, yaw, kWorldUp);
    right = Cross(forward, kWorldUp);
    RotateAroundAxis(forward, pitch, right);
}

float XCamera::FieldOfView() const
{
    return GetSettings().fieldOfView / GetZoom();
}

double XCamera::AspectRatio()
{
    const XPoint size = GetWindow()->GetDrawableSize();
    if (size.y <= 0 || size.x * 3 == size.y * 4) {
        return 1.33; // the 4:3 pictures keep the projection the game was made with
    }
    return static_cast<double>(size.x) / size.y;
}

void XCamera::Apply(bool orthographic, float tilt, float eyeHeight)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (orthographic) {
        glOrtho(-40.0, 40.0, -30.0, 30.0, -40.0, 40.0);
    } else {
        gluPerspective(FieldOfView(), AspectRatio(), 0.1, 200.0);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    UpdateAxes();
    const XVector3 up = kWorldUp + right * tilt;
    const XVector3 eye(position.x, position.y + eyeHeight, position.z);
    const XVector3 target = eye + forward;
    gluLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, up.x, up.y, up.z);
    viewDirection = forward;
    forward = Cross(kWorldUp, right);
}
