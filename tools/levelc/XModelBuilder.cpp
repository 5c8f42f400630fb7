// XModelBuilder: meshes of the sky dome, the weapons and the bullet.
#include "tools/levelc/XModelBuilder.h"

#include "math/XPi.h"

#include <algorithm> // max
#include <cmath>     // cos, sin

namespace {

// A rectangle of the weapon texture (weapons.jpg): its four quarters, t = 0 at the bottom of the picture.
struct UvRegion {
    float s0, t0, s1, t1;
};
const UvRegion kGunmetal = {0.02f, 0.52f, 0.48f, 0.98f};
const UvRegion kOlive = {0.52f, 0.52f, 0.98f, 0.98f};
const UvRegion kCoil = {0.02f, 0.02f, 0.48f, 0.48f};
const UvRegion kHazard = {0.52f, 0.02f, 0.98f, 0.48f};

XVector2 InRegion(const UvRegion& r, float s, float t)
{
    return XVector2(r.s0 + (r.s1 - r.s0) * s, r.t0 + (r.t1 - r.t0) * t);
}

// Appends vertices and triangles to an object; both coordinate sets get the same values.
class ModelMesh {
public:
    explicit ModelMesh(XSceneObject& target) : object(target) {}

    int Vertex(const XVector3& p, const XVector3& n, const XVector2& uv)
    {
        object.positions.push_back(p);
        object.normals.push_back(n);
        object.uv0.push_back(uv);
        object.uv1.push_back(uv);
        return object.VertexCount() - 1;
    }

    void Triangle(int a, int b, int c) { object.triangles.push_back({a, b, c}); }

    // A closed cylinder along z from z0 to z1 around (cx, cy), smooth around, flat caps.
    void Cylinder(float cx, float cy, float radius, float z0, float z1, int sides, const UvRegion& region,
                  float repeatsAround)
    {
        const int first = object.VertexCount();
        for (int i = 0; i <= sides; ++i) {
            const float a = 2.0f * kPiFloat * static_cast<float>(i) / static_cast<float>(sides);
            const XVector3 n(std::cos(a), std::sin(a), 0.0f);
            const float s = std::fmod(repeatsAround * static_cast<float>(i) / static_cast<float>(sides), 1.0001f);
            Vertex(XVector3(cx + radius * n.x, cy + radius * n.y, z0), n, InRegion(region, s, 0.0f));
            Vertex(XVector3(cx + radius * n.x, cy + radius * n.y, z1), n, InRegion(region, s, 1.0f));
        }
        for (int i = 0; i < sides; ++i) {
            const int a0 = first + 2 * i;
            const int a1 = a0 + 1;
            const int b0 = a0 + 2;
            const int b1 = a0 + 3;
            // Outward and counter-clockwise seen from outside: around the z axis the angle grows
            // counter-clockwise seen from +z, so (a0, b0, b1) turns the right way when seen from outside.
            Triangle(a0, b0, b1);
            Triangle(a0, b1, a1);
        }
        Cap(cx, cy, radius, z0, sides, region, false);
        Cap(cx, cy, radius, z1, sides, region, true);
    }

    // An axis-aligned box with flat faces.
    void Box(const XVector3& min, const XVector3& max, const UvRegion& region)
    {
        const XVector3 c[8] = {XVector3(min.x, min.y, min.z), XVector3(max.x, min.y, min.z),
                               XVector3(max.x, max.y, min.z), XVector3(min.x, max.y, min.z),
                               XVector3(min.x, min.y, max.z), XVector3(max.x, min.y, max.z),
                               XVector3(max.x, max.y, max.z), XVector3(min.x, max.y, max.z)};
        // Each face counter-clockwise seen from outside.
        const int faces[6][4] = {{1, 0, 3, 2}, {4, 5, 6, 7}, {0, 4, 7, 3}, {5, 1, 2, 6}, {3, 7, 6, 2}, {0, 1, 5, 4}};
        const XVector3 normals[6] = {XVector3(0, 0, -1), XVector3(0, 0, 1), XVector3(-1, 0, 0),
                                     XVector3(1, 0, 0),  XVector3(0, 1, 0), XVector3(0, -1, 0)};
        for (int f = 0; f < 6; ++f) {
            const int v0 = Vertex(c[faces[f][0]], normals[f], InRegion(region, 0.0f, 0.0f));
            const int v1 = Vertex(c[faces[f][1]], normals[f], InRegion(region, 1.0f, 0.0f));
            const int v2 = Vertex(c[faces[f][2]], normals[f], InRegion(region, 1.0f, 1.0f));
            const int v3 = Vertex(c[faces[f][3]], normals[f], InRegion(region, 0.0f, 1.0f));
            Triangle(v0, v1, v2);
            Triangle(v0, v2, v3);
        }
    }

private:
    void Cap(float cx, float cy, float radius, float z, int sides, const UvRegion& region, bool front)
    {
        const XVector3 n(0.0f, 0.0f, front ? 1.0f : -1.0f);
        const int centre = Vertex(XVector3(cx, cy, z), n, InRegion(region, 0.5f, 0.5f));
        const int first = object.VertexCount();
        for (int i = 0; i < sides; ++i) {
            const float a = 2.0f * kPiFloat * static_cast<float>(i) / static_cast<float>(sides);
            Vertex(XVector3(cx + radius * std::cos(a), cy + radius * std::sin(a), z), n,
                   InRegion(region, 0.5f + 0.5f * std::cos(a), 0.5f + 0.5f * std::sin(a)));
        }
        for (int i = 0; i < sides; ++i) {
            const int a = first + i;
            const int b = first + (i + 1) % sides;
            if (front) {
                Triangle(centre, a, b);
            } else {
                Triangle(centre, b, a);
            }
        }
    }

