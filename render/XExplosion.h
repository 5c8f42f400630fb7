// XExplosion, XExplosionList: rocket explosions. The weapons add them; the explosion passes draw the animated
// sprite (removed from 390 ms of age) and the glow (which ages them, and removes them after 500 ms).
// Depends on: math.
#pragma once

#include "math/XVector3.h"

#include <cstddef> // size_t
#include <cstdint> // int32_t
#include <vector>

struct XExplosion {
    XVector3 position;
    int32_t age = 0;       // milliseconds
    int32_t rotation = 0;  // degrees of the sprite's rotation
    float scale = 1.0f;    // size factor; the drawing uses its whole-number part
};

class XExplosionList {
public:
    // Room for `count` entries made once, so that adding up to that many allocates nothing.
    void Reserve(size_t count);
    void Add(const XExplosion& explosion);
    std::vector<XExplosion>& Explosions();
    const std::vector<XExplosion>& Explosions() const;
    int Count() const;
    void Clear();

private:
    std::vector<XExplosion> explosions;
};

// The process-wide explosion list, created on first use.
XExplosionList* GetExplosionList();
