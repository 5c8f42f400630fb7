// XOctTreeBuilder: the subdivision of both octrees, with the work lists it reuses from node to node so that a
// build allocates little beyond the nodes' own arrays. Used by XOctTree; one builder serves one build.
// Depends on: XOctNode, XRenderOctNode, XMesh, XCube, XTriangle.
#pragma once

#include "math/XCube.h"
#include "math/XTriangle.h"
#include "space/XOctNode.h"
#include "space/XOctTree.h"
#include "space/XRenderOctNode.h"

#include <array>
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
    using ChildLists = std::array<std::vector<XCorners>, 8>;

    // Subdivides the node whose triangles are the list (the node holds none yet): a leaf takes them as its
    // triangles, each with its plane; an inner node hands them on, cut, to its children.
    void Subdivide(XOctNode& node, int depth, const std::vector<XCorners>& list);
    // Subdivides the root's children on this thread and a second one with a builder of its own, each taking the
    // largest child left: their subtrees share nothing, so the tree comes out as it would one child after the
    // other.
    void SubdivideRootChildren(XOctNode& root, const ChildLists& lists);
    void Subdivide(XRenderOctNode& node, int depth);
    // Cuts every triangle of the work list by the plane through centre across the axis (0 x, 1 y, 2 z).
    void SplitWorkList(int axis, const XVector3& centre);
    // Whether the triangles just distributed to the children stay as many in two or more of them as in the
    // node: clipping cannot tell such triangles apart (they overlap in every such child) and subdividing
    // would only multiply their pieces, without end.
    static bool CannotSeparate(size_t nodeTriangleCount, const ChildLists& lists);

    // Triangles are cut as corners; only a leaf's get their planes.
    std::vector<XCorners> work;
    std::vector<XCorners> pieces;
    // The children's lists of a node at each depth. A subtree uses only the depths below its root's, so the
    // lists of the siblings still waiting stay as they are, and every list is reused from node to node.
    std::vector<ChildLists> childCorners = std::vector<ChildLists>(XOctTree::maxDepth + 1);
    std::vector<uint16_t> childIndices[8];
};
