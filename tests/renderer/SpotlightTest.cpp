// Tests of the spotlight pass: per-vertex directions in the camera's frame written through the world mesh's
// normals, and the cube-map spot added onto the world around the view direction.
#include "RendererTestSupport.h"

#include <gtest/gtest.h>

namespace {

const RGB kGrey = {100, 100, 100};

class Spotlight : public RendererTest {
protected:
    // A grey world wall far and wide enough to fill the picture.
    void AddWorld(const std::vector<Quad>& quads)
    {
        SetSceneColors({kGrey, kWhite});
        SetMaterials({{0, 1, 1.0f}});
        AddNode(scene, "world", QuadMesh(quads), {{0, 2 * static_cast<int>(quads.size())}});
        SetUpScene();
        renderer.SetScene(&scene);
    }

    const XVector3 origin = XVector3(0.0f, 0.0f, 0.0f);
};

TEST_F(Spotlight, BrightensTheMiddleOfTheViewOnly)
{
    AddWorld({{0.0f, 0.0f, 10.0f, 20.0f}});
    renderer.DrawWorld(scene);
    ASSERT_TRUE(PixelNear(400, 300, kGrey, 1));
    renderer.DrawSpotlight(camera, origin, camera.GetViewDirection());
    // The white spot adds the wall's own grey once more in the middle; the corners lie outside the spot.
    EXPECT_TRUE(PixelNear(400, 300, {200, 200, 200}, 3));
    EXPECT_TRUE(PixelNear(20, 20, kGrey, 1));
    EXPECT_TRUE(PixelNear(780, 580, kGrey, 1));
}

TEST_F(Spotlight, AfterTheWeaponLightsOnlyTheSurfaceInView)
{
    // The far wall comes first in the mesh, the pillar in front of the middle second. The pillar is lit
    // once; the light of the wall hidden behind it must not be added as well.
    AddWorld({{0.0f, 0.0f, 10.0f, 20.0f}, {0.0f, 0.0f, 5.0f, 1.0f}});
    XSceneNode* const weapon = AddNode(scene, "plasma", QuadMesh({{0.0f, 0.0f, 0.0f, 0.5f}}), {{0, 2}});
    renderer.DrawWorld(scene);
    renderer.DrawWeapon(*weapon, camera, XVector3(1.0f, 0.0f, 2.0f)); // beside the middle of the picture
    renderer.DrawSpotlight(camera, origin, camera.GetViewDirection());
    EXPECT_TRUE(PixelNear(400, 300, {200, 200, 200}, 3));
}

TEST_F(Spotlight, SpotFollowsTheViewDirection)
{
    // Turned 90 degrees to the left (+x), the spot lands in the middle of a wall on that side.
    SetSceneColors({kGrey, kWhite});
    SetMaterials({{0, 1, 1.0f}});
    std::unique_ptr<XMesh> mesh = QuadMesh({{0.0f, 0.0f, 10.0f, 20.0f}});
    // The wall turned to face a viewer who looks along +x: (x, y, z) -> (z, y, -x).
    for (int v = 0; v < mesh->GetVertexCount(); ++v) {
        const XVector3 p = mesh->GetPositions()[v];
        mesh->GetPositions()[v] = XVector3(p.z, p.y, -p.x);
    }
    AddNode(scene, "world", std::move(mesh), {{0, 2}});
    SetUpScene();
    renderer.SetScene(&scene);
    PlaceCamera(origin, 90.0f, 0.0f, 0.0f);
    renderer.DrawWorld(scene);
    ASSERT_TRUE(PixelNear(400, 300, kGrey, 1));
    renderer.DrawSpotlight(camera, origin, camera.GetViewDirection());
    EXPECT_TRUE(PixelNear(400, 300, {200, 200, 200}, 3));
    EXPECT_TRUE(PixelNear(20, 20, kGrey, 1));
}

TEST_F(Spotlight, DirectionsAreSeenFromTheEyeInTheCamerasFrame)
{
    AddWorld({{0.0f, 0.0f, 10.0f, 20.0f}});
    XMesh* const mesh = scene.FindNode("world")->GetMesh();
    mesh->GetPositions()[0] = XVector3(10.0f, 2.0f, 1.0f);
    mesh->GetPositions()[1] = XVector3(0.0f, 5.0f, 8.660254f);
    const XVector3 eye(0.0f, 0.0f, 0.0f);

    // Looking along +x: ahead becomes +z, the camera's right (+z) becomes -x.
    PlaceCamera(eye, 90.0f, 0.0f, 0.0f);
    renderer.DrawSpotlight(camera, eye, camera.GetViewDirection());
    const XVector3 turned = mesh->GetNormals()[0]; // written through the render normals
    EXPECT_NEAR(turned.x, -1.0f, 2e-3f);
    EXPECT_NEAR(turned.y, 2.0f, 2e-3f);
    EXPECT_NEAR(turned.z, 10.0f, 2e-3f);

    // Looking 30 degrees up: a point straight along the view is straight ahead.
    PlaceCamera(eye, 0.0f, 30.0f, 0.0f);
    renderer.DrawSpotlight(camera, eye, camera.GetViewDirection());
    const XVector3 ahead = mesh->GetNormals()[1];
    EXPECT_NEAR(ahead.x, 0.0f, 2e-3f);
    EXPECT_NEAR(ahead.y, 0.0f, 2e-3f);
    EXPECT_NEAR(ahead.z, 10.0f, 2e-3f);
}

TEST_F(Spotlight, DirectionsAreMeasuredFromTheEyeNotTheOrigin)
{
    AddWorld({{0.0f, 0.0f, 10.0f, 20.0f}});
    XMesh* const mesh = scene.FindNode("world")->GetMesh();
    const XVector3 eye(1.0f, 2.0f, 3.0f);
    PlaceCamera(XVector3(1.0f, 0.0f, 3.0f), 0.0f, 0.0f, 2.0f);
    mesh->GetPositions()[2] = XVector3(1.0f, 2.0f, 13.0f);
    renderer.DrawSpotlight(camera, eye, camera.GetViewDirection());
    const XVector3 direction = mesh->GetNormals()[2];
    EXPECT_NEAR(direction.x, 0.0f, 1e-4f);
    EXPECT_NEAR(direction.y, 0.0f, 1e-4f);
    EXPECT_NEAR(direction.z, 10.0f, 1e-4f);
}

TEST_F(Spotlight, WorldWithoutNormalsIsStillLit)
{
    SetSceneColors({kGrey, kWhite});
    SetMaterials({{0, 1, 1.0f}});
    std::unique_ptr<XMesh> mesh = std::make_unique<XMesh>();
    const std::unique_ptr<XMesh> model = QuadMesh({{0.0f, 0.0f, 10.0f, 20.0f}});
    mesh->Create(4, 2, XMesh::kPositions | XMesh::kTexCoordsA | XMesh::kTexCoordsB);
    for (int v = 0; v < 4; ++v) {
        mesh->GetPositions()[v] = model->GetPositions()[v];
        mesh->GetTexCoordsA()[v] = model->GetTexCoordsA()[v];
        mesh->GetTexCoordsB()[v] = model->GetTexCoordsB()[v];
    }
    for (int i = 0; i < 6; ++i) {
        mesh->GetTriangles()[i] = model->GetTriangles()[i];
    }
    AddNode(scene, "world", std::move(mesh), {{0, 2}});
    renderer.SetScene(&scene);
    renderer.DrawWorld(scene);
    renderer.DrawSpotlight(camera, origin, camera.GetViewDirection());
    EXPECT_TRUE(PixelNear(400, 300, {200, 200, 200}, 3));
}

TEST_F(Spotlight, WithoutAWorldNothingIsAdded)
{
    SetSceneColors({kGrey, kWhite});
    SetMaterials({{0, 1, 1.0f}});
    AddNode(scene, "hall", QuadMesh({{0.0f, 0.0f, 10.0f, 20.0f}}), {{0, 2}});
    renderer.SetScene(&scene);
    renderer.DrawWorld(scene);
    renderer.DrawSpotlight(camera, origin, camera.GetViewDirection());
    EXPECT_TRUE(PixelNear(400, 300, kGrey, 1));
}

} // namespace
