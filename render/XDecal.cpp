// XDecalList: the process-wide list of wall marks.
#include "render/XDecal.h"

void XDecalList::Reserve(size_t count)
{
    decals.reserve(count);
}

void XDecalList::Add(const XDecal& decal)
{
    decals.push_back(decal);
}

std::vector<XDecal>& XDecalList::Decals()
{
    return decals;
}

const std::vector<XDecal>& XDecalList::Decals() const
{
    return decals;
}

int XDecalList::Count() const
{
    return static_cast<int>(decals.size());
}

void XDecalList::Clear()
{
    decals.clear();
}

XDecalList* GetDecalList()
{
    static XDecalList* const list = new XDecalList();
    return list;
}
