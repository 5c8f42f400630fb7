// Tests of the collision tree's build: when nodes are subdivided, where the triangles and their clipped pieces
// go, and that every build ends.
#include "space/XOctTree.h"

#include "OctreeTestSupport.h"
#include "TriangleSoup.h"

#include "math/XCube.h"

#include <gtest/gtest.h>

#include <vector>

using namespace octree_test;

namespace {

// A small triangle wholly inside the octant of the given child index, clear of every splitting plane.
void AddInOctant(TriangleSoup& soup, int octant, float distance)
{
    const XVector3 direction = ChildDirection(octant);
    const XVector3 base = direction * distance;
    soup.Add(base, base + XVector3(direction.x * 0.02f, 0.0f, 0.0f), base + XVector3(0.0f, direction.y * 0.02f, 0.0f));
}

// count triangles spread over the eight octants of a root centred on the origin with half-size 14.
TriangleSoup SpreadSoup(int count)
{
    TriangleSoup soup;
    soup.AddFrame(7.0f);
    for (int i = 0; soup.Count() < count; ++i) {
        AddInOctant(soup, i % 8, 1.0f + 0.05f * static_cast<float>(i / 8));
    }
    return soup;
}

// 50 small triangles in each of the far corners (-7, -7, -7) and (7, 7, 7): a root centred on the origin with
// half-size 14 whose children 4 and 3 hold them, so that the node is subdivided whatever else is added.
TriangleSoup AnchoredSoup()
{
    TriangleSoup soup;
    soup.AddSmall(XVector3(-7.0f, -7.0f, -7.0f), 50);
    soup.AddSmall(XVector3(7.0f, 7.0f, 7.0f), 50);
    return soup;
}

// The triangles of a node that are not the anchors: everything within 5 of the origin.
std::vector<XTriangle> Subjects(const XOctNode* node)
{
    std::vector<XTriangle> result;
    if (node == nullptr) {
        return result;
    }
    const XCube middle(XVector3(), 5.0f);
    for (int i = 0; i < node->TriangleCount(); ++i) {
        if (CubeHolds(middle, node->Triangle(i), 0.0f)) {
            result.push_back(node->Triangle(i));
        }
    }
    return result;
}

std::vector<XTriangle> AllSubjects(const XOctTree& tree)
{
    std::vector<XTriangle> result;
    for (const XOctNode* node : FilledNodes(tree)) {
        const std::vector<XTriangle> found = Subjects(node);
        result.insert(result.end(), found.begin(), found.end());
    }
    return result;
}

} // namespace

TEST(OctreeSubdivisionThreshold, HundredTrianglesStayInTheRoot)
{
    const TriangleSoup soup = SpreadSoup(100);
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.Build(mesh.get());
    ASSERT_NE(tree.Root(), nullptr);
    EXPECT_EQ(tree.Root()->ChildCount(), 0);
    ASSERT_EQ(tree.Root()->TriangleCount(), 100);
    for (int i = 0; i < 100; ++i) {
        const XTriangle expected = soup.Triangle(i);
        EXPECT_TRUE(SameCorners(tree.Root()->Triangle(i), expected.vertex[0], expected.vertex[1], expected.vertex[2]))
            << "triangle " << i;
    }
}

TEST(OctreeSubdivisionThreshold, HundredAndOneTrianglesAreSortedIntoOctants)
{
    const TriangleSoup soup = SpreadSoup(101);
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.Build(mesh.get());
    const XOctNode* root = tree.Root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->TriangleCount(), 0);
    EXPECT_EQ(root->ChildCount(), 8);
    int total = 0;
    for (int index = 0; index < 8; ++index) {
        const XOctNode* child = root->Child(index);
        ASSERT_NE(child, nullptr) << "child " << index;
        EXPECT_EQ(child->ChildCount(), 0);
        EXPECT_TRUE(Near(child->Cube().Center(), ExpectedChildCentre(XVector3(), 14.0f, index), 0.0));
        EXPECT_EQ(child->Cube().HalfSize(), 7.0f);
        const XVector3 direction = ChildDirection(index);
        for (int i = 0; i < child->TriangleCount(); ++i) {
            const XVector3 centroid = child->Triangle(i).Centroid();
            EXPECT_GT(centroid.x * direction.x, 0.0f);
            EXPECT_GT(centroid.y * direction.y, 0.0f);
            EXPECT_GT(centroid.z * direction.z, 0.0f);
        }
        total += child->TriangleCount();
    }
    EXPECT_EQ(total, 101);
}

