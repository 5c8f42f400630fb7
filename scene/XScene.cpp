// XScene: node list, special-node sorting and mesh preparation.
// Depends on: XSceneNode, XMesh, XLog.
#include "scene/XScene.h"

#include "shell/XLog.h"

#include <utility> // std::move

std::string WorldPartName(int part)
{
    return part <= 1 ? "world" : "world." + std::to_string(part);
}

XScene::~XScene()
{
    // The draw lists point into nodes: empty them before the nodes go.
    worldParts.clear();
    plainNodes.clear();
    tangentNodes.clear();
    nodes.clear();
}

XSceneNode* XScene::AddNode(std::unique_ptr<XSceneNode> node)
{
    if (node == nullptr) {
        return nullptr;
    }
    nodes.push_back(std::move(node));
    return nodes.back().get();
}

XSceneNode* XScene::GetNode(int i) const
{
    if (i < 0 || i >= GetNodeCount()) {
        return nullptr;
    }
    return nodes[static_cast<size_t>(i)].get();
}

XSceneNode* XScene::FindNode(const std::string& name) const
{
    for (const std::unique_ptr<XSceneNode>& node : nodes) {
        if (node->GetName() == name) {
            return node.get();
        }
    }
    return nullptr;
}

void XScene::SetupScene(XOctreeBuilder build)
{
    // A second setup must not list the nodes twice.
    worldParts.clear();
    plainNodes.clear();
    tangentNodes.clear();
    XSceneNode* const world = FindNode("world");
    if (world == nullptr || world->GetMesh() == nullptr) {
        GetLog()->ShowError("World mesh could not be found in scene");
        return;
    }
    std::vector<XMesh*> meshes;
    for (XSceneNode* part = world; part != nullptr && part->GetMesh() != nullptr;
         part = FindNode(WorldPartName(static_cast<int>(worldParts.size()) + 1))) {
        worldParts.push_back(part);
        meshes.push_back(part->GetMesh());
    }
    if (build != nullptr) {
        octree = build(meshes);
    }

    plainNodes = worldParts;
    SortInto("plasma", tangentNodes);
    SortInto("rocket", tangentNodes);
    SortInto("skydome", plainNodes);
    SortInto("bullet", plainNodes);
    PrepareMeshes();
}

int XScene::GetWorldTriangleCount() const
{
    int triangles = 0;
    for (const XSceneNode* const part : worldParts) {
        triangles += part->GetMesh()->GetTriangleCount();
    }
    return triangles;
}

void XScene::SortInto(const char* name, std::vector<XSceneNode*>& list) const
{
    XSceneNode* const node = FindNode(name);
    if (node != nullptr && node->GetMesh() != nullptr) {
        list.push_back(node);
    }
}

void XScene::PrepareMeshes()
{
    for (XSceneNode* const node : plainNodes) {
        node->GetMesh()->ShareRenderArrays();
    }
    for (XSceneNode* const node : tangentNodes) {
        XMesh* const mesh = node->GetMesh();
        mesh->ComputeTangents();
        mesh->ShareRenderArrays();
        mesh->ShareTangentRenderArrays();
        mesh->AllocateRenderVectors();
    }
}

void XScene::Release()
{
}
