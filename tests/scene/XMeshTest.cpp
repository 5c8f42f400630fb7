// Tests of XMesh: creation flags and limits, scaling, tangent space and render arrays.
#include "SceneTestSupport.h"

#include "scene/XMesh.h"

#include <gtest/gtest.h>

#include <algorithm> // std::copy
#include <cmath>     // std::sqrt

namespace {

// One triangle with P1 - P0 = (1, 0, 0), P2 - P0 = (0, 1, 0), texture steps (1, 0) and (0, 1), normals +z.
void MakeUnitTriangle(XMesh& mesh)
{
    mesh.Create(3, 1, XMesh::kPositions | XMesh::kNormals | XMesh::kTexCoordsA);
    mesh.GetPositions()[0] = XVector3(2.0f, 3.0f, 4.0f);
    mesh.GetPositions()[1] = XVector3(3.0f, 3.0f, 4.0f);
    mesh.GetPositions()[2] = XVector3(2.0f, 4.0f, 4.0f);
    for (int i = 0; i < 3; ++i) {
        mesh.GetNormals()[i] = XVector3(0.0f, 0.0f, 1.0f);
    }
    mesh.GetTexCoordsA()[0] = XVector2(0.0f, 0.0f);
    mesh.GetTexCoordsA()[1] = XVector2(1.0f, 0.0f);
    mesh.GetTexCoordsA()[2] = XVector2(0.0f, 1.0f);
    uint16_t* const triangles = mesh.GetTriangles();
    triangles[0] = 0;
    triangles[1] = 1;
    triangles[2] = 2;
}

} // namespace

TEST(MeshCreate, AllocatesOnlyTheFlaggedArrays)
{
    XMesh mesh;
    mesh.Create(3, 1, XMesh::kPositions);
    EXPECT_EQ(mesh.GetVertexCount(), 3);
    EXPECT_EQ(mesh.GetTriangleCount(), 1);
    EXPECT_NE(mesh.GetPositions(), nullptr);
    EXPECT_NE(mesh.GetTriangles(), nullptr);
    EXPECT_EQ(mesh.GetNormals(), nullptr);
    EXPECT_EQ(mesh.GetTexCoordsA(), nullptr);
    EXPECT_EQ(mesh.GetTexCoordsB(), nullptr);
    EXPECT_EQ(mesh.GetVectors(), nullptr);
    EXPECT_EQ(mesh.GetTangents(), nullptr);
    EXPECT_EQ(mesh.GetBinormals(), nullptr);
}

TEST(MeshCreate, SceneFlagsGiveFourArraysAndHighFlagsTheRest)
{
    XMesh mesh;
    mesh.Create(4, 2, 0xF);
    EXPECT_NE(mesh.GetNormals(), nullptr);
    EXPECT_NE(mesh.GetTexCoordsA(), nullptr);
    EXPECT_NE(mesh.GetTexCoordsB(), nullptr);
    EXPECT_EQ(mesh.GetTangents(), nullptr);

    mesh.Create(4, 2, XMesh::kVectors | XMesh::kTangents | XMesh::kBinormals | 0x3F0);
    EXPECT_EQ(mesh.GetPositions(), nullptr);
    EXPECT_NE(mesh.GetVectors(), nullptr);
    EXPECT_NE(mesh.GetTangents(), nullptr);
    EXPECT_NE(mesh.GetBinormals(), nullptr);
}

TEST(MeshCreate, StartsWithZeroedArraysAndNoRenderArrays)
{
    XMesh mesh;
    mesh.Create(2, 1, 0xF);
    EXPECT_EQ(mesh.GetPositions()[1], XVector3());
    EXPECT_EQ(mesh.GetTriangles()[2], 0);
    EXPECT_EQ(mesh.GetRenderPositions(), nullptr);
    EXPECT_EQ(mesh.GetRenderVectors(), nullptr);
}

TEST(MeshCreate, AcceptsTheLargestCounts)
{
    XMesh mesh;
    mesh.Create(49999, 49999, XMesh::kPositions);
    EXPECT_EQ(mesh.GetVertexCount(), 49999);
    mesh.GetTriangles()[3 * 49999 - 1] = 7;
    mesh.GetPositions()[49998] = XVector3(1.0f, 2.0f, 3.0f);
    EXPECT_EQ(mesh.GetPositions()[49998].z, 3.0f);
}

