// XOctNode: child access with its argument checks, and the node's triangle array.
// Depends on: XLog (assertions).
#include "space/XOctNode.h"

#include "shell/XLog.h"

#include <cassert> // assert

XOctNode::XOctNode(const XCube& nodeCube) : cube(nodeCube) {}

XOctNode* XOctNode::Child(int index) const
{
    XAssert(index >= 0 && index < 8, "index >= 0 && index < 8", "xocttree", __LINE__);
    return children[index].get();
}

void XOctNode::SetChild(int index, XOctNode* child)
{
    XAssert(index >= 0 && index < 8, "index >= 0 && index < 8", "xocttree", __LINE__);
    XAssert(child != nullptr, "child != NULL", "xocttree", __LINE__);
    children[index].reset(child);
}

int XOctNode::ChildCount() const
{
    int count = 0;
    for (const std::unique_ptr<XOctNode>& child : children) {
        if (child) {
            ++count;
        }
    }
    return count;
}

const XTriangle& XOctNode::Triangle(int i) const
{
    assert(i >= 0 && i < TriangleCount());
    return triangles[static_cast<size_t>(i)];
}

void XOctNode::SetTriangles(const std::vector<XTriangle>& list)
{
    // A fresh vector sized to the list: the node keeps no spare capacity from earlier contents.
    std::vector<XTriangle> copy(list);
    triangles.swap(copy);
}

void XOctNode::FreeTriangles()
{
    std::vector<XTriangle>().swap(triangles);
}
