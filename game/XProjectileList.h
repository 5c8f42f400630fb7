// XProjectileList: the moving, timed records the weapons leave in the world — flying rockets and the sparks
// of hits. Once per frame every record is moved by simple integration over the frame time, aged, and removed
// when its age passes its lifetime; a record may carry the sound channel of its flight sound, which is
// stopped when the record goes.
//
// The records live in list nodes that are made once: a removed record's node goes to a spare list, and a new
// record takes a spare node (std::list::splice moves nodes between lists without touching the heap). Reserve
// makes the nodes at start-up, so the frames that fire, hit and explode allocate nothing; only a list that
// outgrows every earlier count makes a node more, which it keeps.
// Depends on: XTimer, FSound, math.
#pragma once

#include "math/XVector3.h"

#include <cstddef> // size_t
#include <cstdint> // int32_t
#include <list>

struct XProjectile {
    int32_t channel = -1;   // sound channel tied to the record; -1 for none
    XVector3 position;
    XVector3 velocity;      // units per millisecond
    XVector3 acceleration;  // units per millisecond squared
    float age = 0.0f;       // milliseconds of frame time
    float lifetime = 0.0f;
    bool isRocket = false;
    XVector3 up;            // the rocket's orientation for drawing
};

class XProjectileList {
public:
    // Makes spare nodes until the list holds records and spares for `count` records in all.
    void Reserve(size_t count);
    // Records and spare nodes together: the records the list can hold without allocating.
    size_t Capacity() const;

    // A spark: age 0, no sound.
    void Add(const XVector3& position, const XVector3& velocity, const XVector3& acceleration, float lifetime);
    // A copy of a record the caller built (rockets).
    void Add(const XProjectile& record);
    // Moves, ages and removes the records, once per frame.
    void Update();
    // Makes the next Update remove the record.
    void Expire(XProjectile& record);

    std::list<XProjectile>& Records();
    const std::list<XProjectile>& Records() const;
    int Count() const;
    int RocketCount() const;
    void Clear();

private:
    // A node for a new record at the end of the list, reset to a default record: a spare one when there is one.
    XProjectile& Append();

    std::list<XProjectile> records;
    std::list<XProjectile> spare; // nodes of removed records, for the next ones
};

// The process-wide projectile list, created on first use.
XProjectileList* GetProjectileList();
