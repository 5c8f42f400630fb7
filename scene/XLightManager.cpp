// XLightManager: the light table.
// Depends on: XLog.
#include "scene/XLightManager.h"

#include "shell/XLog.h"

#include <algorithm> // std::clamp

XLight& XLightManager::GetLight(int i)
{
    XAssert(i >= 0 && i < kMaxLights, "i >= 0 && i < kMaxLights", "xlightmanager", __LINE__);
    return lights[static_cast<size_t>(i)];
}

const XLight& XLightManager::GetLight(int i) const
{
    XAssert(i >= 0 && i < kMaxLights, "i >= 0 && i < kMaxLights", "xlightmanager", __LINE__);
    return lights[static_cast<size_t>(i)];
}

void XLightManager::SetCount(int newCount)
{
    count = std::clamp(newCount, 0, kMaxLights);
}

XLightManager* GetLightManager()
{
    static XLightManager* const manager = new XLightManager();
    return manager;
}
