// XCollision: ellipsoid sweep with sliding, push-out, segment casts and line-of-sight tests.
// Depends on: XScene, XOctTree, XCollisionMesh, SphereTriangle, XDebugText.
#include "space/XCollision.h"

#include "math/SphereTriangle.h"
#include "scene/XScene.h"
#include "shell/XDebugText.h"
#include "space/XCollisionMesh.h"
#include "space/XOctTree.h"

#include <algorithm> // std::min, std::max, std::lower_bound, std::upper_bound
#include <cmath>     // fabs

namespace {

XVector3 Reciprocal(const XVector3& s)
{
    return XVector3(1.0f / s.x, 1.0f / s.y, 1.0f / s.z);
}

bool IsUnitScale(const XVector3& s)
{
    return s.x == 1.0f && s.y == 1.0f && s.z == 1.0f;
}

float LargestMagnitude(const XVector3& v)
{
    return std::max(std::fabs(v.x), std::max(std::fabs(v.y), std::fabs(v.z)));
}

// How far beyond the exact reach of a test a triangle must still be looked at: the tests round their results to
// float, so a contact may lie a rounding step outside where exact arithmetic puts it.
float Slack(const XVector3& position, const XVector3& velocity)
{
    return 0.01f + 1e-5f * (LargestMagnitude(position) + LargestMagnitude(velocity));
}

XBox Widened(const XBox& box, float by)
{
    return XBox{box.min + (-by), box.max + by};
}

// The box from a to b.
XBox Spanning(const XVector3& a, const XVector3& b)
{
    return XBox{XVector3(std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)),
                XVector3(std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z))};
}

// How much more than it needs a query gathers when its first gathering no longer covers it.
const float kRegatherMargin = 1.0f;

// Where a sweep test of the motion can find contacts: the sphere's nearest point moves along the velocity from
// one length behind the position to one length ahead.
XBox SweepReach(const XMotion& m)
{
    const float reach = XCollision::kSphereRadius + Slack(m.position, m.velocity) + 1e-3f * m.velocity.Length();
    return Widened(Spanning(m.position - m.velocity, m.position + m.velocity), reach);
}

// Where the contacts of a sphere around p lie.
XBox SphereReach(const XVector3& p, double radius)
{
    const float reach = static_cast<float>(radius) + Slack(p, XVector3());
    return Widened(XBox{p, p}, reach);
}

XTriangleCorners CornersOf(const XTriangle& t)
{
    return XTriangleCorners{XVector3d(t.vertex[0]), XVector3d(t.vertex[1]), XVector3d(t.vertex[2])};
}

// Whether the nearer of two contacts is the new one: smaller distance, or the same distance and earlier in the
// octree's order (the order a scan of the octree's nodes with a stable sort would keep).
// Squared distance from p to the nearest point of the box (0 inside it).
float SquaredDistanceToBox(const XVector3& p, const XBox& box)
{
    const float dx = std::max(std::max(box.min.x - p.x, p.x - box.max.x), 0.0f);
    const float dy = std::max(std::max(box.min.y - p.y, p.y - box.max.y), 0.0f);
    const float dz = std::max(std::max(box.min.z - p.z, p.z - box.max.z), 0.0f);
    return dx * dx + dy * dy + dz * dz;
}

bool Nearer(double distance, int32_t order, bool haveBest, double bestDistance, int32_t bestOrder)
{
    return !haveBest || distance < bestDistance || (distance == bestDistance && order < bestOrder);
}

} // namespace

XCollision::XCollision() = default;
XCollision::~XCollision() = default;

// ------------------------------------------------------------------------------------------------------------
// CollideAndSlide
// ------------------------------------------------------------------------------------------------------------

