// XOctTreeBuilder: root cube, child cubes, triangle clipping and the recursive subdivision of both trees.
// Depends on: XOctTree (limits), XMesh, XBoundingBox, XVector3d.
#include "space/XOctTreeBuilder.h"

#include "math/XBoundingBox.h"
#include "math/XVector3d.h"
#include "scene/XMesh.h"
#include "space/XOctTree.h"

#include <algorithm> // std::stable_sort
#include <atomic>
#include <cmath>  // isfinite
#include <future> // async
#include <system_error>
#include <utility> // std::move

namespace {

// Signs of each child's offset from its parent's centre, by child index.
const float childOffsetX[8] = {-1.0f, -1.0f, 1.0f, 1.0f, -1.0f, -1.0f, 1.0f, 1.0f};
const float childOffsetY[8] = {1.0f, 1.0f, 1.0f, 1.0f, -1.0f, -1.0f, -1.0f, -1.0f};
const float childOffsetZ[8] = {-1.0f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f, -1.0f, 1.0f};

// The vertex array the trees can use: none when the mesh has no positions.
int UsableVertexCount(const XMesh& mesh)
{
    return mesh.GetPositions() != nullptr ? mesh.GetVertexCount() : 0;
}

// Whether all three indices of the triangle address existing vertices. Triangles that do not would make the
// build read beyond the vertex array; they are left out of both trees.
bool IndicesInRange(const uint16_t* triangle, int vertexCount)
{
    return triangle[0] < vertexCount && triangle[1] < vertexCount && triangle[2] < vertexCount;
}

// Whether no edge of the triangle can cross the plane at value on the axis because all corners lie strictly on
// one side. Split would report "not split" for such a triangle; asking first saves its work for the great
// majority of triangles, which a plane does not touch.
bool StrictlyOneSide(const XCorners& triangle, int axis, float value)
{
    const float a = triangle.vertex[0][axis];
    const float b = triangle.vertex[1][axis];
    const float c = triangle.vertex[2][axis];
    return (a > value && b > value && c > value) || (a < value && b < value && c < value);
}

// Whether the plane at value on the axis passes exactly through the triangle's second corner and between the
// other two. Split pairs the edges that meet at that corner first and so returns the triangle whole, although
// the plane cuts it in two.
bool SecondCornerOnPlane(const XCorners& triangle, int axis, float value)
{
    const float a = triangle.vertex[0][axis];
    const float b = triangle.vertex[1][axis];
    const float c = triangle.vertex[2][axis];
    return b == value && ((a < value && c > value) || (a > value && c < value));
}

// The same triangle, same winding, starting at its second corner: Split then cuts it through that corner.
XCorners StartingAtSecondCorner(const XCorners& triangle)
{
    return XCorners{{triangle.vertex[1], triangle.vertex[2], triangle.vertex[0]}};
}

// The child that receives a triangle with this centroid: the first, in index order, whose cube contains it
// (cubes include their faces, so a centroid on a shared face goes to the lower index). Rounding can leave a
// sliver between two sibling cubes; a centroid there, typically that of a piece lying in a splitting plane,
// goes to the child on its side of the centre, a tie to the lower index as above. -1 for a non-finite
// centroid, which no cube contains.
int ChildFor(const XCube (&childCubes)[8], const XVector3& centre, const XVector3& centroid)
{
    // Children on the same side of an axis share their extent on it, and children 0 and 7 lie on opposite sides
    // of every axis. Child 0 is the low-x, high-y, low-z one, and an index has 2 for high x, 4 for low y and 1 for
    // high z: on an axis where the centroid lies in both extents (on the shared face), child 0's side gives the
    // lower index.
    const XCube& first = childCubes[0];
    const XCube& last = childCubes[7];
    const bool in0[3] = {first.Min().x <= centroid.x && centroid.x <= first.Max().x,
                         first.Min().y <= centroid.y && centroid.y <= first.Max().y,
                         first.Min().z <= centroid.z && centroid.z <= first.Max().z};
    const bool in7[3] = {last.Min().x <= centroid.x && centroid.x <= last.Max().x,
                         last.Min().y <= centroid.y && centroid.y <= last.Max().y,
                         last.Min().z <= centroid.z && centroid.z <= last.Max().z};
    if ((in0[0] || in7[0]) && (in0[1] || in7[1]) && (in0[2] || in7[2])) {
        return (in0[0] ? 0 : 2) + (in0[1] ? 0 : 4) + (in0[2] ? 0 : 1);
    }
    if (!(std::isfinite(centroid.x) && std::isfinite(centroid.y) && std::isfinite(centroid.z))) {
        return -1;
    }
    const int below = centroid.y < centre.y ? 4 : 0;
    const int right = centroid.x > centre.x ? 2 : 0;
    const int front = centroid.z > centre.z ? 1 : 0;
    return below + right + front;
}

// The centroid of an index triangle, rounded once as XTriangle::Centroid does.
XVector3 IndexedCentroid(const XVector3* positions, const uint16_t* triangle)
{
    const XVector3d sum =
        XVector3d(positions[triangle[0]]) + XVector3d(positions[triangle[1]]) + XVector3d(positions[triangle[2]]);
    return (sum / 3.0).ToFloat();
}

void MakeChildCubes(const XCube& parent, XCube (&childCubes)[8])
{
    for (int i = 0; i < 8; ++i) {
        childCubes[i] = XOctTreeBuilder::ChildCube(parent, i);
    }
}

// Makes the node a leaf holding the triangles of the corners, each with its plane worked out from them.
void MakeLeaf(XOctNode& node, const std::vector<XCorners>& list)
{
    std::vector<XTriangle> triangles;
    triangles.reserve(list.size());
    for (const XCorners& corners : list) {
        triangles.emplace_back(corners);
    }
    node.SetTriangles(std::move(triangles));
}

} // namespace

