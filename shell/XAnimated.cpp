// XAnimated: starting a tween.
#include "shell/XAnimated.h"

#include "shell/XAnimationManager.h"
#include "shell/XTimer.h"

XAnimated::~XAnimated()
{
    GetAnimationManager()->Remove(this);
}

void XAnimated::Start(const XVector3& target, int32_t delay, int32_t length, bool notifyOnArrival)
{
    from = GetValue();
    to = target;
    startTime = GetTimer()->GetTime() + delay;
    duration = length;
    active = true;
    notify = notifyOnArrival;
    GetAnimationManager()->Add(this);
}

bool XAnimated::IsActive() const
{
    return active;
}
