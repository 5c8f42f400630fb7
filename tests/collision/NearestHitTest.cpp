// Segment casts look at the triangles along the segment nearest first and stop early; whatever they skip, their
// answer must be the one a plain scan of every triangle of the octree gives: the nearest facing hit ahead of the
// start, and of equally near hits (a shot through an edge two triangles share) the first in the octree's order.
#include "SceneBuilder.h"

#include "space/XCollision.h"
#include "space/XOctNode.h"

#include <gtest/gtest.h>

#include <algorithm> // std::min
#include <random>
#include <vector>

namespace {

// The octree's nodes that hold triangles, in its own order: a node, then its children by index.
void NodesInOrder(const XOctNode* node, std::vector<const XOctNode*>& nodes)
{
    if (node->TriangleCount() > 0) {
        nodes.push_back(node);
    }
    for (int i = 0; i < 8; ++i) {
        if (node->Child(i) != nullptr) {
            NodesInOrder(node->Child(i), nodes);
        }
    }
}

// The definition: every triangle of every node, in order; the first of the nearest wins.
bool PlainScan(XScene* scene, const XMotion& motion, const XVector3& scale, XContact& contact)
{
    const XVector3& p = motion.position;
    const XVector3& v = motion.velocity;
    bool found = false;
    std::vector<const XOctNode*> nodes;
    NodesInOrder(scene->GetOctree()->Root(), nodes);
    for (const XOctNode* node : nodes) {
        for (int i = 0; i < node->TriangleCount(); ++i) {
            const XTriangle t = node->Triangle(i).Scaled(scale);
            XVector3 h;
            double along = 0.0;
            if (Dot(t.normal, v) > 0.0f || !t.SegmentHit(p, v, 1.0f, h, along) || along < 0.0) {
                continue;
            }
            const double distance = Distance(h, p);
            if (!found || distance < contact.distance) {
                contact.point = h;
                contact.distance = distance;
                contact.triangleIndex = i;
                contact.triangle = node->Triangle(i);
                contact.classification = t.Classify();
                found = true;
            }
        }
    }
    contact.normal = contact.triangle.normal;
    return found;
}

void ExpectSameAnswer(XScene* scene, const XMotion& shot, const XVector3& scale, const char* what, int index)
{
    XCollision collision;
    XContact fast;
    XContact plain;
    const bool hitFast = collision.CastSegment(scene, shot, scale, fast);
    const bool hitPlain = PlainScan(scene, shot, scale, plain);
    ASSERT_EQ(hitFast, hitPlain) << what << " " << index;
    if (hitPlain) {
        EXPECT_TRUE(SameBits(fast.point, plain.point)) << what << " " << index;
        EXPECT_TRUE(SameBits(fast.normal, plain.normal)) << what << " " << index;
        EXPECT_EQ(fast.distance, plain.distance) << what << " " << index;
        EXPECT_EQ(fast.triangleIndex, plain.triangleIndex) << what << " " << index;
        EXPECT_TRUE(SameBits(fast.triangle.vertex[0], plain.triangle.vertex[0])) << what << " " << index;
        EXPECT_TRUE(SameBits(fast.triangle.vertex[1], plain.triangle.vertex[1])) << what << " " << index;
        EXPECT_EQ(fast.classification, plain.classification) << what << " " << index;
    }
}

// A hall of 40 x 12 x 40 with a grid of pillars and a stepped floor: far more than 100 triangles, so the octree
// cuts them into pieces at its planes and shots cross many nodes.
std::unique_ptr<XScene> Hall()
{
    SceneBuilder builder;
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 8; ++j) {
            const float x = -20.0f + 5.0f * static_cast<float>(i);
            const float z = -20.0f + 5.0f * static_cast<float>(j);
            builder.Floor(0.25f * static_cast<float>((i + j) % 3), x, z, x + 5.0f, z + 5.0f);
        }
    }
    builder.Ceiling(12.0f, -20.0f, -20.0f, 20.0f, 20.0f);
    builder.WallFacingMinusZ(20.0f, -20.0f, 20.0f, 0.0f, 12.0f);
    builder.Quad(XVector3(-20.0f, 0.0f, -20.0f), XVector3(20.0f, 0.0f, -20.0f), XVector3(20.0f, 12.0f, -20.0f),
                 XVector3(-20.0f, 12.0f, -20.0f));
    for (const float x : {-20.0f, 20.0f}) {
        // The side walls in both windings: whichever faces inwards is the one a shot can hit.
        const XVector3 a(x, 0.0f, -20.0f);
        const XVector3 b(x, 12.0f, -20.0f);
        const XVector3 c(x, 12.0f, 20.0f);
        const XVector3 d(x, 0.0f, 20.0f);
        builder.Quad(a, b, c, d).Quad(d, c, b, a);
    }
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            const float x = -14.0f + 9.0f * static_cast<float>(i);
            const float z = -14.0f + 9.0f * static_cast<float>(j);
            // Four faces of a 1 x 12 x 1 pillar, facing out.
            builder.Quad(XVector3(x, 0.0f, z), XVector3(x, 12.0f, z), XVector3(x + 1.0f, 12.0f, z), XVector3(x + 1.0f, 0.0f, z));
            builder.Quad(XVector3(x + 1.0f, 0.0f, z + 1.0f), XVector3(x + 1.0f, 12.0f, z + 1.0f), XVector3(x, 12.0f, z + 1.0f),
                         XVector3(x, 0.0f, z + 1.0f));
            builder.Quad(XVector3(x, 0.0f, z + 1.0f), XVector3(x, 12.0f, z + 1.0f), XVector3(x, 12.0f, z), XVector3(x, 0.0f, z));
            builder.Quad(XVector3(x + 1.0f, 0.0f, z), XVector3(x + 1.0f, 12.0f, z), XVector3(x + 1.0f, 12.0f, z + 1.0f),
                         XVector3(x + 1.0f, 0.0f, z + 1.0f));
        }
    }
    return builder.Build();
}

} // namespace

