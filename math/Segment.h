// Segment: the point, segment and plane helpers behind the triangle tests and the octree's triangle splitting.
// Depends on: XVector3.
#pragma once

#include "math/XVector3.h"

// The point of the segment a-b nearest to p; a when the segment has no length.
XVector3 ClosestPointOnSegment(const XVector3& a, const XVector3& b, const XVector3& p);

// Distance from p to the nearest point of the segment a-b.
float DistanceToSegment(const XVector3& a, const XVector3& b, const XVector3& p);

// Where the segment a-b crosses the plane through q with normal n, both ends included. False when the segment
// runs parallel to the plane (n . (b - a) exactly 0) or does not reach it.
bool SegmentPlane(const XVector3& a, const XVector3& b, const XVector3& n, const XVector3& q, XVector3& point);

// p moved along the unit normal n onto the plane through q.
XVector3 ProjectOntoPlane(const XVector3& n, const XVector3& q, const XVector3& p);
