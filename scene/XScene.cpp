// XScene: node list, special-node sorting and mesh preparation.
// Depends on: XSceneNode, XMesh, XLog.
#include "scene/XScene.h"

#include "shell/XLog.h"

#include <utility> // std::move

XScene::~XScene()
{
    // The draw lists point into nodes: empty them before the nodes go.
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
    XSceneNode* const world = FindNode("world");
    if (world == nullptr || world->GetMesh() == nullptr) {
        GetLog()->ShowError("World mesh could not be found in scene");
        return;
    }
    if (build != nullptr) {
        octree = build(world->GetMesh());
    }

    // A second setup must not list the nodes twice.
    plainNodes.clear();
    tangentNodes.clear();
    SortInto("world", plainNodes);
    SortInto("plasma", tangentNodes);
    SortInto("rocket", tangentNodes);
    SortInto("skydome", plainNodes);
    SortInto("bullet", plainNodes);
    PrepareMeshes();
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
