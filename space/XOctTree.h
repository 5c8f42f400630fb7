// XOctTree: the two octrees over the world mesh's triangles, built once when the scene is set up.
//
// The collision tree clips the triangles at every node's splitting planes and keeps the pieces, as XTriangle
// records, in its leaves only; it answers the sphere and segment queries of the collision code. The render
// tree sorts the mesh's own index triangles without clipping and keeps them at every level; it is drawn as
// wire cubes by the octree display.
//
// A node holding more than subdivisionThreshold triangles is cut into eight children, placed by index
// (centre c and half-size h of the parent; each child has half-size h/2):
//   index:  0  1  2  3  4  5  6  7
//   x:      -  -  +  +  -  -  +  +     (c.x -/+ h/2)
//   y:      +  +  +  +  -  -  -  -     (c.y -/+ h/2)
//   z:      -  +  -  +  -  +  -  +     (c.z -/+ h/2)
// A world too large for one mesh comes in parts (meshes of up to 49,999 vertices and triangles each): the
// collision tree takes all of their triangles under one root, and the render tree is one tree a part, since its
// nodes keep index triangles of a single mesh.
// Depends on: XOctNode, XRenderOctNode, XMesh, XCube.
#pragma once

#include "math/XVector3.h"
#include "space/XOctNode.h"
#include "space/XRenderOctNode.h"

#include <cstdint> // uint64_t
#include <memory>  // unique_ptr
#include <vector>

class XMesh;

class XOctTree {
public:
    // A node is subdivided only while it holds more than this many triangles (both trees).
    static constexpr int subdivisionThreshold = 100;
    // Level (the root is level 0) at which no node is subdivided any more, whatever it holds. Triangles
    // whose centroids coincide, or more than the threshold meeting at one point, are never told apart by
    // subdividing; this bound makes every build finish. (The collision tree also stops where two or more
    // children would each get as many triangles as their parent: overlapping triangles, which clipping
    // would only multiply.)
    static constexpr int maxDepth = 20;

    XOctTree() = default;
    XOctTree(const XOctTree&) = delete;
    XOctTree& operator=(const XOctTree&) = delete;

    // Builds the collision tree over the mesh's triangles, replacing any earlier one. The mesh is not owned
    // and must outlive the tree.
    void Build(const XMesh* worldMesh);
    // The same over the parts of a world, under one root.
    void Build(const std::vector<const XMesh*>& worldParts);
    // Builds the render tree over the mesh's triangles, replacing any earlier one.
    void BuildRenderTree(const XMesh* worldMesh);
    // Builds one render tree a part, replacing any earlier ones.
    void BuildRenderTrees(const std::vector<const XMesh*>& worldParts);

    // Appends to nodes every collision node that holds triangles and whose cube meets the sphere; the
    // search does not descend below a node that holds triangles. Appends nothing before a build.
    void SphereQuery(const XVector3& centre, float radius, std::vector<XOctNode*>& nodes) const;
    // Every collision node that holds triangles and whose cube meets the segment, parents before their
    // children, children in index order. The list is the tree's own and is replaced by the next call.
    const std::vector<XOctNode*>& SegmentQuery(const XVector3& from, const XVector3& to);

    // The collision tree's root, null before Build.
    XOctNode* Root() const { return root.get(); }
    // The render tree's root (the first part's), null before BuildRenderTree.
    XRenderOctNode* RenderRoot() const { return RenderRoot(0); }
    // The render tree of each part of the world.
    int RenderRootCount() const { return static_cast<int>(renderRoots.size()); }
    XRenderOctNode* RenderRoot(int part) const;
    // The mesh of the latest build (the first part).
    const XMesh* Mesh() const { return mesh; }
    // Tells collision builds apart: a number that no other build of any tree in the process has had (0 before
    // the first), so that answers kept about one tree are not taken for another's.
    uint64_t Serial() const { return serial; }
    // Milliseconds the two builds of BuildOctTree took (0 for a tree built otherwise).
    double BuildTime() const { return buildTime; }

private:
    friend XOctTree* BuildOctTree(const std::vector<XMesh*>& worldParts);

    std::unique_ptr<XOctNode> root;
    std::vector<std::unique_ptr<XRenderOctNode>> renderRoots;
    const XMesh* mesh = nullptr;
    std::vector<XOctNode*> queryResult;
    uint64_t serial = 0;
    double buildTime = 0.0;
};

// Creates the octree of the scene's world mesh: the render tree first, then the collision tree. Null when
// there is no mesh. The caller owns the tree.
XOctTree* BuildOctTree(XMesh* worldMesh);
// The same for a world in parts (the first part alone is the world mesh above). Null when there is no part or
// a part is null.
XOctTree* BuildOctTree(const std::vector<XMesh*>& worldParts);
