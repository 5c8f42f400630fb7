// XAnimated: a value that can be told to move linearly to a target over some milliseconds, after an optional
// delay, and to report its arrival. XAnimationManager advances every running animation once per frame.
// Depends on: XTimer (game time), math (XVector3).
#pragma once

#include "math/XVector3.h"

#include <cstdint> // int32_t

class XAnimated {
public:
    XAnimated() = default;
    virtual ~XAnimated();
    XAnimated(const XAnimated&) = delete;
    XAnimated& operator=(const XAnimated&) = delete;

    virtual void SetValue(const XVector3& value) = 0;
    virtual XVector3 GetValue() const = 0;
    virtual void OnFinished() = 0;

    // Moves from the current value to target: the movement begins `delay` ms from now and lasts `duration`
    // ms. Starting a running animation restarts it from where it stands.
    void Start(const XVector3& target, int32_t delay, int32_t duration, bool notify);
    bool IsActive() const;

private:
    friend class XAnimationManager;

    XVector3 from;
    XVector3 to;
    int32_t startTime = 0;
    int32_t duration = 0;
    bool active = false;
    bool notify = false;
};
