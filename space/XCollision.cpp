// XCollision: ellipsoid sweep with sliding, push-out, segment casts and line-of-sight tests.
#include "space/XCollision.h"

#include "scene/XScene.h"
#include "shell/XDebugText.h"
#include "space/XOctNode.h"
#include "space/XOctTree.h"

#include <algorithm> // std::stable_sort

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
    bool found = false;
    XContact nearest;
    for (const XOctNode* node : octree->SegmentQuery(p, p + v)) {
        const int count = node->TriangleCount();
        for (int i = 0; i < count; ++i) {
            const XTriangle& original = node->Triangle(i);
            const XTriangle t = original.Scaled(scale);
            if (Dot(t.normal, v) > 0.0f) {
                continue; // seen from behind
            }
            XVector3 h;
            if (!t.SegmentHit(p, v, kSweepTolerance, h)) {
                continue;
            }
            const double distance = Distance(h, p);
            // The first of equal distances stays, as a stable sort would keep it first.
            if (!found || distance < nearest.distance) {
                nearest.point = h;
                nearest.normal = t.normal;
                nearest.distance = distance;
                nearest.kind = 0;
                nearest.triangleIndex = i;
                nearest.triangle = original;
                nearest.classification = t.Classify();
                found = true;
            }
        }
    }
    if (!found) {
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
    for (int i = 0; i < count; ++i) {
        const XTriangle t = node.Triangle(i).Scaled(scale);
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
    for (int i = 0; i < count; ++i) {
        const XTriangle t = node.Triangle(i).Scaled(scale);
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