// The mesh reaches over x 0..10, y 0..4, z 0..2: the cube is centred on that box and reaches 10 (the full
// x extent) to every side.
TEST(OctreeRootCube, CentredOnTheMeshWithTheLargestFullExtentAsHalfSize)
{
    TriangleSoup soup;
    soup.Add(XVector3(0.0f, 0.0f, 0.0f), XVector3(10.0f, 4.0f, 0.0f), XVector3(0.0f, 0.0f, 2.0f));
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.BuildRenderTree(mesh.get());
    tree.Build(mesh.get());
    ASSERT_NE(tree.Root(), nullptr);
    ASSERT_NE(tree.RenderRoot(), nullptr);
    EXPECT_TRUE(Near(tree.Root()->Cube().Center(), XVector3(5.0f, 2.0f, 1.0f), 0.0));
    EXPECT_EQ(tree.Root()->Cube().HalfSize(), 10.0f);
    EXPECT_TRUE(Near(tree.RenderRoot()->Cube().Center(), XVector3(5.0f, 2.0f, 1.0f), 0.0));
    EXPECT_EQ(tree.RenderRoot()->Cube().HalfSize(), 10.0f);
    EXPECT_EQ(tree.Mesh(), mesh.get());
}

// The triangle (-2,-2), (2,-2), (-2,2) at z = 1 is cut by x = 0 into A (-2,-2)(0,-2)(0,0), B (-2,-2)(0,0)(-2,2)
// and C (0,-2)(2,-2)(0,0). Then y = 0: A and C only touch it at a corner and stay whole; B's corner (0,0) lies
// on it with its other corners on either side, so it is cut in two at (-2,0). z = 1 keeps everything on the
// far side of z = 0.
TEST(OctreeClipping, XPlaneFirstThenYPlaneCutsThePieces)
{
    TriangleSoup soup = AnchoredSoup();
    const XVector3 p0(-2.0f, -2.0f, 1.0f);
    const XVector3 p1(2.0f, -2.0f, 1.0f);
    const XVector3 p2(-2.0f, 2.0f, 1.0f);
    soup.Add(p0, p1, p2);
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.Build(mesh.get());
    const XOctNode* root = tree.Root();
    ASSERT_NE(root, nullptr);

    const std::vector<XTriangle> inOne = Subjects(root->Child(1));
    const std::vector<XTriangle> inFive = Subjects(root->Child(5));
    const std::vector<XTriangle> inSeven = Subjects(root->Child(7));
    ASSERT_EQ(inFive.size(), 2u);
    EXPECT_TRUE(SameCorners(inFive[0], p0, XVector3(0, -2, 1), XVector3(0, 0, 1)));
    EXPECT_TRUE(SameCorners(inFive[1], XVector3(0, 0, 1), XVector3(-2, 0, 1), p0));
    ASSERT_EQ(inOne.size(), 1u);
    EXPECT_TRUE(SameCorners(inOne[0], XVector3(0, 0, 1), p2, XVector3(-2, 0, 1)));
    ASSERT_EQ(inSeven.size(), 1u);
    EXPECT_TRUE(SameCorners(inSeven[0], XVector3(0, -2, 1), p1, XVector3(0, 0, 1)));
    EXPECT_EQ(AllSubjects(tree).size(), 4u);

    for (const XTriangle& piece : AllSubjects(tree)) {
        EXPECT_TRUE(Near(piece.normal, XVector3(0.0f, 0.0f, 1.0f), 1e-6));
        EXPECT_DOUBLE_EQ(Area(piece), 2.0);
    }
}

// The same triangle turned into the plane y = 1: cut by x = 0 first, then by z = 0.
TEST(OctreeClipping, XPlaneFirstThenZPlaneCutsThePieces)
{
    TriangleSoup soup = AnchoredSoup();
    const XVector3 p0(-2.0f, 1.0f, -2.0f);
    const XVector3 p1(2.0f, 1.0f, -2.0f);
    const XVector3 p2(-2.0f, 1.0f, 2.0f);
    soup.Add(p0, p1, p2);
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.Build(mesh.get());
    const XOctNode* root = tree.Root();
    ASSERT_NE(root, nullptr);

    const std::vector<XTriangle> inZero = Subjects(root->Child(0));
    const std::vector<XTriangle> inOne = Subjects(root->Child(1));
    const std::vector<XTriangle> inTwo = Subjects(root->Child(2));
    ASSERT_EQ(inZero.size(), 2u);
    EXPECT_TRUE(SameCorners(inZero[0], p0, XVector3(0, 1, -2), XVector3(0, 1, 0)));
    EXPECT_TRUE(SameCorners(inZero[1], XVector3(0, 1, 0), XVector3(-2, 1, 0), p0));
    ASSERT_EQ(inOne.size(), 1u);
    EXPECT_TRUE(SameCorners(inOne[0], XVector3(0, 1, 0), p2, XVector3(-2, 1, 0)));
    ASSERT_EQ(inTwo.size(), 1u);
    EXPECT_TRUE(SameCorners(inTwo[0], XVector3(0, 1, -2), p1, XVector3(0, 1, 0)));
    EXPECT_EQ(AllSubjects(tree).size(), 4u);
    for (const XTriangle& piece : AllSubjects(tree)) {
        EXPECT_TRUE(Near(piece.normal, XVector3(0.0f, -1.0f, 0.0f), 1e-6));
    }
}

