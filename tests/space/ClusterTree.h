// ClusterTree: a test fixture with octrees of known shape over clusters of small triangles.
#pragma once

#include "TriangleSoup.h"

#include "space/XOctTree.h"

#include <gtest/gtest.h>

#include <memory> // unique_ptr
#include <vector>

// A frame at +-8 (root centred on the origin, half-size 16; one frame triangle in each child) with
//   60 triangles at (-5, 5, -5), in child 0;
//   60 triangles at (5, 5, 5), in child 3;
//   75 at (2, -6, -6) and 75 at (6, -2, -2), in child 6: there in its child 1 (centre (4, -4, -4), half-size 4),
//   which is cut again into its children 4 (centre (2, -6, -6)) and 3 (centre (6, -2, -2)), half-size 2.
// Child 6's own frame triangle lies on the face z = -8 and so goes to its child 0.
class ClusterTree : public testing::Test {
protected:
    void SetUp() override
    {
        TriangleSoup soup;
        soup.AddFrame(8.0f);
        soup.AddSmall(XVector3(-5.0f, 5.0f, -5.0f), 60);
        soup.AddSmall(XVector3(5.0f, 5.0f, 5.0f), 60);
        soup.AddSmall(XVector3(2.0f, -6.0f, -6.0f), 75);
        soup.AddSmall(XVector3(6.0f, -2.0f, -2.0f), 75);
        mesh = soup.MakeMesh();
        tree.BuildRenderTree(mesh.get());
        tree.Build(mesh.get());
        root = tree.Root();
        ASSERT_NE(root, nullptr);
        ASSERT_NE(root->Child(6), nullptr);
        inner = root->Child(6)->Child(1);
        ASSERT_NE(inner, nullptr);
        ASSERT_NE(inner->Child(3), nullptr);
        ASSERT_NE(inner->Child(4), nullptr);
    }

    std::vector<XOctNode*> Sphere(const XVector3& centre, float radius) const
    {
        std::vector<XOctNode*> nodes;
        tree.SphereQuery(centre, radius, nodes);
        return nodes;
    }

    std::unique_ptr<XMesh> mesh;
    XOctTree tree;
    XOctNode* root = nullptr;
    XOctNode* inner = nullptr;
};

