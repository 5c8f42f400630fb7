// XRenderOctNode: a node of the render octree, the tree drawn as wire cubes by the octree display.
//
// Triangles are the mesh's own index triples (three 16-bit vertex indices each, packed as in the mesh), never
// clipped. Unlike the collision tree, a subdivided node keeps its triangles, so every node holds all the
// triangles of its region. A node owns its children and its index array; the mesh is only referred to.
// Depends on: XCube, XMesh, XLog (assertions).
#pragma once

#include "math/XCube.h"

#include <cstdint> // uint16_t
#include <memory>  // unique_ptr
#include <vector>

class XMesh;

class XRenderOctNode {
public:
    XRenderOctNode() = default;
    XRenderOctNode(const XCube& nodeCube, const XMesh* nodeMesh);
    XRenderOctNode(const XRenderOctNode&) = delete;
    XRenderOctNode& operator=(const XRenderOctNode&) = delete;

    // Child 0 to 7 or null; an index outside 0 to 7 stops the program.
    XRenderOctNode* Child(int index) const;
    // Takes ownership of child, deleting any child it replaces; a null child or a bad index stops the program.
    void SetChild(int index, XRenderOctNode* child);
    int ChildCount() const;

    int TriangleCount() const { return static_cast<int>(indices.size() / 3); }
    // 3 x TriangleCount() vertex indices into Mesh()'s arrays.
    const uint16_t* Indices() const { return indices.data(); }
    // Replaces the node's triangles by a copy of count index triples.
    void SetIndices(const uint16_t* triangleIndices, int count);

    const XCube& Cube() const { return cube; }
    void SetCube(const XCube& nodeCube) { cube = nodeCube; }

    // The mesh whose vertices the indices address.
    const XMesh* Mesh() const { return mesh; }
    void SetMesh(const XMesh* nodeMesh) { mesh = nodeMesh; }

private:
    std::vector<uint16_t> indices;
    std::unique_ptr<XRenderOctNode> children[8];
    XCube cube;
    const XMesh* mesh = nullptr;
};