XVector3 XCollision::CollideAndSlide(XScene* scene, const XMotion& motion, const XVector3& scale)
{
    onFloor = 0;
    onCeiling = 0;
    slides = 0;
    overlaps = 0;
    stopped = false;

    XMotion m;
    m.velocity = MultiplyComponents(motion.velocity, scale);
    m.position = MultiplyComponents(motion.position, scale);
    const XVector3 start = m.position;

    mesh = MeshFor(scene, scale);
    candidates.clear();
    covered = XBox{XVector3(1.0f, 1.0f, 1.0f), XVector3(-1.0f, -1.0f, -1.0f)};
    long nodesChecked = 0;
    if (mesh != nullptr) {
        // The first sweep's reach also covers the usual rest of a step: a slide on the floor and the sweep and
        // the push-out after it.
        Cover(SweepReach(m));
        nodesChecked = CandidateLeafCount();
    }
    XDebugText* const debugText = GetDebugText();
    debugText->AppendCount("# nodes checked : ", nodesChecked);

    // Node by node, in the octree's order, as the octree would hand them over: the slides answered in one node
    // decide what the next one sees, and ordinary walking depends on that order.
    if (mesh != nullptr) {
        for (int32_t leaf = NextLeaf(-1); leaf >= 0; leaf = NextLeaf(leaf)) {
            XNearest nearest;
            bool hit = SweepTest(leaf, m, nearest);
            while (slides < kMaxSlides) {
                if (m.velocity.Length() <= kMinSpeed || !hit) {
                    break;
                }
                m = SlidingResponse(m, nearest);
                ++slides;
                hit = SweepTest(leaf, m, nearest);
            }
        }
    }

    m.position = m.position + m.velocity;

    if (mesh != nullptr) {
        for (int32_t leaf = NextLeaf(-1); leaf >= 0; leaf = NextLeaf(leaf)) {
            XNearest shallowest;
            bool hit = OverlapTest(leaf, m.position, shallowest);
            while (overlaps < kMaxPushOuts && hit) {
                m.position = PushOut(m.position, shallowest);
                ++overlaps;
                hit = OverlapTest(leaf, m.position, shallowest);
            }
        }
        // The sweep answers faces only, node by node, and the push-outs are few: a long motion may take the body
        // past an edge, through a thin wall, through a triangle of a node not yet asked, or into a corner they
        // cannot resolve. A body that started clear then stops where its straight path first touches anything.
        if (WentIntoGeometry(start, m.position) && IsClear(start)) {
            m.position = StopBeforeTouching(start, m.position);
            stopped = true;
        }
    }

    m.position.MultiplyComponents(Reciprocal(scale));
    debugText->AppendCount("Overlaps : ", overlaps);
    debugText->AppendCount("Slides : ", slides);
    return m.position;
}

bool XCollision::SweepTest(int32_t leaf, const XMotion& motion, XNearest& nearest)
{
    const XBox reach = SweepReach(motion);
    Cover(reach);
    nearest.found = false;
    const XVector3d velocity(motion.velocity);
    // A hit lies on the segment of the sphere's nearest point, from one velocity behind it to one ahead.
    const XVector3 along(std::fabs(motion.velocity.x) + 1e-3f, std::fabs(motion.velocity.y) + 1e-3f,
                         std::fabs(motion.velocity.z) + 1e-3f);
    const size_t end = EndOfLeaf(leaf);
    for (size_t k = FirstOfLeaf(leaf); k < end; ++k) {
        const XCollisionFace& face = mesh->Face(candidates[k]);
        const XVector3 p0 = motion.position - face.normal * kSphereRadius;
        const XBox& bounds = mesh->Bounds(candidates[k]);
        if (!bounds.Overlaps(XBox{p0 - along, p0 + along})) {
            continue;
        }
        // Only a face the body moves against, with its centre in front of it, can stop the body: from behind,
        // the sphere's "nearest point" is its farthest and a hit would carry the body through the face.
        const double approach = Dot(XVector3d(face.normal), velocity);
        if (!(approach < 0.0) || !(face.PlaneDistance(motion.position) >= 0.0f)) {
            continue;
        }
        if (face.PlaneDistance(p0 + motion.velocity) > 0.0f) {
            continue; // the sweep does not reach the plane
        }
        // A hit lies inside the triangle's box: where the plane is crossed outside it, the triangle is missed.
        // (Walls cut by the octree into hundreds of slivers are turned away here rather than one by one.)
        const XVector3 crossing = face.PlaneCrossing(XVector3d(p0), velocity, approach);
        if (!bounds.Overlaps(XBox{crossing, crossing})) {
            continue;
        }
        const XCollisionTriangle& prepared = mesh->Triangle(candidates[k]);
        XVector3 h;
        if (!prepared.triangle.SegmentHit(p0, motion.velocity, kSweepTolerance, h)) {
            continue;
        }
        SetFlags(prepared.classification);
        const double distance = Distance(p0, h);
        if (Nearer(distance, prepared.order, nearest.found, nearest.distance, nearest.order)) {
            nearest.found = true;
            nearest.distance = distance;
            nearest.order = prepared.order;
            nearest.point = h;
            nearest.normal = face.normal;
            nearest.classification = prepared.classification;
        }
    }
    return nearest.found;
}

