// XExplosionList: the process-wide list of explosions.
#include "render/XExplosion.h"

void XExplosionList::Reserve(size_t count)
{
    explosions.reserve(count);
}

void XExplosionList::Add(const XExplosion& explosion)
{
    explosions.push_back(explosion);
}

std::vector<XExplosion>& XExplosionList::Explosions()
{
    return explosions;
}

const std::vector<XExplosion>& XExplosionList::Explosions() const
{
    return explosions;
}

int XExplosionList::Count() const
{
    return static_cast<int>(explosions.size());
}

void XExplosionList::Clear()
{
    explosions.clear();
}

XExplosionList* GetExplosionList()
{
    static XExplosionList* const list = new XExplosionList();
    return list;
}
