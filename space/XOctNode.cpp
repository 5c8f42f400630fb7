// XOctNode: child access with its argument checks, and the node's triangle array.
// Depends on: XLog (assertions).
#include "space/XOctNode.h"

#include "shell/XLog.h"

#include <cassert> // assert
#include <utility> // std::move

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

void XOctNode::SetTriangles(std::vector<XTriangle> list)
{
    triangles = std::move(list);
}

void XOctNode::FreeTriangles()
{
    std::vector<XTriangle>().swap(triangles);
}
