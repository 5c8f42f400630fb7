// XPausePanel: the pause panel's slide. Its value's y is the panel's vertical screen position (500 off
// screen, 75 open); its arrival report tells the game that the panel has arrived (kPanelAnimation).
#pragma once

#include "shell/XVectorAnimator.h"

class XPausePanel : public XVectorAnimator {
public:
    void OnFinished() override;
};