TEST(MeshCreateDeathTest, VertexCountOutsideLimitsStops)
{
    XMesh mesh;
    EXPECT_DEATH(mesh.Create(50000, 10, 0xF), "vertexCount > 0 && vertexCount < 50000, file xmesh");
    EXPECT_DEATH(mesh.Create(0, 10, 0xF), "vertexCount > 0 && vertexCount < 50000, file xmesh");
}

TEST(MeshCreateDeathTest, TriangleCountOutsideLimitsStops)
{
    XMesh mesh;
    EXPECT_DEATH(mesh.Create(10, 0, 0xF), "indexCount > 0 && indexCount < 50000, file xmesh");
    EXPECT_DEATH(mesh.Create(10, 50000, 0xF), "indexCount > 0 && indexCount < 50000, file xmesh");
}

TEST(MeshScale, MultipliesPositionsAndTurnsNormalsByTheInverse)
{
    XMesh mesh;
    mesh.Create(2, 1, XMesh::kPositions | XMesh::kNormals);
    mesh.GetPositions()[0] = XVector3(1.0f, 2.0f, 3.0f);
    mesh.GetPositions()[1] = XVector3(-4.0f, 0.5f, 0.0f);
    const float half = 1.0f / std::sqrt(2.0f);
    mesh.GetNormals()[0] = XVector3(half, half, 0.0f);
    mesh.GetNormals()[1] = XVector3(0.0f, 0.0f, 1.0f);

    mesh.Scale(XVector3(2.0f, 1.0f, 1.0f));

    ExpectVector(mesh.GetPositions()[0], 2.0f, 2.0f, 3.0f);
    ExpectVector(mesh.GetPositions()[1], -8.0f, 0.5f, 0.0f);
    // (0.5, 1, 0) normalised.
    ExpectVector(mesh.GetNormals()[0], 0.5f / std::sqrt(1.25f), 1.0f / std::sqrt(1.25f), 0.0f);
    ExpectVector(mesh.GetNormals()[1], 0.0f, 0.0f, 1.0f);
}

TEST(MeshScale, LeavesZeroNormalsOfUnusedVerticesFinite)
{
    XMesh mesh;
    mesh.Create(2, 1, XMesh::kPositions | XMesh::kNormals);
    mesh.GetNormals()[0] = XVector3(0.0f, 3.0f, 0.0f);
    mesh.Scale(XVector3(1.0f, 2.0f, 1.0f));
    ExpectVector(mesh.GetNormals()[0], 0.0f, 1.0f, 0.0f);
    EXPECT_EQ(mesh.GetNormals()[1], XVector3());
}

TEST(MeshScale, WorksWithoutNormals)
{
    XMesh mesh;
    mesh.Create(1, 1, XMesh::kPositions);
    mesh.GetPositions()[0] = XVector3(1.0f, 1.0f, 1.0f);
    mesh.Scale(XVector3(3.0f, -1.0f, 0.5f));
    ExpectVector(mesh.GetPositions()[0], 3.0f, -1.0f, 0.5f);
}

TEST(MeshComputeTangents, UnitTriangleGivesTheAxes)
{
    XMesh mesh;
    MakeUnitTriangle(mesh);
    mesh.ComputeTangents();
    ASSERT_NE(mesh.GetTangents(), nullptr);
    ASSERT_NE(mesh.GetBinormals(), nullptr);
    for (int i = 0; i < 3; ++i) {
        ExpectVector(mesh.GetTangents()[i], 1.0f, 0.0f, 0.0f);
        ExpectVector(mesh.GetBinormals()[i], 0.0f, 1.0f, 0.0f);
    }
}