XCube XOctTreeBuilder::RootCube(const XMesh& mesh)
{
    return RootCube(std::vector<const XMesh*>{&mesh});
}

XCube XOctTreeBuilder::RootCube(const std::vector<const XMesh*>& parts)
{
    XBoundingBox box;
    if (parts.size() == 1) {
        box = XBoundingBox::FromPoints(parts[0]->GetPositions(), UsableVertexCount(*parts[0]));
    } else {
        std::vector<XVector3> positions;
        for (const XMesh* const part : parts) {
            positions.insert(positions.end(), part->GetPositions(), part->GetPositions() + UsableVertexCount(*part));
        }
        box = XBoundingBox::FromPoints(positions.data(), static_cast<int>(positions.size()));
    }
    float halfSize = box.size.x;
    if (box.size.y > halfSize) {
        halfSize = box.size.y;
    }
    if (box.size.z > halfSize) {
        halfSize = box.size.z;
    }
    return XCube(box.center, halfSize);
}

XCube XOctTreeBuilder::ChildCube(const XCube& parent, int index)
{
    const XVector3& c = parent.Center();
    const float childHalf = parent.HalfSize() / 2.0f;
    const XVector3 centre(c.x + childOffsetX[index] * childHalf, c.y + childOffsetY[index] * childHalf,
                          c.z + childOffsetZ[index] * childHalf);
    return XCube(centre, childHalf);
}

std::unique_ptr<XOctNode> XOctTreeBuilder::BuildCollisionTree(const XMesh& mesh)
{
    return BuildCollisionTree(std::vector<const XMesh*>{&mesh});
}

std::unique_ptr<XOctNode> XOctTreeBuilder::BuildCollisionTree(const std::vector<const XMesh*>& parts)
{
    std::unique_ptr<XOctNode> root(new XOctNode(RootCube(parts)));
    std::vector<XCorners> all;
    for (const XMesh* const part : parts) {
        const int vertexCount = UsableVertexCount(*part);
        const XVector3* positions = part->GetPositions();
        const uint16_t* triangles = part->GetTriangles();
        all.reserve(all.size() + static_cast<size_t>(part->GetTriangleCount()));
        for (int i = 0; i < part->GetTriangleCount(); ++i) {
            const uint16_t* triangle = triangles + 3 * i;
            if (IndicesInRange(triangle, vertexCount)) {
                all.push_back(XCorners{{positions[triangle[0]], positions[triangle[1]], positions[triangle[2]]}});
            }
        }
    }
    Subdivide(*root, 0, all);
    return root;
}

std::unique_ptr<XRenderOctNode> XOctTreeBuilder::BuildRenderTree(const XMesh& mesh)
{
    std::unique_ptr<XRenderOctNode> root(new XRenderOctNode(RootCube(mesh), &mesh));
    const int vertexCount = UsableVertexCount(mesh);
    const uint16_t* triangles = mesh.GetTriangles();
    std::vector<uint16_t>& valid = childIndices[0];
    valid.clear();
    for (int i = 0; i < mesh.GetTriangleCount(); ++i) {
        const uint16_t* triangle = triangles + 3 * i;
        if (IndicesInRange(triangle, vertexCount)) {
            valid.insert(valid.end(), triangle, triangle + 3);
        }
    }
    root->SetIndices(valid.data(), static_cast<int>(valid.size() / 3));
    Subdivide(*root, 0);
    return root;
}

void XOctTreeBuilder::SplitWorkList(int axis, const XVector3& centre)
{
    XVector3 planeNormal;
    planeNormal[axis] = 1.0f;
    pieces.clear();
    size_t kept = 0;
    for (size_t i = 0; i < work.size(); ++i) {
        const XCorners& triangle = work[i];
        if (!StrictlyOneSide(triangle, axis, centre[axis])) {
            const XCornerSplit result = SecondCornerOnPlane(triangle, axis, centre[axis])
                                            ? SplitCorners(StartingAtSecondCorner(triangle), planeNormal, centre)
                                            : SplitCorners(triangle, planeNormal, centre);
            if (result.split) {
                pieces.insert(pieces.end(), result.pieces, result.pieces + result.count);
                continue;
            }
        }
        if (kept != i) {
            work[kept] = triangle;
        }
        ++kept;
    }
    // Unsplit triangles keep their order; the pieces follow them, in the order they were made.
    work.resize(kept);
    work.insert(work.end(), pieces.begin(), pieces.end());
}