TEST(NearestHit, RandomShotsAnswerAsAPlainScanOfTheQuery)
{
    SceneWithOctree hall(Hall());
    ASSERT_GT(hall.get()->GetOctree()->Root()->ChildCount(), 0);
    std::mt19937 random(99);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    int hits = 0;
    for (int i = 0; i < 3000; ++i) {
        XMotion shot;
        shot.position = XVector3(19.0f * unit(random), 6.0f + 5.5f * unit(random), 19.0f * unit(random));
        const float length = i % 3 == 0 ? 3.0f : 200.0f; // the rockets' short probes and the gun's long shots
        shot.velocity = XVector3(unit(random), 0.6f * unit(random), unit(random)).Normalized() * length;
        ExpectSameAnswer(hall.get(), shot, kUnitScale, "shot", i);
        XContact contact;
        hits += XCollision().CastSegment(hall.get(), shot, kUnitScale, contact) ? 1 : 0;
    }
    // A closed hall: every long shot hits, so the comparison is about hits and not only about misses.
    EXPECT_GE(hits, 2000);
}

TEST(NearestHit, ShotsThroughSharedEdgesAndCornersPickTheFirstOfTheEquallyNear)
{
    // Aimed straight down at the floor grid's shared corners and edges, and at the pillars' edges: two or more
    // triangles are hit at the same point, and the choice between them decides a decal's orientation.
    // Straight shots hit such points exactly, so the hits are equally near to the bit. Starting them at several
    // heights and sideways offsets puts the nodes of the tied triangles at different distances from the start,
    // so that the nearest-first order differs from the octree's order.
    SceneWithOctree hall(Hall());
    int index = 0;
    for (int i = 0; i <= 16; ++i) {
        for (int j = 0; j <= 16; ++j) {
            const float x = -20.0f + 2.5f * static_cast<float>(i);
            const float z = -20.0f + 2.5f * static_cast<float>(j);
            for (const float height : {0.5f, 3.0f, 7.0f, 11.5f}) {
                XMotion down;
                down.position = XVector3(x, height, z);
                down.velocity = XVector3(0.0f, -200.0f, 0.0f);
                ExpectSameAnswer(hall.get(), down, kUnitScale, "down", index);
                XMotion across;
                across.position = XVector3(-19.5f, height, z);
                across.velocity = XVector3(200.0f, 0.0f, 0.0f);
                ExpectSameAnswer(hall.get(), across, kUnitScale, "across", index);
                XMotion along;
                along.position = XVector3(x, height, 19.5f);
                along.velocity = XVector3(0.0f, 0.0f, -200.0f);
                ExpectSameAnswer(hall.get(), along, kUnitScale, "along", index);
                // Slanted, from a start off to the side: the tied pieces' cubes are then at different distances.
                const float floorY = 0.25f * static_cast<float>((std::min(i / 2, 7) + std::min(j / 2, 7)) % 3);
                for (const XVector3& offset : {XVector3(3.0f, 0.0f, 1.0f), XVector3(-2.0f, 0.0f, -4.0f)}) {
                    XMotion slanted;
                    slanted.position = XVector3(x, height + 1.0f, z) + offset;
                    slanted.velocity = (XVector3(x, floorY, z) - slanted.position).Normalized() * 200.0f;
                    ExpectSameAnswer(hall.get(), slanted, kUnitScale, "slanted", index);
                }
                ++index;
            }
        }
    }
}

TEST(NearestHit, ScaledCastsAnswerAsAPlainScanToo)
{
    // With a scale the triangles leave their cubes, so no node may be skipped for being far.
    SceneWithOctree hall(Hall());
    std::mt19937 random(3);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    for (int i = 0; i < 500; ++i) {
        XMotion shot;
        shot.position = XVector3(19.0f * unit(random), 6.0f + 5.5f * unit(random), 19.0f * unit(random));
        shot.velocity = XVector3(unit(random), 0.6f * unit(random), unit(random)).Normalized() * 200.0f;
        ExpectSameAnswer(hall.get(), shot, XVector3(0.5f, 2.0f, 0.5f), "stretched shot", i);
        ExpectSameAnswer(hall.get(), shot, XVector3(0.2f, 0.2f, 0.2f), "shrunk shot", i);
        ExpectSameAnswer(hall.get(), shot, XVector3(3.0f, 1.0f, 3.0f), "widened shot", i);
    }
}
