// XSceneNode: one object of the level: its frame, its mesh (owned), the mesh's bounds, its name and the
// material groups that split its triangles between material records.
// Depends on: XNode, XMesh, XFrame, XMaterialGroup, XBoundingBox.
#pragma once

#include "math/XBoundingBox.h"
#include "scene/XFrame.h"
#include "scene/XMaterialGroup.h"
#include "scene/XMesh.h"
#include "scene/XNode.h"

#include <memory> // std::unique_ptr
#include <string>
#include <vector>

class XSceneNode : public XNode {
public:
    XSceneNode() = default;
    ~XSceneNode() override;

    void SetName(const std::string& newName) { name = newName; }
    const std::string& GetName() const { return name; }

    // Takes the mesh (null drops the current one) and recomputes the bounds from its positions.
    void SetMesh(std::unique_ptr<XMesh> newMesh);
    XMesh* GetMesh() { return mesh.get(); }
    const XMesh* GetMesh() const { return mesh.get(); }

    // Recomputes the bounds from the current mesh's positions; without a mesh or positions the bounds are
    // the box of no points (see XBoundingBox::FromPoints).
    void UpdateBounds();
    const XBoundingBox& GetBounds() const { return bounds; }

    void SetFrame(const XVector3& rot0, const XVector3& rot1, const XVector3& rot2, const XVector3& translate);
    const XFrame& GetFrame() const { return frame; }

    // Replaces the groups with a copy of the given ones.
    void SetMaterialGroups(const std::vector<XMaterialGroup>& groups);
    int GetMaterialGroupCount() const { return static_cast<int>(materialGroups.size()); }
    // A copy of group i; an empty group (material 0, no triangles) when i is out of range.
    XMaterialGroup GetMaterialGroup(int i) const;
    // Index of the first triangle of group i: the triangles of the groups before it added up.
    int GetGroupFirstTriangle(int i) const;

private:
    XFrame frame;
    std::unique_ptr<XMesh> mesh;
    XBoundingBox bounds;
    std::string name;
    std::vector<XMaterialGroup> materialGroups;
};
