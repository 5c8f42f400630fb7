// XVectorAnimator: the stored vector value and the kind-3 arrival report.
#include "shell/XVectorAnimator.h"

#include "shell/XAnimationManager.h"

void XVectorAnimator::SetValue(const XVector3& newValue)
{
    value = newValue;
}

XVector3 XVectorAnimator::GetValue() const
{
    return value;
}

void XVectorAnimator::OnFinished()
{
    GetAnimationManager()->ReportFinished(kValueAnimation);
}
