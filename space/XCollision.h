// XCollision: the collision queries against the scene's collision octree.
//
// CollideAndSlide moves an ellipsoid body: the caller passes a per-axis scale, the query runs in the space
// stretched by it, where the body is a sphere of radius 10. It sweeps the sphere along the motion and slides
// along what it meets (at most 5 slides), then pushes it out of anything it still overlaps (at most 15
// push-outs), and reports whether a floor or a ceiling took part. CastSegment finds where a moving point
// first meets a triangle facing it; IsSegmentBlocked tells whether any triangle lies between two points.
// A scene without an octree answers as if no node were found.
//
// The queries look at the triangles near their path only: the octree's triangles are prepared once per scale
// (XCollisionMesh) and a box tree hands each query those whose bounds meet the volume its motion sweeps, however
// long the motion; they are then taken node by node in the octree's order. A slide only ever answers a face
// that the body moves against with its centre in front of it, and a body that started clear never ends a motion
// inside or behind geometry: when the sweep and the push-outs would leave it so (a long motion past an edge,
// say), it stops where its straight path first touches anything.
// Depends on: XScene, XOctTree, XCollisionMesh, XTriangle, SphereTriangle, XDebugText.
#pragma once

#include "math/XTriangle.h"
#include "math/XVector3.h"
#include "space/XBoxTree.h"

#include <cstdint> // int32_t
#include <memory>  // unique_ptr
#include <vector>

class XCollisionMesh;
class XScene;

// A motion: the displacement wanted for this step, from a position.
struct XMotion {
    XVector3 velocity;
    XVector3 position;
};

struct XContact {
    XVector3 point;
    XVector3 normal;
    double distance = 0.0;
    int32_t kind = 0;           // 0 sweep contact, 1 overlap
    int32_t triangleIndex = 0;  // index of the triangle in its octree node
    XTriangle triangle;         // the node's own, unscaled triangle (set by CastSegment only)
    int32_t classification = 0; // 0 wall, 1 floor, 2 ceiling
};

class XCollision {
public:
    static constexpr float kSphereRadius = 10.0f;
    static constexpr int32_t kMaxSlides = 5;
    static constexpr int32_t kMaxPushOuts = 15;
    static constexpr float kMinSpeed = 0.001f;
    static constexpr float kSweepTolerance = 1.0f;
    static constexpr float kOverlapPlaneTolerance = 0.001f;
    static constexpr float kMinDepth = 0.001f;
    static constexpr float kPushOutFactor = 1.1f;
    static constexpr float kBlockingTolerance = 0.001f;
    // A body whose centre is nearer than this to a triangle counts as inside geometry (half a percent of the
    // radius), and a body stopped on its straight path keeps at least kStopClearance from everything.
    static constexpr double kClearance = 9.95;
    static constexpr double kStopClearance = 9.96;

    XCollision();
    virtual ~XCollision();
    XCollision(const XCollision&) = delete;
    XCollision& operator=(const XCollision&) = delete;

    // The body's final position (world space) after sliding and pushing out; appends three debug lines.
    XVector3 CollideAndSlide(XScene* scene, const XMotion& motion, const XVector3& scale);
    // The nearest triangle facing the motion that the segment from its position along its velocity meets
    // (hits up to twice the length ahead count; none behind the start).
    bool CastSegment(XScene* scene, const XMotion& motion, const XVector3& scale, XContact& contact);
    // Whether any triangle lies on the segment from `from` to `to` (end points included).
    bool IsSegmentBlocked(XScene* scene, const XVector3& from, const XVector3& to);

    // Prepares the scene's triangles for queries at the scale, so that the first query does not pay for it.
    void Prepare(XScene* scene, const XVector3& scale);
    // Takes triangles prepared elsewhere (for a level built off the main thread, XCollisionMesh of its octree)
    // as those of their scale; a later query of a scene with that octree uses them as they are.
    void Adopt(std::unique_ptr<XCollisionMesh> prepared);

    bool OnFloor() const { return onFloor != 0; }
    bool OnCeiling() const { return onCeiling != 0; }
    int32_t Slides() const { return slides; }
    int32_t Overlaps() const { return overlaps; }
    // Whether the latest CollideAndSlide had to stop the body on its straight path (see above).
    bool Stopped() const { return stopped; }

private:
    // The nearest contact a test found, with the triangle's place in the octree's order to break ties.
    struct XNearest {
        bool found = false;
        double distance = 0.0;
        int32_t order = 0;
        XVector3 point;
        XVector3 normal;
        int32_t classification = 0;
    };

    const XCollisionMesh* MeshFor(XScene* scene, const XVector3& scale);
    // Makes the candidate list hold every triangle whose bounds meet the box, in the octree's order.
    void Cover(const XBox& box);
    int32_t CandidateLeafCount() const;
    // Where the candidates of the leaf begin and end; the leaf among the candidates that follows leaf (-1: the
    // first), or -1 when none does.
    size_t FirstOfLeaf(int32_t leaf) const;
    size_t EndOfLeaf(int32_t leaf) const;
    int32_t NextLeaf(int32_t leaf) const;

    // The sweep and overlap tests of one leaf's triangles.
    bool SweepTest(int32_t leaf, const XMotion& motion, XNearest& nearest);
    XMotion SlidingResponse(const XMotion& motion, const XNearest& contact);
    bool OverlapTest(int32_t leaf, const XVector3& position, XNearest& shallowest);
    XVector3 PushOut(const XVector3& position, const XNearest& contact);
    void SetFlags(int32_t classification);

    // Whether the body moved from start to end through a triangle or ended nearer than kClearance to one.
    bool WentIntoGeometry(const XVector3& start, const XVector3& end);
    bool IsClear(const XVector3& position);
    // The furthest point on the straight path from start to target that the body reaches before it comes
    // within kStopClearance of any triangle.
    XVector3 StopBeforeTouching(const XVector3& start, const XVector3& target);

    uint8_t onFloor = 0;
    uint8_t onCeiling = 0;
    int32_t slides = 0;
    int32_t overlaps = 0;
    bool stopped = false;

    // Prepared triangles: one mesh for the unit scale (segment casts), one for the latest other scale (bodies).
    std::unique_ptr<XCollisionMesh> unitMesh;
    std::unique_ptr<XCollisionMesh> scaledMesh;
    const XCollisionMesh* mesh = nullptr; // the current query's
    std::vector<int32_t> candidates;      // reused by every query
    std::vector<int32_t> candidateLeaves; // the leaf of each candidate
    XBox covered;                         // what the candidates cover
};

// The process-wide collision object, created on first use.
XCollision* GetCollision();
