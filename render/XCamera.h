// XCamera: the viewer's position, yaw and pitch, the view axes derived from them, and the projection and view
// set for each frame. Its animated value (from XVectorAnimator) is the zoom: x is the zoom factor, 1 at start;
// its arrival is reported as the zoom's own (kZoomAnimation), so that it ends no other action.
// The player body derives from it.
// Depends on: shell (XVectorAnimator, the settings' field of view, the window's drawable size), math, OpenGL and GLU.
#pragma once

#include "shell/XVectorAnimator.h"

// The world's up direction: the axis the camera turns about when it yaws.
inline const XVector3 kWorldUp(0.0f, 1.0f, 0.0f);

class XCamera : public XVectorAnimator {
public:
    XCamera();
    ~XCamera() override = default;

    void OnFinished() override;

    void SetYaw(float degrees);
    // Clamped to -80 ... 80 degrees.
    void SetPitch(float degrees);
    float GetYaw() const;
    float GetPitch() const;
    float GetZoom() const;

    void Strafe(float distance);
    void Advance(float distance);
    void Raise(float distance);
    void SetPosition(float x, float y, float z);
    void SetPosition(const XVector3& newPosition);

    const XVector3& GetPosition() const;
    const XVector3& GetForward() const;
    const XVector3& GetRight() const;
    const XVector3& GetViewDirection() const;

    // Recomputes forward (yaw and pitch applied) and right from the angles.
    void UpdateAxes();
    // Sets the projection (perspective with the field of view / zoom degrees, or the 80 x 60 orthographic view)
    // and the view from the eye at eyeHeight above the position; afterwards forward is horizontal again.
    void Apply(bool orthographic, float tilt, float eyeHeight);

    // The vertical field of view Apply uses for a perspective projection, in degrees: the settings' (60 by
    // default) divided by the zoom.
    float FieldOfView() const;
    // The perspective's width over height: the drawable's, and 1.33 for every 4:3 picture.
    static double AspectRatio();

protected:
    float yaw = 0.0f;
    float pitch = 0.0f;
    XVector3 right = XVector3(1.0f, 0.0f, 0.0f);
    XVector3 forward = XVector3(0.0f, 0.0f, 1.0f);
    XVector3 position = XVector3(-3.0f, 10.5f, 1.0f);
    XVector3 viewDirection = XVector3(0.0f, 0.0f, 1.0f);
};
