// XScene: the loaded level: every node in file order (owned), the two draw lists the setup sorts the
// special objects into, and the octree built over the world mesh.
//
// The octree belongs to the space layer, which sits above this one, so the scene cannot build it itself:
// SetupScene takes the builder from its caller (the game passes the space layer's). The scene never deletes
// the octree; whoever set the scene up does.
// Depends on: XSceneNode, XMesh, XLog.
#pragma once

#include "scene/XSceneNode.h"

#include <memory> // std::unique_ptr
#include <string>
#include <vector>

class XOctTree;

// Builds the octree over the world's meshes (the parts in order, "world" first); returns a new tree owned by the
// caller of SetupScene.
using XOctreeBuilder = XOctTree* (*)(const std::vector<XMesh*>& worldParts);

// The name of the world's part number part (1 is "world" itself, 2 "world.2" and so on): a world too large for
// one mesh comes as several objects.
std::string WorldPartName(int part);

class XScene {
public:
    XScene() = default;
    virtual ~XScene();
    XScene(const XScene&) = delete;
    XScene& operator=(const XScene&) = delete;

    // Appends the node at the end of the node list and returns it; a null node is ignored (null result).
    XSceneNode* AddNode(std::unique_ptr<XSceneNode> node);
    int GetNodeCount() const { return static_cast<int>(nodes.size()); }
    // Node i in file order, or null when i is out of range.
    XSceneNode* GetNode(int i) const;

    // The first node, in file order, whose name equals name exactly (letter case counts); null when none.
    XSceneNode* FindNode(const std::string& name) const;

    // Finds "world" and, when it exists with a mesh, gathers the world's further parts ("world.2", "world.3",
    // ... up to the first one missing or without a mesh), builds the octree from their meshes through build
    // (when build is not null) and sorts the special nodes: world and its parts, skydome and bullet into the
    // plain list, plasma and rocket into the tangent list, then prepares their meshes. Without a world mesh it
    // shows "World mesh could not be found in scene" and does nothing more. Special nodes without a mesh are
    // left out.
    void SetupScene(XOctreeBuilder build);
    // The world's parts found by the latest setup, "world" first; empty before it or without a world mesh.
    const std::vector<XSceneNode*>& GetWorldParts() const { return worldParts; }
    // Triangles of all the world's parts.
    int GetWorldTriangleCount() const;

    // Points the render arrays of the listed meshes at their sources; tangent-list meshes first get their
    // tangent space and an array of their own for renderVectors.
    void PrepareMeshes();

    // Kept for the game's shutdown path; nothing to release before destruction.
    void Release();

    XOctTree* GetOctree() const { return octree; }
    const std::vector<XSceneNode*>& GetPlainNodes() const { return plainNodes; }
    const std::vector<XSceneNode*>& GetTangentNodes() const { return tangentNodes; }

private:
    // Appends the named node to the list when it exists and has a mesh.
    void SortInto(const char* name, std::vector<XSceneNode*>& list) const;

    std::vector<XSceneNode*> worldParts;   // not owning
    std::vector<XSceneNode*> plainNodes;   // not owning
    std::vector<XSceneNode*> tangentNodes; // not owning
    std::vector<std::unique_ptr<XSceneNode>> nodes;
    XOctTree* octree = nullptr; // not owned
};