    XSceneObject& object;
};

void OneGroup(XSceneObject& object, int material)
{
    object.groups = {XSceneGroup{material, object.TriangleCount()}};
}

} // namespace

XSceneObject XModelBuilder::SkyDome(int material)
{
    XSceneObject sky;
    sky.name = "skydome";
    const int around = 32;
    const int rings = 12;
    const float lowest = -20.0f * kPiFloat / 180.0f;
    for (int r = 0; r <= rings; ++r) {
        const float elevation = lowest + (kPiFloat * 0.5f - lowest) * static_cast<float>(r) / static_cast<float>(rings);
        for (int i = 0; i <= around; ++i) {
            const float azimuth = 2.0f * kPiFloat * static_cast<float>(i) / static_cast<float>(around);
            const XVector3 d(std::cos(elevation) * std::cos(azimuth), std::sin(elevation),
                             std::cos(elevation) * std::sin(azimuth));
            // A flat cloud layer seen from below: coordinates grow towards the horizon.
            const float spread = 3.0f / (std::max(d.y, 0.0f) + 0.3f);
            const XVector2 uv(0.5f + d.x * spread, 0.5f + d.z * spread);
            sky.positions.push_back(d * kSkyRadius);
            sky.normals.push_back(-d);
            sky.uv0.push_back(uv);
            sky.uv1.push_back(uv);
        }
    }
    for (int r = 0; r < rings; ++r) {
        for (int i = 0; i < around; ++i) {
            const int a0 = r * (around + 1) + i;
            const int a1 = a0 + 1;
            const int b0 = a0 + around + 1;
            const int b1 = b0 + 1;
            // Counter-clockwise seen from the centre. The top ring's upper corners all meet at the zenith,
            // where the second triangle would have no area.
            sky.triangles.push_back({a0, a1, b0});
            if (r + 1 < rings) {
                sky.triangles.push_back({a1, b1, b0});
            }
        }
    }
    OneGroup(sky, material);
    return sky;
}

XSceneObject XModelBuilder::PlasmaGun(int material)
{
    XSceneObject gun;
    gun.name = "plasma";
    ModelMesh mesh(gun);
    // Barrel, the glowing coil around it, a muzzle ring, the receiver, a grip and a top rail.
    mesh.Cylinder(0.0f, 0.0f, 0.055f, 0.05f, 0.72f, 16, kGunmetal, 1.0f);
    mesh.Cylinder(0.0f, 0.0f, 0.095f, 0.16f, 0.52f, 16, kCoil, 1.0f);
    mesh.Cylinder(0.0f, 0.0f, 0.085f, 0.66f, 0.75f, 16, kHazard, 2.0f);
    mesh.Box(XVector3(-0.11f, -0.12f, -0.45f), XVector3(0.11f, 0.09f, 0.16f), kOlive);
    mesh.Box(XVector3(-0.045f, -0.30f, -0.36f), XVector3(0.045f, -0.12f, -0.22f), kGunmetal);
    mesh.Box(XVector3(-0.03f, 0.09f, -0.30f), XVector3(0.03f, 0.13f, 0.10f), kGunmetal);
    OneGroup(gun, material);
    return gun;
}

XSceneObject XModelBuilder::RocketLauncher(int material)
{
    XSceneObject launcher;
    launcher.name = "rocket";
    ModelMesh mesh(launcher);
    // A wide tube with banded ends, a sight on top and a grip below.
    mesh.Cylinder(0.0f, 0.0f, 0.13f, -0.50f, 0.64f, 20, kOlive, 2.0f);
    mesh.Cylinder(0.0f, 0.0f, 0.15f, 0.58f, 0.70f, 20, kHazard, 3.0f);
    mesh.Cylinder(0.0f, 0.0f, 0.145f, -0.50f, -0.40f, 20, kGunmetal, 2.0f);
    mesh.Box(XVector3(-0.035f, 0.13f, -0.10f), XVector3(0.035f, 0.19f, 0.12f), kGunmetal);
    mesh.Box(XVector3(-0.04f, -0.30f, -0.20f), XVector3(0.04f, -0.12f, -0.08f), kGunmetal);
    OneGroup(launcher, material);
    return launcher;
}

XSceneObject XModelBuilder::Bullet(int material)
{
    XSceneObject bullet;
    bullet.name = "bullet";
    ModelMesh mesh(bullet);
    mesh.Cylinder(0.0f, 0.0f, 0.025f, -0.06f, 0.06f, 8, kHazard, 1.0f);
    OneGroup(bullet, material);
    return bullet;
}
