// XOctTreeStats: figures that describe a built octree, for the scene dump and for tuning.
// Depends on: XOctTree.
#pragma once

class XOctTree;

struct XOctTreeStats {
    // Collision tree.
    int nodeCount = 0;
    int leafCount = 0;
    // Triangles held by leaves, clipped pieces included: the whole tree's triangles.
    int leafTriangles = 0;
    // Level of the deepest node, the root being level 0.
    int deepestLevel = 0;
    // Leaves left with more than the subdivision threshold because they reached the depth limit.
    int oversizedLeaves = 0;

    // Render tree.
    int renderNodeCount = 0;
    int renderRootTriangles = 0;

    // Walks both trees of the octree; a tree not built counts as no nodes.
    static XOctTreeStats Gather(const XOctTree& tree);
};
