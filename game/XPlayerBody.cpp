// XPlayerBody: walk physics of the player.
#include "game/XPlayerBody.h"

#include "shell/XTimer.h"

#include <cmath> // sqrt

namespace {
const float kMaxVerticalSpeed = 3.0f;
const float kFriction = 0.9f;
const float kMaxHorizontalSpeed = 2.0f;
const float kJumpSpeed = 15.0f;
} // namespace

XPlayerBody::XPlayerBody()
{
    position = XVector3(0.0f, 0.0f, 0.0f);
}

XVector3 XPlayerBody::GetEyePosition() const
{
    return position + eyeOffset;
}

const XVector3& XPlayerBody::GetEyeOffset() const
{
    return eyeOffset;
}

void XPlayerBody::ClearImpulse()
{
    impulse = XVector3(0.0f, 0.0f, 0.0f);
}

void XPlayerBody::PushForward(bool positive)
{
    impulse += positive ? forward : -forward;
}

void XPlayerBody::PushSide(bool positive)
{
    impulse += positive ? right : -right;
}

XVector3 XPlayerBody::PhysicsStep()
{
    velocity += impulse;
    const float frameTime = GetTimer()->GetFrameTime();
    if (velocity.y > kMaxVerticalSpeed) {
        velocity.y = kMaxVerticalSpeed;
    }
    if (velocity.y < -kMaxVerticalSpeed) {
        velocity.y = -kMaxVerticalSpeed;
    }
    velocity.x *= kFriction;
    velocity.z *= kFriction;
    if (airborne) {
        velocity.y = static_cast<float>(velocity.y - frameTime * static_cast<double>(gravity) / 15.0);
    } else {
        velocity.y = -gravity;
    }
    const double horizontal = std::sqrt(static_cast<double>(velocity.x) * velocity.x +
                                        static_cast<double>(velocity.z) * velocity.z);
    if (horizontal > kMaxHorizontalSpeed) {
        const double scale = kMaxHorizontalSpeed / horizontal;
        velocity.x = static_cast<float>(velocity.x * scale);
        velocity.z = static_cast<float>(velocity.z * scale);
    }
    return velocity;
}

void XPlayerBody::Jump()
{
    if (!airborne) {
        velocity.y = kJumpSpeed;
    }
    airborne = true;
}

void XPlayerBody::SetAirborne(bool inAir)
{
    airborne = inAir;
}

bool XPlayerBody::IsAirborne() const
{
    return airborne;
}

XVector3& XPlayerBody::GetVelocity()
{
    return velocity;
}

const XVector3& XPlayerBody::GetVelocity() const
{
    return velocity;
}

float& XPlayerBody::GetGravity()
{
    return gravity;
}

const XVector3& XPlayerBody::GetImpulse() const
{
    return impulse;
}

void XPlayerBody::Apply()
{
    XCamera::Apply(false, 0.0f, eyeOffset.y);
}
