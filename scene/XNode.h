// XNode: the base of every node of the scene, with a parent and children.
//
// The level is a flat list of nodes today: nothing links them to each other, but the links are here so a
// hierarchy can be built without changing the node classes. The links do not own the nodes they point at.
// Depends on: nothing.
#pragma once

#include <vector>

class XNode {
public:
    XNode() = default;
    virtual ~XNode();
    XNode(const XNode&) = delete;
    XNode& operator=(const XNode&) = delete;

    // Appends the child and makes this node its parent; a null child is ignored.
    void AddChild(XNode* child);
    int GetChildCount() const { return static_cast<int>(children.size()); }
    // Child i, or null when i is outside 0 .. count - 1.
    XNode* GetChild(int i) const;
    XNode* GetParent() const { return parent; }

private:
    std::vector<XNode*> children;
    XNode* parent = nullptr;
};
