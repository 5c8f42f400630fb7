// XVectorAnimator: an animated three-component value. Its arrival report tells the game that an animation of
// kind kValueAnimation has finished (the weapon models' hook); the pause panel and the camera override it to
// report their own kinds.
#pragma once

#include "shell/XAnimated.h"

class XVectorAnimator : public XAnimated {
public:
    XVectorAnimator() = default;
    ~XVectorAnimator() override = default;

    void SetValue(const XVector3& newValue) override;
    XVector3 GetValue() const override;
    void OnFinished() override;

protected:
    XVector3 value;
};
