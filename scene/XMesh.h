// XMesh: the indexed triangle mesh of a scene node.
//
// Per-vertex arrays in plain memory (tightly packed, so they go to OpenGL vertex arrays unchanged), a
// triangle list of 16-bit index triples, and the operations the loaders and the scene setup run on it.
// Each source array has a render array beside it, the pointer the renderers draw from: null until the
// scene's preparation points it at its source array (or, for renderVectors, at an array of the mesh's own).
// A write through a render array therefore changes the source array it aliases.
// Depends on: XVector2, XVector3, XLog (the size assertions).
#pragma once

#include "math/XVector2.h"
#include "math/XVector3.h"

#include <cstdint> // uint16_t
#include <vector>

class XMesh {
public:
    // Creation flags: which source arrays Create allocates. Bits 0x10 to 0x200 mean nothing.
    enum Flags : int {
        kPositions = 0x1,
        kNormals = 0x2,
        kTexCoordsA = 0x4,
        kTexCoordsB = 0x8,
        kVectors = 0x400,
        kTangents = 0x800,
        kBinormals = 0x1000,
    };

    // Both counts must be at least 1 and below this.
    static constexpr int kMaxCount = 50000;

    XMesh() = default;
    XMesh(const XMesh&) = delete;
    XMesh& operator=(const XMesh&) = delete;

    // Sizes the mesh: checks the limits (a violation is a programming error and stops the program), drops
    // every earlier array, allocates the triangle list and, zero-filled, each source array whose flag is set.
    // Every render array becomes null.
    void Create(int vertexCount, int triangleCount, int flags);

    // Multiplies every position by s component by component and turns every normal by the inverse scale,
    // renormalised, so that normals stay perpendicular to the scaled surface. A zero normal stays zero.
    void Scale(const XVector3& s);

    // Per-triangle tangent space from positions, normals and texCoordsA into fresh tangents and binormals.
    // Nothing is averaged: a vertex shared by several triangles keeps the values of the last one. A
    // triangle whose tangent has no direction (or a corner whose normal is parallel to it) writes nothing,
    // so the vertex keeps what an earlier triangle wrote. Without those three sources the arrays stay zero.
    void ComputeTangents();

    int GetVertexCount() const { return vertexCount; }
    int GetTriangleCount() const { return triangleCount; }

    // triangleCount triples of vertex indices, one after another (3 * triangleCount values).
    uint16_t* GetTriangles();
    const uint16_t* GetTriangles() const;

    // Source arrays, vertexCount elements each; null when not allocated. (Defined out of line: callers
    // that index them straight away would otherwise see the null branch and warn.)
    XVector3* GetPositions();
    const XVector3* GetPositions() const;
    XVector3* GetNormals();
    const XVector3* GetNormals() const;
    XVector2* GetTexCoordsA();
    const XVector2* GetTexCoordsA() const;
    XVector2* GetTexCoordsB();
    const XVector2* GetTexCoordsB() const;
    XVector3* GetVectors();
    const XVector3* GetVectors() const;
    XVector3* GetTangents();
    const XVector3* GetTangents() const;
    XVector3* GetBinormals();
    const XVector3* GetBinormals() const;

    // Render arrays: what the renderers draw from; null until prepared.
    XVector3* GetRenderPositions() { return renderPositions; }
    const XVector3* GetRenderPositions() const { return renderPositions; }
    XVector3* GetRenderNormals() { return renderNormals; }
    const XVector3* GetRenderNormals() const { return renderNormals; }
    XVector2* GetRenderTexCoordsA() { return renderTexCoordsA; }
    const XVector2* GetRenderTexCoordsA() const { return renderTexCoordsA; }
    XVector2* GetRenderTexCoordsB() { return renderTexCoordsB; }
    const XVector2* GetRenderTexCoordsB() const { return renderTexCoordsB; }
    XVector3* GetRenderVectors() { return renderVectors; }
    const XVector3* GetRenderVectors() const { return renderVectors; }
    XVector3* GetRenderTangents() { return renderTangents; }
    const XVector3* GetRenderTangents() const { return renderTangents; }
    XVector3* GetRenderBinormals() { return renderBinormals; }
    const XVector3* GetRenderBinormals() const { return renderBinormals; }

    // Points the render arrays of positions, normals and both texture coordinate sets at their sources.
    void ShareRenderArrays();
    // Points the render arrays of tangents and binormals at their sources.
    void ShareTangentRenderArrays();
    // Gives renderVectors an array of its own, vertexCount zero vectors, independent of vectors.
    void AllocateRenderVectors();

private:
    int vertexCount = 0;

    std::vector<XVector3> positions;
    std::vector<XVector3> normals;
    std::vector<XVector2> texCoordsA;
    std::vector<XVector2> texCoordsB;
    std::vector<XVector3> vectors;
    std::vector<XVector3> tangents;
    std::vector<XVector3> binormals;

    // Aliases of the source arrays, except renderVectors, which may point at ownRenderVectors.
    XVector3* renderPositions = nullptr;
    XVector3* renderNormals = nullptr;
    XVector2* renderTexCoordsA = nullptr;
    XVector2* renderTexCoordsB = nullptr;
    XVector3* renderVectors = nullptr;
    XVector3* renderTangents = nullptr;
    XVector3* renderBinormals = nullptr;
    std::vector<XVector3> ownRenderVectors;

    int triangleCount = 0;
    std::vector<uint16_t> triangles;
};
