// TriangleSoup: a list of triangles given by their corners, turned into an XMesh (three vertices of its own
// per triangle) so that the octree tests can place every triangle exactly where they need it.
#pragma once

#include "math/XTriangle.h"
#include "math/XVector3.h"
#include "scene/XMesh.h"

#include <memory> // unique_ptr
#include <vector>

class TriangleSoup {
public:
    void Add(const XVector3& a, const XVector3& b, const XVector3& c);
    // count copies of a small triangle (edges 0.1) with a corner at corner, reaching towards the origin.
    void AddSmall(const XVector3& corner, int count);
    // The eight corners (+-half, +-half, +-half) as small triangles reaching inwards: with nothing outside
    // them, the mesh's root cube is centred on the origin with half-size 2 * half.
    void AddFrame(float half);

    int Count() const { return static_cast<int>(corners.size() / 3); }
    XTriangle Triangle(int i) const;

    // A mesh with positions only, vertex 3i + k being corner k of triangle i.
    std::unique_ptr<XMesh> MakeMesh() const;

private:
    std::vector<XVector3> corners;
};
