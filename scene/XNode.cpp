// XNode: parent and child links.
// Depends on: nothing.
#include "scene/XNode.h"

#include <cstddef> // size_t

XNode::~XNode() = default;

void XNode::AddChild(XNode* child)
{
    if (child == nullptr) {
        return;
    }
    children.push_back(child);
    child->parent = this;
}

XNode* XNode::GetChild(int i) const
{
    if (i < 0 || i >= GetChildCount()) {
        return nullptr;
    }
    return children[static_cast<size_t>(i)];
}
