// XMesh: creation with limits, scaling and tangent space.
// Depends on: XVector3, XLog.
#include "scene/XMesh.h"

#include "shell/XLog.h"

#include <cmath> // std::fabs, std::isfinite

namespace {

// Tangent components whose texture-space determinant is smaller than this are left at 0.
const float kTangentEpsilon = 0.00001f;

// True when the vector can be normalised to a finite unit vector.
bool HasDirection(const XVector3& v)
{
    const float length = v.Length();
    return length > 0.0f && std::isfinite(length);
}

template <typename T>
T* DataOrNull(std::vector<T>& array)
{
    return array.empty() ? nullptr : array.data();
}

template <typename T>
const T* DataOrNull(const std::vector<T>& array)
{
    return array.empty() ? nullptr : array.data();
}

} // namespace

void XMesh::Create(int newVertexCount, int newTriangleCount, int flags)
{
    // The scene file loader validates every count before it gets here: a violation is a programming error.
    XAssert(newVertexCount > 0 && newVertexCount < kMaxCount, "vertexCount > 0 && vertexCount < 50000", "xmesh",
            __LINE__);
    XAssert(newTriangleCount > 0 && newTriangleCount < kMaxCount, "indexCount > 0 && indexCount < 50000", "xmesh",
            __LINE__);

    vertexCount = newVertexCount;
    triangleCount = newTriangleCount;
    const size_t vertices = static_cast<size_t>(vertexCount);

    triangles.assign(static_cast<size_t>(triangleCount) * 3u, 0);
    positions.assign((flags & kPositions) != 0 ? vertices : 0u, XVector3());
    normals.assign((flags & kNormals) != 0 ? vertices : 0u, XVector3());
    texCoordsA.assign((flags & kTexCoordsA) != 0 ? vertices : 0u, XVector2());
    texCoordsB.assign((flags & kTexCoordsB) != 0 ? vertices : 0u, XVector2());
    vectors.assign((flags & kVectors) != 0 ? vertices : 0u, XVector3());
    tangents.assign((flags & kTangents) != 0 ? vertices : 0u, XVector3());
    binormals.assign((flags & kBinormals) != 0 ? vertices : 0u, XVector3());

    // Render arrays may alias storage that was just replaced.
    renderPositions = nullptr;
    renderNormals = nullptr;
    renderTexCoordsA = nullptr;
    renderTexCoordsB = nullptr;
    renderVectors = nullptr;
    renderTangents = nullptr;
    renderBinormals = nullptr;
    ownRenderVectors.clear();
}

void XMesh::Scale(const XVector3& s)
{
    const XVector3 inverse(1.0f / s.x, 1.0f / s.y, 1.0f / s.z);
    for (XVector3& position : positions) {
        position.MultiplyComponents(s);
    }
    for (XVector3& normal : normals) {
        XVector3 turned = MultiplyComponents(normal, inverse);
        // Vertices that no triangle uses keep a zero normal; normalising it would turn it into NaNs.
        if (HasDirection(turned)) {
            turned.Normalize();
            normal = turned;
        }
    }
}

void XMesh::ComputeTangents()
{
    const bool tangentsShared = renderTangents != nullptr && renderTangents == GetTangents();
    const bool binormalsShared = renderBinormals != nullptr && renderBinormals == GetBinormals();
    tangents.assign(static_cast<size_t>(vertexCount), XVector3());
    binormals.assign(static_cast<size_t>(vertexCount), XVector3());
    // Keep shared render arrays pointing at the live storage.
    if (tangentsShared) {
        renderTangents = GetTangents();
    }
    if (binormalsShared) {
        renderBinormals = GetBinormals();
    }
    if (positions.empty() || normals.empty() || texCoordsA.empty()) {
        return;
    }

    for (int t = 0; t < triangleCount; ++t) {
        const uint16_t* const corner = &triangles[static_cast<size_t>(t) * 3u];
        if (corner[0] >= vertexCount || corner[1] >= vertexCount || corner[2] >= vertexCount) {
            continue; // the triangle list was written by hand; never read past the arrays
        }
        const XVector3& p0 = positions[corner[0]];
        const XVector3& p1 = positions[corner[1]];
        const XVector3& p2 = positions[corner[2]];
        const XVector2& uv0 = texCoordsA[corner[0]];
        const XVector2& uv1 = texCoordsA[corner[1]];
        const XVector2& uv2 = texCoordsA[corner[2]];

        XVector3 tangent;
        for (int axis = 0; axis < 3; ++axis) {
            const XVector3 edge1(p1[axis] - p0[axis], uv1.x - uv0.x, uv1.y - uv0.y);
            const XVector3 edge2(p2[axis] - p0[axis], uv2.x - uv0.x, uv2.y - uv0.y);
            const XVector3 c = Cross(edge1, edge2);
            if (std::fabs(c.x) > kTangentEpsilon) {
                tangent[axis] = -c.y / c.x;
            }
        }
        if (!HasDirection(tangent)) {
            continue;
        }
        tangent.Normalize();

        for (int k = 0; k < 3; ++k) {
            const XVector3& normal = normals[corner[k]];
            const XVector3 binormal = Cross(normal, tangent);
            if (!HasDirection(binormal)) {
                continue;
            }
            const XVector3 cornerTangent = Cross(binormal, normal);
            if (!HasDirection(cornerTangent)) {
                continue;
            }
            binormals[corner[k]] = binormal.Normalized();
            tangents[corner[k]] = cornerTangent.Normalized();
        }
    }
}

void XMesh::ShareRenderArrays()
{
    renderPositions = GetPositions();
    renderNormals = GetNormals();
    renderTexCoordsA = GetTexCoordsA();
    renderTexCoordsB = GetTexCoordsB();
}

void XMesh::ShareTangentRenderArrays()
{
    renderTangents = GetTangents();
    renderBinormals = GetBinormals();
}

void XMesh::AllocateRenderVectors()
{
    ownRenderVectors.assign(static_cast<size_t>(vertexCount), XVector3());
    renderVectors = ownRenderVectors.empty() ? nullptr : ownRenderVectors.data();
}

// Array access: the storage, or null for an array that was not allocated.
uint16_t* XMesh::GetTriangles()
{
    return DataOrNull(triangles);
}

const uint16_t* XMesh::GetTriangles() const
{
    return DataOrNull(triangles);
}

XVector3* XMesh::GetPositions()
{
    return DataOrNull(positions);
}

const XVector3* XMesh::GetPositions() const
{
    return DataOrNull(positions);
}

XVector3* XMesh::GetNormals()
{
    return DataOrNull(normals);
}

const XVector3* XMesh::GetNormals() const
{
    return DataOrNull(normals);
}

XVector2* XMesh::GetTexCoordsA()
{
    return DataOrNull(texCoordsA);
}

const XVector2* XMesh::GetTexCoordsA() const
{
    return DataOrNull(texCoordsA);
}

XVector2* XMesh::GetTexCoordsB()
{
    return DataOrNull(texCoordsB);
}

const XVector2* XMesh::GetTexCoordsB() const
{
    return DataOrNull(texCoordsB);
}

XVector3* XMesh::GetVectors()
{
    return DataOrNull(vectors);
}

const XVector3* XMesh::GetVectors() const
{
    return DataOrNull(vectors);
}

XVector3* XMesh::GetTangents()
{
    return DataOrNull(tangents);
}

const XVector3* XMesh::GetTangents() const
{
    return DataOrNull(tangents);
}

XVector3* XMesh::GetBinormals()
{
    return DataOrNull(binormals);
}

const XVector3* XMesh::GetBinormals() const
{
    return DataOrNull(binormals);
}
