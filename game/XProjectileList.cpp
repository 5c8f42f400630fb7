// XProjectileList: integration, ageing and removal of rockets and sparks.
#include "game/XProjectileList.h"

#include "shell/XTimer.h"
#include "sound/FSound.h"

void XProjectileList::Add(const XVector3& position, const XVector3& velocity, const XVector3& acceleration,
                          float lifetime)
{
    XProjectile record;
    record.position = position;
    record.velocity = velocity;
    record.acceleration = acceleration;
    record.lifetime = lifetime;
    records.push_back(record);
}

void XProjectileList::Add(const XProjectile& record)
{
    records.push_back(record);
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
            it = records.erase(it);
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
    records.clear();
}

XProjectileList* GetProjectileList()
{
    static XProjectileList* const list = new XProjectileList();
    return list;
}
