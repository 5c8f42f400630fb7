// XShaderManager: the material table and its out-of-range warning.
// Depends on: XLog.
#include "scene/XShaderManager.h"

#include "shell/XLog.h"

void XShaderManager::Resize(int count)
{
    shaders.assign(count > 0 ? static_cast<size_t>(count) : 0u, XShader());
    warnedIndices.clear();
}

XShader& XShaderManager::GetShader(int index)
{
    if (index < 0 || index >= GetCount()) {
        if (warnedIndices.insert(index).second) {
            GetLog()->Log("Warning: Trying to bind unexisting shader!");
        }
        fallback = XShader();
        return fallback;
    }
    return shaders[static_cast<size_t>(index)];
}

XShaderManager* GetShaderManager()
{
    static XShaderManager* const manager = new XShaderManager();
    return manager;
}
