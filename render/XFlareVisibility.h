// XFlareVisibility: which lights the flare pass found hidden from the eye, kept while nothing that decides it
// has changed.
//
// Every frame the flare pass asks, for each light, whether the collision tree blocks the segment between the
// light and the eye: a walk of the tree along the whole segment for every light that turns out visible. A
// player who stands still while turning, aiming and shooting asks the very same questions frame after frame.
// The answers are kept for one collision build (by its serial) and one eye position, and each with the
// light's position; everything is compared bit for bit, so a kept answer is exactly the one the query would
// give again.
// Depends on: XVector3.
#pragma once

#include "math/XVector3.h"

#include <cstddef> // size_t
#include <cstdint> // uint64_t
#include <vector>

class XFlareVisibility {
public:
    // Starts a frame's questions: forgets every kept answer unless they were given for this collision build
    // and this eye.
    void Begin(uint64_t treeSerial, const XVector3& eye);
    // The kept answer for light `index` standing at `position`, if there is one.
    bool Find(int index, const XVector3& position, bool& blocked) const;
    // Keeps the answer for light `index` standing at `position`.
    void Keep(int index, const XVector3& position, bool blocked);
    // Forgets every kept answer.
    void Clear();
    // Room for the answers of lights 0 to count - 1, made at once (forgetting keeps it).
    void Reserve(size_t count);

private:
    struct Answer {
        XVector3 position;
        bool known = false;
        bool blocked = false;
    };

    bool haveKey = false;
    uint64_t serial = 0;
    XVector3 eye;
    std::vector<Answer> answers; // by light index
};
