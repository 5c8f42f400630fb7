// SphereTriangle: how near a point is to a whole triangle (face, edges and corners), and when a moving sphere
// first touches one. Both sides of the triangle count. The collision code uses them to check its answers and,
// when an answer would leave the body inside or behind geometry, to find where the body's straight path first
// touches anything. Everything is worked out in double precision.
// Depends on: XVector3d.
#pragma once

#include "math/XVector3d.h"

// The three corners of a triangle, in double precision.
struct XTriangleCorners {
    XVector3d a;
    XVector3d b;
    XVector3d c;
};

// The point of the triangle (its face, edges or corners) nearest to p. A triangle without area is taken as the
// segments between its corners.
XVector3d ClosestPointOnTriangle(const XVector3d& p, const XTriangleCorners& triangle);

// Squared distance from p to the nearest point of the triangle.
double SquaredDistanceToTriangle(const XVector3d& p, const XTriangleCorners& triangle);

// The first fraction f in [0, 1] at which a sphere of the given radius, whose centre moves from start to
// start + move, touches the triangle, in fraction. A sphere that already overlaps the triangle at start touches
// it at 0. False when it does not touch it on the way.
bool SweepSphere(const XVector3d& start, const XVector3d& move, double radius, const XTriangleCorners& triangle,
                 double& fraction);
