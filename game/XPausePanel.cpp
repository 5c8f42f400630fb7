// XPausePanel: the pause panel's arrival report.
#include "game/XPausePanel.h"

#include "shell/XAnimationManager.h"

void XPausePanel::OnFinished()
{
    GetAnimationManager()->ReportFinished(kPanelAnimation);
}
