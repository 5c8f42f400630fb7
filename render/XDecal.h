// XDecal, XDecalList: marks left on walls by hits — bullet holes (type 1) and rocket scorches (type 2).
// The weapons add them; the decal pass draws, ages and removes them (type 2 ages twice as fast; a decal fades
// over its last two seconds and is gone after 8000 ms of age).
// Depends on: math.
#pragma once

#include "math/XVector3.h"

#include <cstddef> // size_t
#include <cstdint> // int32_t, uint8_t
#include <vector>

struct XDecal {
    int32_t age = 0;     // milliseconds
    uint8_t type = 1;    // 1 bullet hole, 2 rocket scorch
    XVector3 edge;       // second minus first vertex of the hit triangle: first axis of the decal's plane
    XVector3 side;       // normal x edge: second axis
    XVector3 normal;     // the hit triangle's normal
    XVector3 position;   // the hit point
};

class XDecalList {
public:
    // Room for `count` entries made once, so that adding up to that many allocates nothing.
    void Reserve(size_t count);
    void Add(const XDecal& decal);
    // The decals in creation order; the decal pass ages and removes them.
    std::vector<XDecal>& Decals();
    const std::vector<XDecal>& Decals() const;
    int Count() const;
    void Clear();

private:
    std::vector<XDecal> decals;
};

// The process-wide decal list, created on first use.
XDecalList* GetDecalList();