XMotion XCollision::SlidingResponse(const XMotion& motion, const XNearest& c)
{
    XMotion result;
    result.position = c.point + c.normal * kSphereRadius;
    result.velocity = motion.velocity - c.normal * Dot(c.normal, motion.velocity);
    SetFlags(c.classification);
    return result;
}

bool XCollision::OverlapTest(int32_t leaf, const XVector3& position, XNearest& shallowest)
{
    const XBox reach = SphereReach(position, kSphereRadius);
    Cover(reach);
    shallowest.found = false;
    // Nothing farther than this from the centre can be overlapped deeper than the minimum depth, allowing for the
    // rounding of the contact point and its distance to float: a body resting on a floor or sliding along a wall
    // (exactly a radius from its plane) is done with it here.
    const float within = kSphereRadius - kMinDepth - (1e-5f + 4e-7f * LargestMagnitude(position));
    const size_t end = EndOfLeaf(leaf);
    for (size_t k = FirstOfLeaf(leaf); k < end; ++k) {
        const XCollisionFace& face = mesh->Face(candidates[k]);
        if (!(SquaredDistanceToBox(position, mesh->Bounds(candidates[k])) < within * within)) {
            continue;
        }
        const float planeDistance = face.PlaneDistance(position);
        if (planeDistance < -kOverlapPlaneTolerance || !(planeDistance < within)) {
            continue;
        }
        const XCollisionTriangle& prepared = mesh->Triangle(candidates[k]);
        const XTriangle& t = prepared.triangle;
        XVector3 q;
        if (!t.SphereContact(position, q)) {
            continue;
        }
        const float separation = Distance(q, position);
        const float depth = kSphereRadius - separation;
        if (depth <= kMinDepth) {
            continue;
        }
        if (Nearer(depth, prepared.order, shallowest.found, shallowest.distance, shallowest.order)) {
            shallowest.found = true;
            shallowest.distance = depth;
            shallowest.order = prepared.order;
            shallowest.point = q;
            // A centre on the face itself has no direction away from it: out is the side the face looks to.
            shallowest.normal = separation > 1e-4f ? (position - q).Normalized() : t.normal;
            shallowest.classification = prepared.classification;
        }
    }
    return shallowest.found;
}

XVector3 XCollision::PushOut(const XVector3& position, const XNearest& c)
{
    SetFlags(c.classification);
    return position + c.normal * static_cast<float>(c.distance * kPushOutFactor);
}

void XCollision::SetFlags(int32_t classification)
{
    if (classification == XTriangle::Floor) {
        onFloor = 1;
    } else if (classification == XTriangle::Ceiling) {
        onCeiling = 1;
    }
}

// ------------------------------------------------------------------------------------------------------------
// The body's path checked, and stopped where it first touches
// ------------------------------------------------------------------------------------------------------------

bool XCollision::WentIntoGeometry(const XVector3& start, const XVector3& end)
{
    const XBox path = Spanning(start, end);
    const XBox nearEnd = SphereReach(end, kClearance);
    Cover(Widened(path, kSphereRadius + Slack(start, end - start)));
    const XVector3 along = end - start;
    const XVector3d endPoint(end);
    for (const int32_t i : candidates) {
        const XCollisionFace& face = mesh->Face(i);
        const float endSide = face.PlaneDistance(end);
        if (mesh->Bounds(i).Overlaps(path)) {
            const float startSide = face.PlaneDistance(start);
            const bool sameSide = (startSide > 0.0f && endSide > 0.0f) || (startSide < 0.0f && endSide < 0.0f);
            XVector3 h;
            if (!sameSide && mesh->Triangle(i).triangle.SegmentHit(start, along, 0.0f, h)) {
                return true; // the centre passed through the triangle
            }
        }
        if (std::fabs(endSide) < kClearance && mesh->Bounds(i).Overlaps(nearEnd) &&
            SquaredDistanceToTriangle(endPoint, CornersOf(mesh->Triangle(i).triangle)) < kClearance * kClearance) {
            return true;
        }
    }
    return false;
}

