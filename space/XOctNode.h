// XOctNode: a node of the collision octree. Leaves hold copies of the world's triangles, clipped at the node
// boundaries, so that a query near the player hands the collision code a few small triangles.
//
// A node owns its children and its triangle array. After the build only leaves hold triangles.
// Depends on: XCube, XTriangle, XLog (assertions).
#pragma once

#include "math/XCube.h"
#include "math/XTriangle.h"

#include <memory> // unique_ptr
#include <vector>

class XOctNode {
public:
    XOctNode() = default;
    explicit XOctNode(const XCube& nodeCube);
    XOctNode(const XOctNode&) = delete;
    XOctNode& operator=(const XOctNode&) = delete;

    // Child 0 to 7 (see XOctTree for the placement of each index), or null where there is none. An index
    // outside 0 to 7 stops the program.
    XOctNode* Child(int index) const;
    // Gives the node ownership of child at index, deleting any child it replaces. A null child or an index
    // outside 0 to 7 stops the program.
    void SetChild(int index, XOctNode* child);
    // Number of existing children.
    int ChildCount() const;

    int TriangleCount() const { return static_cast<int>(triangles.size()); }
    const XTriangle& Triangle(int i) const;
    // The triangles as one array of TriangleCount() records.
    const XTriangle* Triangles() const { return triangles.data(); }
    // Replaces the node's triangles by the list, in list order (a list moved in is not copied).
    void SetTriangles(std::vector<XTriangle> list);
    // Frees the triangle array; the node then holds none.
    void FreeTriangles();

    const XCube& Cube() const { return cube; }
    void SetCube(const XCube& nodeCube) { cube = nodeCube; }

private:
    std::unique_ptr<XOctNode> children[8];
    XCube cube;
    std::vector<XTriangle> triangles;
};