// A triangle that crosses all three planes: every piece ends up inside the cube of the child holding it,
// facing like the original, and together the pieces cover exactly the original.
TEST(OctreeClipping, PiecesAcrossAllThreePlanesStayInTheirChildAndKeepTheirFacing)
{
    TriangleSoup soup = AnchoredSoup();
    const XTriangle original(XVector3(-3.0f, -1.0f, -2.0f), XVector3(2.0f, -2.0f, 1.5f), XVector3(-1.0f, 3.0f, 2.5f));
    soup.Add(original.vertex[0], original.vertex[1], original.vertex[2]);
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.Build(mesh.get());
    ASSERT_NE(tree.Root(), nullptr);

    double area = 0.0;
    int pieces = 0;
    int childrenWithPieces = 0;
    for (int index = 0; index < 8; ++index) {
        const XOctNode* child = tree.Root()->Child(index);
        const std::vector<XTriangle> found = Subjects(child);
        if (found.empty()) {
            continue;
        }
        ++childrenWithPieces;
        for (const XTriangle& piece : found) {
            EXPECT_TRUE(CubeHolds(child->Cube(), piece, 1e-6f)) << "child " << index;
            EXPECT_TRUE(Near(piece.normal, original.normal, 1e-5)) << "child " << index;
            area += Area(piece);
            ++pieces;
        }
    }
    EXPECT_GE(childrenWithPieces, 5);
    EXPECT_GE(pieces, childrenWithPieces);
    EXPECT_NEAR(area, Area(original), 1e-5);
}

// Corner k on the plane x = 0 and the other two beyond it: the cut meets the triangle in one point only, the
// pieces of no area are dropped and the triangle goes whole, unchanged, to child 3.
TEST(OctreeClipping, TriangleTouchingAPlaneAtACornerStaysWhole)
{
    const XVector3 onPlane(0.0f, 2.0f, 2.0f);
    const XVector3 b(2.0f, 3.0f, 2.0f);
    const XVector3 c(2.0f, 2.0f, 3.0f);
    const XVector3 orders[3][3] = {{onPlane, b, c}, {c, onPlane, b}, {b, c, onPlane}};
    for (int k = 0; k < 3; ++k) {
        TriangleSoup soup = AnchoredSoup();
        soup.Add(orders[k][0], orders[k][1], orders[k][2]);
        const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
        XOctTree tree;
        tree.Build(mesh.get());
        const std::vector<XTriangle> all = AllSubjects(tree);
        ASSERT_EQ(all.size(), 1u) << "corner " << k;
        EXPECT_TRUE(SameCorners(all[0], orders[k][0], orders[k][1], orders[k][2])) << "corner " << k;
        const std::vector<XTriangle> inThree = Subjects(tree.Root()->Child(3));
        EXPECT_EQ(inThree.size(), 1u) << "corner " << k;
        for (const XTriangle& t : AllTriangles(tree)) {
            EXPECT_GT(Area(t), 1e-6);
        }
    }
}

// The plane through the second corner with the other two corners on either side of it: the triangle is cut
// there into two halves, one on each side, both facing like the original.
TEST(OctreeClipping, PlaneThroughTheSecondCornerCutsTheTriangleInTwo)
{
    TriangleSoup soup = AnchoredSoup();
    const XVector3 p0(-2.0f, 2.0f, 2.0f);
    const XVector3 p1(0.0f, 4.0f, 2.0f);
    const XVector3 p2(2.0f, 2.0f, 2.0f);
    const XVector3 middle(0.0f, 2.0f, 2.0f);
    soup.Add(p0, p1, p2);
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.Build(mesh.get());

    const std::vector<XTriangle> inOne = Subjects(tree.Root()->Child(1));
    const std::vector<XTriangle> inThree = Subjects(tree.Root()->Child(3));
    ASSERT_EQ(inOne.size(), 1u);
    ASSERT_EQ(inThree.size(), 1u);
    EXPECT_TRUE(SameCorners(inOne[0], p1, middle, p0));
    EXPECT_TRUE(SameCorners(inThree[0], p1, p2, middle));
    EXPECT_TRUE(Near(inOne[0].normal, XVector3(0.0f, 0.0f, -1.0f), 1e-6));
    EXPECT_TRUE(Near(inThree[0].normal, XVector3(0.0f, 0.0f, -1.0f), 1e-6));
    EXPECT_EQ(AllSubjects(tree).size(), 2u);
}