bool XCollision::IsClear(const XVector3& position)
{
    const XBox reach = SphereReach(position, kClearance);
    Cover(reach);
    const XVector3d point(position);
    for (const int32_t i : candidates) {
        const XCollisionFace& face = mesh->Face(i);
        if (mesh->Bounds(i).Overlaps(reach) && std::fabs(face.PlaneDistance(position)) < kClearance &&
            SquaredDistanceToTriangle(point, CornersOf(mesh->Triangle(i).triangle)) < kClearance * kClearance) {
            return false;
        }
    }
    return true;
}

XVector3 XCollision::StopBeforeTouching(const XVector3& start, const XVector3& target)
{
    const XBox swept = Widened(Spanning(start, target), static_cast<float>(kStopClearance) +
                                                            Slack(start, target - start));
    Cover(swept);
    const XVector3d from(start);
    const XVector3d move = XVector3d(target) - from;
    double first = 1.0;
    for (const int32_t i : candidates) {
        double fraction = 1.0;
        if (mesh->Bounds(i).Overlaps(swept) &&
            SweepSphere(from, move, kStopClearance, CornersOf(mesh->Triangle(i).triangle), fraction)) {
            first = std::min(first, fraction);
        }
    }
    return (from + move * first).ToFloat();
}

// ------------------------------------------------------------------------------------------------------------
// Segment queries
// ------------------------------------------------------------------------------------------------------------

bool XCollision::CastSegment(XScene* scene, const XMotion& motion, const XVector3& scale, XContact& contact)
{
    const XCollisionMesh* const prepared = MeshFor(scene, scale);
    if (prepared == nullptr) {
        return false;
    }
    const XVector3& p = motion.position;
    const XVector3& v = motion.velocity;
    const float length = v.Length();
    if (!(length > 0.0f)) {
        return false; // a segment without direction meets no plane
    }
    bool found = false;
    double bestDistance = 0.0;
    double bestAlong = 0.0;
    int32_t best = 0;
    XVector3 bestPoint;
    const auto visit = [&](int32_t i) {
        const XCollisionFace& face = prepared->Face(i);
        if (Dot(face.normal, v) > 0.0f) {
            return; // seen from behind
        }
        XVector3 h;
        double along = 0.0;
        // A hit behind the start would put a shot's hole on a wall at the shooter's back.
        if (!prepared->Triangle(i).triangle.SegmentHit(p, v, kSweepTolerance, h, along) || along < 0.0) {
            return;
        }
        const double distance = Distance(h, p);
        const int32_t order = prepared->Triangle(i).order;
        if (Nearer(distance, order, found, bestDistance, best)) {
            found = true;
            bestDistance = distance;
            bestAlong = along;
            best = order;
            bestPoint = h;
        }
    };
    // Leaves entered beyond the nearest hit so far cannot hold a nearer one; the slack covers the rounding of the
    // hit points to float, which may reorder hits that exact arithmetic puts a hair apart.
    const double slack = 1e-4 + 1e-6 * (LargestMagnitude(p) + length) / length;
    const auto limit = [&]() { return found ? bestAlong + slack : 2.0 + slack; };
    prepared->WalkSegment(p, v, 0.0, 1.0 + kSweepTolerance, visit, limit);
    if (!found) {
        return false;
    }
    const XCollisionTriangle& hitTriangle = prepared->Triangle(prepared->IndexOfOrder(best));
    XContact nearest;
    nearest.point = bestPoint;
    nearest.distance = bestDistance;
    nearest.kind = 0;
    nearest.triangleIndex = hitTriangle.indexInLeaf;
    nearest.classification = hitTriangle.classification;
    // The contact names the octree's own triangle; only the unit scale has it at hand.
    if (IsUnitScale(scale)) {
        nearest.triangle = hitTriangle.triangle;
    } else {
        const XCollisionMesh* const unit = MeshFor(scene, XVector3(1.0f, 1.0f, 1.0f));
        nearest.triangle = unit->Triangle(unit->IndexOfOrder(best)).triangle;
    }
    nearest.normal = nearest.triangle.normal;
    contact = nearest;
    return true;
}

