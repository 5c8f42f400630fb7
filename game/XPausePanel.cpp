// XPausePanel: the kind-1 arrival report.
#include "game/XPausePanel.h"

#include "shell/XAnimationManager.h"

void XPausePanel::OnFinished()
{
    GetAnimationManager()->ReportFinished(1);
}
