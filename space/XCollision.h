// XCollision: the collision queries against the scene's collision octree.
//
// CollideAndSlide moves an ellipsoid body: the caller passes a per-axis scale, the query runs in the space
// stretched by it, where the body is a sphere of radius 10. It sweeps the sphere along the motion and slides
// along what it meets (at most 5 slides), then pushes it out of anything it still overlaps (at most 15
// push-outs), and reports whether a floor or a ceiling took part. CastSegment finds where a moving point
// first meets a triangle facing it; IsSegmentBlocked tells whether any triangle lies between two points.
// A scene without an octree answers as if no node were found.
// Depends on: XScene, XOctTree, XTriangle, XDebugText.
#pragma once

#include "math/XTriangle.h"
#include "math/XVector3.h"

#include <cstddef> // size_t
#include <cstdint> // int32_t
#include <vector>

class XOctNode;
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
    static constexpr float kNodeSearchRadius = 2.0f;
    static constexpr int32_t kMaxSlides = 5;
    static constexpr int32_t kMaxPushOuts = 15;
    static constexpr float kMinSpeed = 0.001f;
    static constexpr float kSweepTolerance = 1.0f;
    static constexpr float kOverlapPlaneTolerance = 0.001f;
    static constexpr float kMinDepth = 0.001f;
    static constexpr float kPushOutFactor = 1.1f;
    static constexpr float kBlockingTolerance = 0.001f;

    XCollision() = default;
    virtual ~XCollision() = default;
    XCollision(const XCollision&) = delete;
    XCollision& operator=(const XCollision&) = delete;

    // The body's final position (world space) after sliding and pushing out; appends three debug lines.
    XVector3 CollideAndSlide(XScene* scene, const XMotion& motion, const XVector3& scale);
    // The nearest triangle facing the motion that the segment from its position along its velocity meets
    // (hits up to twice the length ahead and one length behind count).
    bool CastSegment(XScene* scene, const XMotion& motion, const XVector3& scale, XContact& contact);
    // Whether any triangle lies on the segment from `from` to `to` (end points included).
    bool IsSegmentBlocked(XScene* scene, const XVector3& from, const XVector3& to);

    // A node of a segment cast: how far its cube is from the start, and its place in the octree's answer.
    struct XCastNode {
        double distance = 0.0;
        size_t order = 0;
    };

    bool OnFloor() const { return onFloor != 0; }
    bool OnCeiling() const { return onCeiling != 0; }
    int32_t Slides() const { return slides; }
    int32_t Overlaps() const { return overlaps; }

private:
    bool SweepTest(const XOctNode& node, const XMotion& motion, const XVector3& scale);
    XMotion SlidingResponse(const XMotion& motion);
    bool OverlapTest(const XOctNode& node, const XVector3& position, const XVector3& scale);
    XVector3 PushOut(const XVector3& position);
    void SortContacts();
    void SetFlags(int32_t classification);

    uint8_t onFloor = 0;
    uint8_t onCeiling = 0;
    int32_t slides = 0;
    int32_t overlaps = 0;
    std::vector<XContact> contacts;
    std::vector<XOctNode*> nodes; // reused by every query
    std::vector<XCastNode> castOrder; // reused by every segment cast
};

// The process-wide collision object, created on first use.
XCollision* GetCollision();
