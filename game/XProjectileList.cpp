// XProjectileList: integration, ageing and removal of rockets and sparks.
#include "game/XProjectileList.h"

#include "shell/XTimer.h"
#include "sound/FSound.h"

#include <iterator> // std::next

void XProjectileList::Add(const XVector3& position, const XVector3& velocity, const XVector3& acceleration,
                          float lifetime)
{
    XProjectile& record = Append();
    record.position = position;
    record.velocity = velocity;
    record.acceleration = acceleration;
    record.lifetime = lifetime;
}

void XProjectileList::Add(const XProjectile& record)
{
    Append() = record;
}

void XProjectileList::Reserve(size_t count)
{
    while (Capacity() < count) {
        spare.emplace_back();
    }
}

size_t XProjectileList::Capacity() const
{
    return records.size() + spare.size();
}

XProjectile& XProjectileList::Append()
{
    if (spare.empty()) {
        spare.emplace_back();
    }
    records.splice(records.end(), spare, spare.begin());
    XProjectile& record = records.back();
    record = XProjectile();
    return record;
}

void XProjectileList::Update()
{
    const float dt = GetTimer()->GetFrameTime();
    auto it = records.begin();
    while (it != records.end()) {
        it->velocity += it->acceleration * dt;
        it->position += it->velocity * dt;
        it->age += dt;
        if (it->age > it->lifetime) {
            if (it->channel != -1) {
                FSOUND_StopSound(it->channel);
            }
            const auto next = std::next(it);
            spare.splice(spare.begin(), records, it);
            it = next;
        } else {
            ++it;
        }
    }
}

void XProjectileList::Expire(XProjectile& record)
{
    record.age = record.lifetime + 1.0f;
}

std::list<XProjectile>& XProjectileList::Records()
{
    return records;
}

const std::list<XProjectile>& XProjectileList::Records() const
{
    return records;
}

int XProjectileList::Count() const
{
    return static_cast<int>(records.size());
}

int XProjectileList::RocketCount() const
{
    int count = 0;
    for (const XProjectile& record : records) {
        count += record.isRocket ? 1 : 0;
    }
    return count;
}

void XProjectileList::Clear()
{
    spare.splice(spare.begin(), records);
}

XProjectileList* GetProjectileList()
{
    static XProjectileList* const list = new XProjectileList();
    return list;
}