TEST(MeshComputeTangents, DegenerateTriangleKeepsTheEarlierValues)
{
    XMesh mesh;
    mesh.Create(4, 2, XMesh::kPositions | XMesh::kNormals | XMesh::kTexCoordsA);
    mesh.GetPositions()[1] = XVector3(1.0f, 0.0f, 0.0f);
    mesh.GetPositions()[2] = XVector3(0.0f, 1.0f, 0.0f);
    mesh.GetPositions()[3] = XVector3(5.0f, 5.0f, 5.0f);
    for (int i = 0; i < 4; ++i) {
        mesh.GetNormals()[i] = XVector3(0.0f, 0.0f, 1.0f);
    }
    mesh.GetTexCoordsA()[1] = XVector2(1.0f, 0.0f);
    mesh.GetTexCoordsA()[2] = XVector2(0.0f, 1.0f);
    // Vertex 3 has the same texture coordinates as vertex 0: the second triangle has no texture gradient.
    const uint16_t list[6] = {0, 1, 2, 0, 3, 3};
    std::copy(list, list + 6, mesh.GetTriangles());

    mesh.ComputeTangents();

    ExpectVector(mesh.GetTangents()[0], 1.0f, 0.0f, 0.0f);
    ExpectVector(mesh.GetBinormals()[0], 0.0f, 1.0f, 0.0f);
    EXPECT_EQ(mesh.GetTangents()[3], XVector3());
    EXPECT_EQ(mesh.GetBinormals()[3], XVector3());
}

TEST(MeshComputeTangents, NoTextureCoordinatesGiveZeroArrays)
{
    XMesh mesh;
    mesh.Create(3, 1, XMesh::kPositions | XMesh::kNormals);
    mesh.ComputeTangents();
    ASSERT_NE(mesh.GetTangents(), nullptr);
    EXPECT_EQ(mesh.GetTangents()[2], XVector3());
}

TEST(MeshComputeTangents, IgnoresTrianglesThatNameMissingVertices)
{
    XMesh mesh;
    MakeUnitTriangle(mesh);
    mesh.GetTriangles()[2] = 40000;
    mesh.ComputeTangents();
    EXPECT_EQ(mesh.GetTangents()[0], XVector3());
}

TEST(MeshRenderArrays, SharedArraysWriteThroughToTheSources)
{
    XMesh mesh;
    mesh.Create(3, 1, 0xF);
    mesh.ShareRenderArrays();
    EXPECT_EQ(mesh.GetRenderPositions(), mesh.GetPositions());
    EXPECT_EQ(mesh.GetRenderTexCoordsA(), mesh.GetTexCoordsA());
    EXPECT_EQ(mesh.GetRenderTexCoordsB(), mesh.GetTexCoordsB());
    mesh.GetRenderNormals()[1] = XVector3(0.0f, 1.0f, 0.0f);
    EXPECT_EQ(mesh.GetNormals()[1], XVector3(0.0f, 1.0f, 0.0f));
}

TEST(MeshRenderArrays, RenderVectorsHaveTheirOwnStorage)
{
    XMesh mesh;
    mesh.Create(3, 1, XMesh::kPositions | XMesh::kVectors);
    mesh.AllocateRenderVectors();
    ASSERT_NE(mesh.GetRenderVectors(), nullptr);
    EXPECT_NE(mesh.GetRenderVectors(), mesh.GetVectors());
    mesh.GetRenderVectors()[2] = XVector3(1.0f, 2.0f, 3.0f);
    EXPECT_EQ(mesh.GetVectors()[2], XVector3());
}

TEST(MeshRenderArrays, TangentAliasesFollowARecomputation)
{
    XMesh mesh;
    MakeUnitTriangle(mesh);
    mesh.ComputeTangents();
    mesh.ShareTangentRenderArrays();
    mesh.ComputeTangents();
    EXPECT_EQ(mesh.GetRenderTangents(), mesh.GetTangents());
    EXPECT_EQ(mesh.GetRenderBinormals(), mesh.GetBinormals());
    ExpectVector(mesh.GetRenderTangents()[1], 1.0f, 0.0f, 0.0f);
}

TEST(MeshRenderArrays, CreateAgainDropsTheAliases)
{
    XMesh mesh;
    mesh.Create(3, 1, 0xF);
    mesh.ShareRenderArrays();
    mesh.AllocateRenderVectors();
    mesh.Create(5, 2, 0xF);
    EXPECT_EQ(mesh.GetRenderPositions(), nullptr);
    EXPECT_EQ(mesh.GetRenderVectors(), nullptr);
    EXPECT_EQ(mesh.GetVertexCount(), 5);
}
