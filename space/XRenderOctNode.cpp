// XRenderOctNode: child access with its argument checks, and the node's index array.
// Depends on: XLog (assertions).
#include "space/XRenderOctNode.h"

#include "shell/XLog.h"

XRenderOctNode::XRenderOctNode(const XCube& nodeCube, const XMesh* nodeMesh) : cube(nodeCube), mesh(nodeMesh) {}

XRenderOctNode* XRenderOctNode::Child(int index) const
{
    XAssert(index >= 0 && index < 8, "index >= 0 && index < 8", "xocttree", __LINE__);
    return children[index].get();
}

void XRenderOctNode::SetChild(int index, XRenderOctNode* child)
{
    XAssert(index >= 0 && index < 8, "index >= 0 && index < 8", "xocttree", __LINE__);
    XAssert(child != nullptr, "child != NULL", "xocttree", __LINE__);
    children[index].reset(child);
}

int XRenderOctNode::ChildCount() const
{
    int count = 0;
    for (const std::unique_ptr<XRenderOctNode>& child : children) {
        if (child) {
            ++count;
        }
    }
    return count;
}

void XRenderOctNode::SetIndices(const uint16_t* triangleIndices, int count)
{
    std::vector<uint16_t> copy(triangleIndices, triangleIndices + 3 * static_cast<size_t>(count));
    indices.swap(copy);
}