// A triangle in the plane x = 0 with its centroid on the face shared by children 0 and 2 goes to child 0.
TEST(OctreeChildAssignment, CentroidOnTheFaceOfChildrenZeroAndTwoGoesToZero)
{
    TriangleSoup soup = AnchoredSoup();
    const XVector3 p0(0.0f, 2.0f, -2.0f);
    const XVector3 p1(0.0f, 3.0f, -2.0f);
    const XVector3 p2(0.0f, 2.0f, -3.0f);
    soup.Add(p0, p1, p2);
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.Build(mesh.get());
    const std::vector<XTriangle> inZero = Subjects(tree.Root()->Child(0));
    ASSERT_EQ(inZero.size(), 1u);
    EXPECT_TRUE(SameCorners(inZero[0], p0, p1, p2));
    EXPECT_EQ(tree.Root()->Child(2), nullptr);
}

// Child cubes are computed in float, so two siblings can leave a sliver between them around their parent's
// centre. Here the parent is child 3 of the root, centred at x = c1, and its children end just below and
// start just above c1. A triangle lying in the plane x = c1 has its centroid in the sliver; it must stay in
// the tree (it goes to the lower child on the plane), in both trees.
TEST(OctreeChildAssignment, CentroidInASliverBetweenChildCubesIsKept)
{
    const float low = -30.0f;
    const float high = -15.83f;
    const float rootCentre = static_cast<float>((static_cast<double>(low) + high) / 2.0);
    const float rootHalf = static_cast<float>(static_cast<double>(high) - low);
    const float c1 = rootCentre + rootHalf / 2.0f;
    const float quarter = rootHalf / 4.0f;
    ASSERT_LT(XCube(XVector3(c1 - quarter, 0, 0), quarter).Max().x, c1);
    ASSERT_GT(XCube(XVector3(c1 + quarter, 0, 0), quarter).Min().x, c1);

    TriangleSoup soup;
    soup.Add(XVector3(low, 0.0f, 0.0f), XVector3(low + 0.1f, 0.0f, 0.0f), XVector3(low, 0.1f, 0.0f));
    soup.Add(XVector3(high, 0.6f, 0.6f), XVector3(high - 0.1f, 0.6f, 0.6f), XVector3(high, 0.7f, 0.6f));
    for (int i = 0; i < 100; ++i) {
        soup.Add(XVector3(-16.5f, 0.6f, 0.6f), XVector3(-16.5f, 0.65f, 0.6f), XVector3(-16.5f, 0.6f, 0.65f));
    }
    const XVector3 s0(c1, 0.6f, 0.6f);
    const XVector3 s1(c1, 0.9f, 0.6f);
    const XVector3 s2(c1, 0.6f, 0.9f);
    soup.Add(s0, s1, s2);
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.BuildRenderTree(mesh.get());
    tree.Build(mesh.get());

    ASSERT_NE(tree.Root()->Child(3), nullptr);
    ASSERT_EQ(tree.Root()->Child(3)->Cube().Center().x, c1);
    // Deeper cubes cut the subject into pieces; together they must still cover it.
    double inPlane = 0.0;
    for (const XTriangle& t : AllTriangles(tree)) {
        if (t.vertex[0].x == c1 && t.vertex[1].x == c1 && t.vertex[2].x == c1) {
            inPlane += Area(t);
        }
    }
    EXPECT_NEAR(inPlane, Area(XTriangle(s0, s1, s2)), 1e-6);

    // In the render tree, the subject is triangle 102; it must reach a leaf.
    const XRenderOctNode* node = tree.RenderRoot();
    while (node->ChildCount() > 0) {
        const XRenderOctNode* next = nullptr;
        for (int i = 0; i < 8 && next == nullptr; ++i) {
            const XRenderOctNode* child = node->Child(i);
            for (int t = 0; child != nullptr && t < child->TriangleCount(); ++t) {
                if (child->Indices()[3 * t] == 3 * 102) {
                    next = child;
                }
            }
        }
        ASSERT_NE(next, nullptr) << "the subject left the render tree";
        node = next;
    }
}

