// XLightManager: the level's light table, a fixed array of 100 lights of which the first count are valid.
// Depends on: XLight, XLog (the index assertion).
#pragma once

#include "scene/XLight.h"

#include <array>

class XLightManager {
public:
    static constexpr int kMaxLights = 100;

    XLightManager() = default;
    XLightManager(const XLightManager&) = delete;
    XLightManager& operator=(const XLightManager&) = delete;
    // A table prepared elsewhere (a level loaded off the main thread) takes the place of this one.
    XLightManager(XLightManager&&) = default;
    XLightManager& operator=(XLightManager&&) = default;

    // Light i, 0 .. 99; any other index is a programming error and stops the program.
    XLight& GetLight(int i);
    const XLight& GetLight(int i) const;

    // The number of valid lights, kept within 0 .. 100.
    void SetCount(int newCount);
    int GetCount() const { return count; }

private:
    std::array<XLight, kMaxLights> lights;
    int count = 0;
};

// The process-wide light table, created on first use.
XLightManager* GetLightManager();
