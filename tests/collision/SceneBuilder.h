// SceneBuilder: small test worlds made of quads, set up as a scene with a collision octree.
#pragma once

#include "scene/XMesh.h"
#include "scene/XScene.h"
#include "scene/XSceneNode.h"
#include "space/XOctTree.h"

#include <memory>
#include <vector>

// The player's ellipsoid radii, and no scaling at all.
inline const XVector3 kPlayerScale(11.0f, 5.0f, 11.0f);
inline const XVector3 kUnitScale(1.0f, 1.0f, 1.0f);

class SceneBuilder {
public:
    // A quad a-b-c-d (counter-clockwise seen from the side its normal points to) as two triangles.
    SceneBuilder& Quad(const XVector3& a, const XVector3& b, const XVector3& c, const XVector3& d)
    {
        Triangle(a, b, c);
        Triangle(a, c, d);
        return *this;
    }
    SceneBuilder& Triangle(const XVector3& a, const XVector3& b, const XVector3& c)
    {
        for (const XVector3& p : {a, b, c}) {
            positions.push_back(p);
        }
        return *this;
    }
    // A floor at height y facing up, from (x0, z0) to (x1, z1).
    SceneBuilder& Floor(float y, float x0, float z0, float x1, float z1)
    {
        return Quad(XVector3(x0, y, z0), XVector3(x0, y, z1), XVector3(x1, y, z1), XVector3(x1, y, z0));
    }
    // A ceiling at height y facing down.
    SceneBuilder& Ceiling(float y, float x0, float z0, float x1, float z1)
    {
        return Quad(XVector3(x0, y, z0), XVector3(x1, y, z0), XVector3(x1, y, z1), XVector3(x0, y, z1));
    }
    // A wall in the plane z = z facing -z (towards smaller z), spanning x0..x1 and y0..y1.
    SceneBuilder& WallFacingMinusZ(float z, float x0, float x1, float y0, float y1)
    {
        return Quad(XVector3(x0, y0, z), XVector3(x0, y1, z), XVector3(x1, y1, z), XVector3(x1, y0, z));
    }

    // The scene with a "world" node over all triangles and its octree.
    std::unique_ptr<XScene> Build() const
    {
        auto mesh = std::make_unique<XMesh>();
        const int count = static_cast<int>(positions.size());
        mesh->Create(count, count / 3, XMesh::kPositions | XMesh::kNormals);
        for (int i = 0; i < count; ++i) {
            mesh->GetPositions()[i] = positions[static_cast<size_t>(i)];
            mesh->GetTriangles()[i] = static_cast<uint16_t>(i);
        }
        auto node = std::make_unique<XSceneNode>();
        node->SetName("world");
        node->SetMesh(std::move(mesh));
        auto scene = std::make_unique<XScene>();
        scene->AddNode(std::move(node));
        scene->SetupScene(BuildOctTree);
        return scene;
    }

    ~SceneBuilder() = default;

private:
    std::vector<XVector3> positions;
};

// Deletes the scene's octree with the scene (the scene itself does not own it).
struct SceneWithOctree {
    explicit SceneWithOctree(std::unique_ptr<XScene> built) : scene(std::move(built)) {}
    ~SceneWithOctree() { delete scene->GetOctree(); }
    SceneWithOctree(const SceneWithOctree&) = delete;
    SceneWithOctree& operator=(const SceneWithOctree&) = delete;
    XScene* get() const { return scene.get(); }

    std::unique_ptr<XScene> scene;
};
