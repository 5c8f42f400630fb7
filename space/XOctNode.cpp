// XOctNode: child access with its argument checks, and the node's triangle array.
// Depends on: XLog (assertions).
#include "space/XOctNode.h"

#include "shell/XLog.h"

#include <cassert> // assert

namespace {

bool IsUnitScale(const XVector3& s)
{
    return s.x == 1.0f && s.y == 1.0f && s.z == 1.0f;
}

} // namespace

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

const XTriangle* XOctNode::ScaledTriangles(const XVector3& scale) const
{
    if (IsUnitScale(scale)) {
        return triangles.data(); // multiplying by 1 changes no corner, so the constructor gives the same plane
    }
    // Compared bit for bit, so that 0 and -0 (which scale to differently signed corners) are told apart.
    if (!scaledValid || !SameBits(scale, scaledBy)) {
        scaledTriangles.resize(triangles.size());
        for (size_t i = 0; i < triangles.size(); ++i) {
            scaledTriangles[i] = triangles[i].Scaled(scale);
        }
        scaledBy = scale;
        scaledValid = true;
    }
    return scaledTriangles.data();
}

void XOctNode::SetTriangles(const std::vector<XTriangle>& list)
{
    scaledValid = false;
    // A fresh vector sized to the list: the node keeps no spare capacity from earlier contents.
    std::vector<XTriangle> copy(list);
    triangles.swap(copy);
}

void XOctNode::FreeTriangles()
{
    scaledValid = false;
    std::vector<XTriangle>().swap(scaledTriangles);
    std::vector<XTriangle>().swap(triangles);
}
