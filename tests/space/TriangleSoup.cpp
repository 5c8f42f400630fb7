// TriangleSoup: building the test meshes.
#include "TriangleSoup.h"

#include <cstdint> // uint16_t

void TriangleSoup::Add(const XVector3& a, const XVector3& b, const XVector3& c)
{
    corners.push_back(a);
    corners.push_back(b);
    corners.push_back(c);
}

void TriangleSoup::AddSmall(const XVector3& corner, int count)
{
    const float stepX = corner.x > 0.0f ? -0.1f : 0.1f;
    const float stepY = corner.y > 0.0f ? -0.1f : 0.1f;
    for (int i = 0; i < count; ++i) {
        Add(corner, XVector3(corner.x + stepX, corner.y, corner.z), XVector3(corner.x, corner.y + stepY, corner.z));
    }
}

void TriangleSoup::AddFrame(float half)
{
    for (int i = 0; i < 8; ++i) {
        const XVector3 corner((i & 1) != 0 ? half : -half, (i & 2) != 0 ? half : -half, (i & 4) != 0 ? half : -half);
        AddSmall(corner, 1);
    }
}

XTriangle TriangleSoup::Triangle(int i) const
{
    const size_t first = 3 * static_cast<size_t>(i);
    return XTriangle(corners[first], corners[first + 1], corners[first + 2]);
}

std::unique_ptr<XMesh> TriangleSoup::MakeMesh() const
{
    std::unique_ptr<XMesh> mesh(new XMesh());
    mesh->Create(static_cast<int>(corners.size()), Count(), XMesh::kPositions);
    XVector3* positions = mesh->GetPositions();
    uint16_t* triangles = mesh->GetTriangles();
    for (size_t i = 0; i < corners.size(); ++i) {
        positions[i] = corners[i];
        triangles[i] = static_cast<uint16_t>(i);
    }
    return mesh;
}
