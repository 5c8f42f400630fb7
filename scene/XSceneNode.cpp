// XSceneNode: mesh ownership, bounds and material groups.
// Depends on: XMesh, XBoundingBox.
#include "scene/XSceneNode.h"

#include <algorithm> // std::min
#include <utility>   // std::move

XSceneNode::~XSceneNode() = default;

void XSceneNode::SetMesh(std::unique_ptr<XMesh> newMesh)
{
    mesh = std::move(newMesh);
    UpdateBounds();
}

void XSceneNode::UpdateBounds()
{
    const bool hasPositions = mesh != nullptr && mesh->GetPositions() != nullptr;
    bounds = XBoundingBox::FromPoints(hasPositions ? mesh->GetPositions() : nullptr,
                                      hasPositions ? mesh->GetVertexCount() : 0);
}

void XSceneNode::SetFrame(const XVector3& rot0, const XVector3& rot1, const XVector3& rot2,
                          const XVector3& translate)
{
    frame.rot0 = rot0;
    frame.rot1 = rot1;
    frame.rot2 = rot2;
    frame.translate = translate;
}

void XSceneNode::SetMaterialGroups(const std::vector<XMaterialGroup>& groups)
{
    materialGroups = groups;
}

XMaterialGroup XSceneNode::GetMaterialGroup(int i) const
{
    if (i < 0 || i >= GetMaterialGroupCount()) {
        return XMaterialGroup();
    }
    return materialGroups[static_cast<size_t>(i)];
}

int XSceneNode::GetGroupFirstTriangle(int i) const
{
    const int end = std::min(i, GetMaterialGroupCount());
    int first = 0;
    for (int g = 0; g < end; ++g) {
        first += materialGroups[static_cast<size_t>(g)].triangleCount;
    }
    return first;
}
