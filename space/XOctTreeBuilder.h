// XOctTreeBuilder: the subdivision of both octrees, with the work lists it reuses from node to node so that a
// build allocates little beyond the nodes' own arrays. Used by XOctTree; one builder serves one build.
// Depends on: XOctNode, XRenderOctNode, XMesh, XCube, XTriangle.
#pragma once

#include "math/XCube.h"
#include "math/XTriangle.h"
#include "space/XOctNode.h"
#include "space/XRenderOctNode.h"

#include <cstdint> // uint16_t
#include <memory>  // unique_ptr
#include <vector>

class XMesh;

class XOctTreeBuilder {
public:
    // The collision tree of the mesh: a root over the mesh's bounding cube holding one XTriangle per mesh
    // triangle, subdivided with clipping.
    std::unique_ptr<XOctNode> BuildCollisionTree(const XMesh& mesh);
    // The same over the meshes of a world kept in parts: one root over all of them, the parts' triangles in
    // turn.
    std::unique_ptr<XOctNode> BuildCollisionTree(const std::vector<const XMesh*>& parts);
    // The render tree of the mesh: a root holding all index triangles, subdivided without clipping.
    std::unique_ptr<XRenderOctNode> BuildRenderTree(const XMesh& mesh);

    // The root cube of a mesh: centred on its bounding box, with half-size the box's largest full extent.
    static XCube RootCube(const XMesh& mesh);
    // The root cube of meshes taken together.
    static XCube RootCube(const std::vector<const XMesh*>& parts);
    // The cube of child index of a node with the given cube.
    static XCube ChildCube(const XCube& parent, int index);

private:
    void Subdivide(XOctNode& node, int depth);
    // Subdivides the root's children, about half of their triangles on a second thread with a builder of its
    // own: their subtrees share nothing, so the tree comes out as it would one child after the other.
    void SubdivideRootChildren(XOctNode& root);
    void Subdivide(XRenderOctNode& node, int depth);
    // Cuts every triangle of the work list by the plane through centre across the axis (0 x, 1 y, 2 z).
    void SplitWorkList(int axis, const XVector3& centre);
    // Whether the triangles just distributed to the children stay as many in two or more of them as in the
    // node: clipping cannot tell such triangles apart (they overlap in every such child) and subdividing
    // would only multiply their pieces, without end.
    bool CannotSeparate(int nodeTriangleCount) const;

    std::vector<XTriangle> work;
    std::vector<XTriangle> pieces;
    std::vector<XTriangle> childTriangles[8];
    std::vector<uint16_t> childIndices[8];
};