// Two hundred copies of one triangle can never be told apart: the build ends, and keeps every copy.
TEST(OctreeTermination, IdenticalTrianglesEnd)
{
    TriangleSoup soup;
    for (int i = 0; i < 200; ++i) {
        soup.Add(XVector3(0.0f, 0.0f, 0.0f), XVector3(1.0f, 0.0f, 0.0f), XVector3(0.0f, 1.0f, 0.0f));
    }
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.BuildRenderTree(mesh.get());
    tree.Build(mesh.get());
    double area = 0.0;
    for (const XTriangle& t : AllTriangles(tree)) {
        area += Area(t);
    }
    EXPECT_NEAR(area, 200 * 0.5, 1e-4);

    int renderLevels = 0;
    for (const XRenderOctNode* node = tree.RenderRoot(); node != nullptr;) {
        EXPECT_EQ(node->TriangleCount(), 200);
        ++renderLevels;
        const XRenderOctNode* next = nullptr;
        for (int i = 0; i < 8; ++i) {
            if (node->Child(i) != nullptr) {
                EXPECT_EQ(next, nullptr) << "copies of one triangle went to two children";
                next = node->Child(i);
            }
        }
        node = next;
    }
    EXPECT_EQ(renderLevels, XOctTree::maxDepth + 1);
}

// Small copies far from the centre sit in one child after another before they overlap a splitting plane.
TEST(OctreeTermination, IdenticalTrianglesAwayFromTheCentreEnd)
{
    TriangleSoup soup;
    soup.AddFrame(8.0f);
    for (int i = 0; i < 200; ++i) {
        soup.Add(XVector3(3.0f, 1.0f, 1.0f), XVector3(3.3f, 1.1f, 1.0f), XVector3(3.1f, 1.4f, 1.2f));
    }
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.BuildRenderTree(mesh.get());
    tree.Build(mesh.get());
    double area = 0.0;
    for (const XTriangle& t : AllTriangles(tree)) {
        area += Area(t);
    }
    const double expected = 200 * Area(soup.Triangle(8)) + 8 * Area(soup.Triangle(0));
    EXPECT_NEAR(area, expected, 1e-4);
}

// Two hundred triangles around one shared corner: every small cube at that corner holds a piece of each.
TEST(OctreeTermination, FanAroundOneCornerEnds)
{
    TriangleSoup soup;
    const XVector3 hub(0.3f, 0.2f, 0.1f);
    double expected = 0.0;
    for (int i = 0; i < 200; ++i) {
        const float a = static_cast<float>(i) * 0.0314159f;
        const float b = static_cast<float>(i + 1) * 0.0314159f;
        soup.Add(hub, XVector3(5.0f * std::cos(a), 0.5f, 5.0f * std::sin(a)),
                 XVector3(5.0f * std::cos(b), 0.5f, 5.0f * std::sin(b)));
        expected += Area(soup.Triangle(i));
    }
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.BuildRenderTree(mesh.get());
    tree.Build(mesh.get());
    double area = 0.0;
    for (const XTriangle& t : AllTriangles(tree)) {
        area += Area(t);
    }
    // Near the hub the wedges are so thin that cuts leave slivers narrower than 0.0001, which are dropped.
    EXPECT_NEAR(area, expected, expected * 2e-3);
}

// Every vertex in one point: every cube is a point and every triangle a point, yet the build ends.
TEST(OctreeTermination, MeshShrunkToOnePointEnds)
{
    TriangleSoup soup;
    for (int i = 0; i < 150; ++i) {
        soup.Add(XVector3(1.0f, 1.0f, 1.0f), XVector3(1.0f, 1.0f, 1.0f), XVector3(1.0f, 1.0f, 1.0f));
    }
    const std::unique_ptr<XMesh> mesh = soup.MakeMesh();
    XOctTree tree;
    tree.BuildRenderTree(mesh.get());
    tree.Build(mesh.get());
    EXPECT_EQ(AllTriangles(tree).size(), 150u);
}

TEST(OctreeSerial, EveryCollisionBuildOfEveryTreeGetsAFreshOne)
{
    const std::unique_ptr<XMesh> mesh = SpreadSoup(20).MakeMesh();
    XOctTree first;
    XOctTree second;
    EXPECT_EQ(first.Serial(), 0u);
    first.Build(mesh.get());
    second.Build(mesh.get());
    const uint64_t firstBuild = first.Serial();
    first.Build(mesh.get()); // the same tree, the same mesh: still another build
    EXPECT_NE(firstBuild, 0u);
    EXPECT_NE(second.Serial(), firstBuild);
    EXPECT_NE(first.Serial(), firstBuild);
    EXPECT_NE(first.Serial(), second.Serial());
}