bool XCollision::IsSegmentBlocked(XScene* scene, const XVector3& from, const XVector3& to)
{
    const XCollisionMesh* const prepared = MeshFor(scene, XVector3(1.0f, 1.0f, 1.0f));
    if (prepared == nullptr) {
        return false;
    }
    const XVector3 direction = to - from;
    bool blocked = false;
    const auto visit = [&](int32_t i) {
        XVector3 h;
        if (!blocked && prepared->Triangle(i).triangle.SegmentHit(from, direction, kBlockingTolerance, h)) {
            blocked = true;
        }
    };
    const auto limit = [&]() { return blocked ? -1e30 : 1e30; };
    prepared->WalkSegment(from, direction, -kBlockingTolerance, 1.0 + kBlockingTolerance, visit, limit);
    return blocked;
}

// ------------------------------------------------------------------------------------------------------------
// Prepared triangles and candidates
// ------------------------------------------------------------------------------------------------------------

void XCollision::Prepare(XScene* scene, const XVector3& scale)
{
    (void)MeshFor(scene, scale);
}

void XCollision::Adopt(std::unique_ptr<XCollisionMesh> prepared)
{
    if (!prepared) {
        return;
    }
    candidates.reserve(static_cast<size_t>(prepared->TriangleCount()));
    candidateLeaves.reserve(static_cast<size_t>(prepared->TriangleCount()));
    covered = XBox{XVector3(1.0f, 1.0f, 1.0f), XVector3(-1.0f, -1.0f, -1.0f)};
    mesh = nullptr;
    (IsUnitScale(prepared->Scale()) ? unitMesh : scaledMesh) = std::move(prepared);
}

const XCollisionMesh* XCollision::MeshFor(XScene* scene, const XVector3& scale)
{
    const XOctTree* const octree = scene != nullptr ? scene->GetOctree() : nullptr;
    if (octree == nullptr || octree->Root() == nullptr) {
        return nullptr;
    }
    std::unique_ptr<XCollisionMesh>& slot = IsUnitScale(scale) ? unitMesh : scaledMesh;
    // Compared bit for bit, so that 0 and -0 (which scale to differently signed corners) are told apart.
    if (!slot || slot->TreeSerial() != octree->Serial() || !SameBits(slot->Scale(), scale)) {
        slot = std::make_unique<XCollisionMesh>(*octree, scale);
        // Room for a query that meets every triangle: no query after this one allocates.
        candidates.reserve(static_cast<size_t>(slot->TriangleCount()));
        candidateLeaves.reserve(static_cast<size_t>(slot->TriangleCount()));
    }
    return slot.get();
}

void XCollision::Cover(const XBox& box)
{
    if (covered.Encloses(box)) {
        return;
    }
    // A query that has to gather again is one that moves on (slides along walls, pushes out): a little more
    // room spares it the next gathering.
    const bool first = covered.min.x > covered.max.x;
    covered = first ? box : Widened(box, kRegatherMargin);
    candidates.clear();
    mesh->Query(covered, candidates);
    candidateLeaves.clear();
    for (const int32_t i : candidates) {
        candidateLeaves.push_back(mesh->LeafOf(i));
    }
}

size_t XCollision::FirstOfLeaf(int32_t leaf) const
{
    return static_cast<size_t>(std::lower_bound(candidateLeaves.begin(), candidateLeaves.end(), leaf) -
                               candidateLeaves.begin());
}

size_t XCollision::EndOfLeaf(int32_t leaf) const
{
    return static_cast<size_t>(std::upper_bound(candidateLeaves.begin(), candidateLeaves.end(), leaf) -
                               candidateLeaves.begin());
}

int32_t XCollision::NextLeaf(int32_t leaf) const
{
    const size_t k = EndOfLeaf(leaf);
    return k < candidateLeaves.size() ? candidateLeaves[k] : -1;
}

int32_t XCollision::CandidateLeafCount() const
{
    int32_t count = 0;
    for (size_t k = 0; k < candidateLeaves.size(); ++k) {
        count += k == 0 || candidateLeaves[k] != candidateLeaves[k - 1] ? 1 : 0;
    }
    return count;
}

XCollision* GetCollision()
{
    static XCollision* const collision = new XCollision();
    return collision;
}