bool XOctTreeBuilder::CannotSeparate(size_t nodeTriangleCount, const ChildLists& lists)
{
    int undivided = 0;
    for (const std::vector<XCorners>& list : lists) {
        if (list.size() >= nodeTriangleCount) {
            ++undivided;
        }
    }
    return undivided >= 2;
}

void XOctTreeBuilder::Subdivide(XOctNode& node, int depth, const std::vector<XCorners>& list)
{
    if (list.size() <= static_cast<size_t>(XOctTree::subdivisionThreshold) || depth >= XOctTree::maxDepth) {
        MakeLeaf(node, list);
        return;
    }
    work.assign(list.begin(), list.end());
    const XVector3 centre = node.Cube().Center();
    for (int axis = 0; axis < 3; ++axis) {
        SplitWorkList(axis, centre);
    }

    XCube childCubes[8];
    MakeChildCubes(node.Cube(), childCubes);
    ChildLists& lists = childCorners[static_cast<size_t>(depth)];
    for (std::vector<XCorners>& childList : lists) {
        childList.clear();
    }
    for (const XCorners& triangle : work) {
        const int child = ChildFor(childCubes, centre, CentroidOf(triangle));
        if (child >= 0) {
            lists[static_cast<size_t>(child)].push_back(triangle);
        }
    }

    if (CannotSeparate(list.size(), lists)) {
        MakeLeaf(node, list);
        return;
    }

    // Only leaves keep triangles; children that would receive none are not made at all.
    for (int i = 0; i < 8; ++i) {
        if (!lists[static_cast<size_t>(i)].empty()) {
            node.SetChild(i, new XOctNode(childCubes[i]));
        }
    }
    if (depth == 0) {
        SubdivideRootChildren(node, lists);
        return;
    }
    // A child's subtree uses the lists of the depths below, so its waiting siblings' lists stay as they are.
    for (int i = 0; i < 8; ++i) {
        XOctNode* child = node.Child(i);
        if (child != nullptr) {
            Subdivide(*child, depth + 1, lists[static_cast<size_t>(i)]);
        }
    }
}

void XOctTreeBuilder::SubdivideRootChildren(XOctNode& root, const ChildLists& lists)
{
    // The children go largest first to whichever thread is free, so that the two finish close together.
    std::vector<int> children;
    for (int i = 0; i < 8; ++i) {
        if (root.Child(i) != nullptr) {
            children.push_back(i);
        }
    }
    std::stable_sort(children.begin(), children.end(), [&lists](int a, int b) {
        return lists[static_cast<size_t>(a)].size() > lists[static_cast<size_t>(b)].size();
    });
    std::atomic<size_t> next{0};
    const auto takeChildren = [&root, &lists, &children, &next](XOctTreeBuilder& builder) {
        for (size_t k = next++; k < children.size(); k = next++) {
            const int i = children[k];
            builder.Subdivide(*root.Child(i), 1, lists[static_cast<size_t>(i)]);
        }
    };
    std::future<void> helper;
    try {
        helper = std::async(std::launch::async, [&takeChildren] {
            XOctTreeBuilder builder;
            takeChildren(builder);
        });
    } catch (const std::system_error&) {
        // No second thread to be had: every child here.
    }
    takeChildren(*this);
    if (helper.valid()) {
        helper.get();
    }
}

void XOctTreeBuilder::Subdivide(XRenderOctNode& node, int depth)
{
    if (node.TriangleCount() <= XOctTree::subdivisionThreshold || depth >= XOctTree::maxDepth) {
        return;
    }
    const XVector3* positions = node.Mesh()->GetPositions();
    const XVector3 centre = node.Cube().Center();
    XCube childCubes[8];
    MakeChildCubes(node.Cube(), childCubes);
    for (std::vector<uint16_t>& list : childIndices) {
        list.clear();
    }
    const uint16_t* indices = node.Indices();
    for (int i = 0; i < node.TriangleCount(); ++i) {
        const uint16_t* triangle = indices + 3 * i;
        const int child = ChildFor(childCubes, centre, IndexedCentroid(positions, triangle));
        if (child >= 0) {
            childIndices[child].insert(childIndices[child].end(), triangle, triangle + 3);
        }
    }

    // The node keeps its own triangles: every render node holds all the triangles of its region.
    for (int i = 0; i < 8; ++i) {
        if (!childIndices[i].empty()) {
            XRenderOctNode* child = new XRenderOctNode(childCubes[i], node.Mesh());
            child->SetIndices(childIndices[i].data(), static_cast<int>(childIndices[i].size() / 3));
            node.SetChild(i, child);
        }
    }
    for (int i = 0; i < 8; ++i) {
        XRenderOctNode* child = node.Child(i);
        if (child != nullptr) {
            Subdivide(*child, depth + 1);
        }
    }
}
