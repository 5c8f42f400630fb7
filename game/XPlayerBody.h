// XPlayerBody: the player — a camera with a body that walks under gravity. Velocity is measured in units
// per 200 ms of frame time; the movement keys push through an impulse that is added on every physics step.
// Depends on: XCamera, XTimer.
#pragma once

#include "render/XCamera.h"

class XPlayerBody : public XCamera {
public:
    XPlayerBody();
    ~XPlayerBody() override = default;

    // Position plus the eye offset (one unit up).
    XVector3 GetEyePosition() const;
    const XVector3& GetEyeOffset() const;

    void ClearImpulse();
    // Impulse plus or minus the horizontal forward direction.
    void PushForward(bool positive);
    // Impulse plus or minus the right direction.
    void PushSide(bool positive);
    // One step of walk physics: impulse, vertical clamp, friction, gravity, speed cap. Returns the velocity.
    XVector3 PhysicsStep();
    // Leaves the ground at 15 units per 200 ms when standing; airborne in any case.
    void Jump();

    void SetAirborne(bool inAir);
    bool IsAirborne() const;
    XVector3& GetVelocity();
    const XVector3& GetVelocity() const;
    float& GetGravity();
    const XVector3& GetImpulse() const;

    // Applies the camera with the eye height.
    void Apply();

private:
    bool airborne = true;
    XVector3 velocity;
    XVector3 eyeOffset = XVector3(0.0f, 1.0f, 0.0f);
    XVector3 impulse;
    float gravity = 0.1f;
};
