// XShaderManager: the table of material records that the renderers select by index.
//
// The scene loader sizes the table once and fills it from the scene file's material list. Asking for a
// record outside the table writes a warning line to the log and hands back a default record (no textures,
// opaque), so a bad material number in a mesh can never make a renderer read past the table. The warning is
// written once per index and table: the renderers ask for the same record every frame.
// Depends on: XShader, XLog.
#pragma once

#include "scene/XShader.h"

#include <set>
#include <vector>

class XShaderManager {
public:
    XShaderManager() = default;
    XShaderManager(const XShaderManager&) = delete;
    XShaderManager& operator=(const XShaderManager&) = delete;
    // A table prepared elsewhere (a level loaded off the main thread) takes the place of this one.
    XShaderManager(XShaderManager&&) = default;
    XShaderManager& operator=(XShaderManager&&) = default;

    // Drops every record and makes count default records (none for a count of 0 or less); indices warned
    // about before are warned about again.
    void Resize(int count);
    int GetCount() const { return static_cast<int>(shaders.size()); }

    // Record index; for an index outside 0 .. count - 1 a fresh default record (changes to it are lost at the
    // next such call), and the first time for that index the log line "Warning: Trying to bind unexisting
    // shader!".
    XShader& GetShader(int index);

private:
    std::vector<XShader> shaders;
    XShader fallback;
    std::set<int> warnedIndices;
};

// The process-wide table, created on first use.
XShaderManager* GetShaderManager();
