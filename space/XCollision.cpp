// XCollision: ellipsoid sweep with sliding, push-out, segment casts and line-of-sight tests.
#include "space/XCollision.h"

#include "scene/XScene.h"
#include "shell/XDebugText.h"
#include "space/XOctNode.h"
#include "space/XOctTree.h"

#include <algorithm> // std::stable_sort, std::sort, std::max
#include <cmath>     // fabs, sqrt

namespace {

XOctTree* OctreeOf(XScene* scene)
{
    return scene != nullptr ? scene->GetOctree() : nullptr;
}

XVector3 Reciprocal(const XVector3& s)
{
    return XVector3(1.0f / s.x, 1.0f / s.y, 1.0f / s.z);
}

bool ByDistance(const XContact& a, const XContact& b)
{
    return a.distance < b.distance;
}

// The distance from p to the nearest point of the cube, 0 inside it.
double DistanceToCube(const XVector3& p, const XCube& cube)
{
    const double h = cube.HalfSize();
    const double dx = std::max(0.0, std::fabs(static_cast<double>(p.x) - cube.Center().x) - h);
    const double dy = std::max(0.0, std::fabs(static_cast<double>(p.y) - cube.Center().y) - h);
    const double dz = std::max(0.0, std::fabs(static_cast<double>(p.z) - cube.Center().z) - h);
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// How much nearer than its cube a hit may still lie: the build clips a node's triangles at its faces in float,
// so pieces may poke out of it by a rounding step, and a hit may lie a rounding step outside its triangle. Far
// more than either, and far less than anything a level can tell apart.
double CubeSlack(double distance)
{
    return 0.01 + 1e-5 * distance;
}

bool NearerCubeFirst(const XCollision::XCastNode& a, const XCollision::XCastNode& b)
{
    return a.distance < b.distance || (a.distance == b.distance && a.order < b.order);
}

} // namespace

XVector3 XCollision::CollideAndSlide(XScene* scene, const XMotion& motion, const XVector3& scale)
{
    onFloor = 0;
    onCeiling = 0;
    contacts.clear();
    slides = 0;
    overlaps = 0;

    XMotion m;
    m.velocity = MultiplyComponents(motion.velocity, scale);
    m.position = MultiplyComponents(motion.position, scale);

    nodes.clear();
    if (XOctTree* const octree = OctreeOf(scene)) {
        octree->SphereQuery(motion.position, kNodeSearchRadius, nodes);
    }
    XDebugText* const debugText = GetDebugText();
    debugText->AppendLine("# nodes checked : %ld", static_cast<long>(nodes.size()));

    for (const XOctNode* node : nodes) {
        bool hit = SweepTest(*node, m, scale);
        while (slides < kMaxSlides) {
            if (m.velocity.Length() <= kMinSpeed || !hit) {
                break;
            }
            m = SlidingResponse(m);
            ++slides;
            contacts.clear();
            hit = SweepTest(*node, m, scale);
        }
    }

    m.position = m.position + m.velocity;

    for (const XOctNode* node : nodes) {
        bool hit = OverlapTest(*node, m.position, scale);
        while (overlaps < kMaxPushOuts && hit) {
            m.position = PushOut(m.position);
            ++overlaps;
            contacts.clear();
            hit = OverlapTest(*node, m.position, scale);
        }
    }

    m.position.MultiplyComponents(Reciprocal(scale));
    debugText->AppendLine("Overlaps : %ld", static_cast<long>(overlaps));
    debugText->AppendLine("Slides : %ld", static_cast<long>(slides));
    return m.position;
}

bool XCollision::CastSegment(XScene* scene, const XMotion& motion, const XVector3& scale, XContact& contact)
{
    XOctTree* const octree = OctreeOf(scene);
    if (octree == nullptr) {
        return false;
    }
    const XVector3& p = motion.position;
    const XVector3& v = motion.velocity;
    const std::vector<XOctNode*>& found = octree->SegmentQuery(p, p + v);

    // Nearest cubes first: once a hit is nearer than the next cube, neither that cube's triangles nor those of
    // any later one can be nearer, and a 200-unit shot that hits the first wall skips the rest of its path.
    castOrder.clear();
    for (size_t k = 0; k < found.size(); ++k) {
        castOrder.push_back({DistanceToCube(p, found[k]->Cube()), k});
    }
    std::sort(castOrder.begin(), castOrder.end(), NearerCubeFirst);

    // The cubes bound the hits only where the triangles are the tree's own; scaled ones may lie anywhere.
    const bool cubesBoundHits = scale.x == 1.0f && scale.y == 1.0f && scale.z == 1.0f;
    bool have = false;
    size_t nearestNode = 0;
    XContact nearest;
    for (const XCastNode& entry : castOrder) {
        if (cubesBoundHits && have && entry.distance > nearest.distance + CubeSlack(nearest.distance)) {
            break;
        }
        const XOctNode* const node = found[entry.order];
        const int count = node->TriangleCount();
        const XTriangle* const originals = node->Triangles();
        const XTriangle* const scaled = node->ScaledTriangles(scale);
        for (int i = 0; i < count; ++i) {
            const XTriangle& t = scaled[i];
            if (Dot(t.normal, v) > 0.0f) {
                continue; // seen from behind
            }
            XVector3 h;
            if (!t.SegmentHit(p, v, kSweepTolerance, h)) {
                continue;
            }
            const double distance = Distance(h, p);
            // Of equal distances the one first in the query's list (node, then triangle) wins, as in a scan of
            // the list in its own order with a stable sort of the hits.
            const bool nearer = !have || distance < nearest.distance ||
                                (distance == nearest.distance && entry.order < nearestNode);
            if (nearer) {
                nearest.point = h;
                nearest.normal = t.normal;
                nearest.distance = distance;
                nearest.kind = 0;
                nearest.triangleIndex = i;
                nearest.triangle = originals[i];
                nearest.classification = t.Classify();
                nearestNode = entry.order;
                have = true;
            }
        }
    }
    if (!have) {
        return false;
    }
    nearest.normal = nearest.triangle.normal;
    contact = nearest;
    return true;
}

bool XCollision::IsSegmentBlocked(XScene* scene, const XVector3& from, const XVector3& to)
{
    XOctTree* const octree = OctreeOf(scene);
    if (octree == nullptr) {
        return false;
    }
    const XVector3 direction = to - from;
    for (const XOctNode* node : octree->SegmentQuery(from, to)) {
        const int count = node->TriangleCount();
        for (int i = 0; i < count; ++i) {
            XVector3 h;
            if (node->Triangle(i).SegmentHit(from, direction, kBlockingTolerance, h)) {
                return true;
            }
        }
    }
    return false;
}

bool XCollision::SweepTest(const XOctNode& node, const XMotion& motion, const XVector3& scale)
{
    bool added = false;
    const int count = node.TriangleCount();
    const XTriangle* const scaled = node.ScaledTriangles(scale);
    for (int i = 0; i < count; ++i) {
        const XTriangle& t = scaled[i];
        const XVector3 p0 = motion.position - t.normal * kSphereRadius;
        if (t.PlaneDistance(p0 + motion.velocity) > 0.0f) {
            continue; // the sweep does not reach the plane
        }
        XVector3 h;
        if (!t.SegmentHit(p0, motion.velocity, kSweepTolerance, h)) {
            continue;
        }
        XContact contact;
        contact.point = h;
        contact.normal = t.normal;
        contact.distance = Distance(p0, h);
        contact.kind = 0;
        contact.triangleIndex = i;
        contact.classification = t.Classify();
        SetFlags(contact.classification);
        contacts.push_back(contact);
        added = true;
    }
    return added;
}

XMotion XCollision::SlidingResponse(const XMotion& motion)
{
    SortContacts();
    const XContact& c = contacts.front();
    XMotion result;
    result.position = c.point + c.normal * kSphereRadius;
    result.velocity = motion.velocity - c.normal * Dot(c.normal, motion.velocity);
    SetFlags(c.classification);
    return result;
}

bool XCollision::OverlapTest(const XOctNode& node, const XVector3& position, const XVector3& scale)
{
    bool added = false;
    const int count = node.TriangleCount();
    const XTriangle* const scaled = node.ScaledTriangles(scale);
    for (int i = 0; i < count; ++i) {
        const XTriangle& t = scaled[i];
        if (t.PlaneDistance(position) < -kOverlapPlaneTolerance) {
            continue;
        }
        XVector3 q;
        if (!t.SphereContact(position, q)) {
            continue;
        }
        const float depth = kSphereRadius - Distance(q, position);
        if (depth <= kMinDepth) {
            continue;
        }
        XContact contact;
        contact.point = q;
        contact.normal = (position - q).Normalized();
        contact.distance = depth;
        contact.kind = 1;
        contact.triangleIndex = i;
        contact.classification = t.Classify();
        contacts.push_back(contact);
        added = true;
    }
    return added;
}

XVector3 XCollision::PushOut(const XVector3& position)
{
    SortContacts();
    const XContact& c = contacts.front();
    SetFlags(c.classification);
    return position + c.normal * static_cast<float>(c.distance * kPushOutFactor);
}

void XCollision::SortContacts()
{
    std::stable_sort(contacts.begin(), contacts.end(), ByDistance);
}

void XCollision::SetFlags(int32_t classification)
{
    if (classification == XTriangle::Floor) {
        onFloor = 1;
    } else if (classification == XTriangle::Ceiling) {
        onCeiling = 1;
    }
}

XCollision* GetCollision()
{
    static XCollision* const collision = new XCollision();
    return collision;
}
