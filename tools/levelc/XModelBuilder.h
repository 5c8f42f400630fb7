// XModelBuilder: the scene's non-level objects: the sky dome, the two weapon models and the bullet.
//
// The weapons lie around the origin pointing along +z, about 0.3 x 0.3 x 1.2 units, with smooth normals
// on their round parts so that the engine's lit draw shows their shape. Their first texture coordinate set
// (the one the lit draw uses) and the second are the same. The sky dome is a dome of radius 150 around the
// origin whose faces look inwards; its second coordinate set holds the cloud layer's coordinates, which the
// sky pass scrolls.
// Depends on: XSceneObject.
#pragma once

#include "tools/levelc/XSceneObject.h"

class XModelBuilder {
public:
    static constexpr float kSkyRadius = 150.0f;

    static XSceneObject SkyDome(int material);
    static XSceneObject PlasmaGun(int material);
    static XSceneObject RocketLauncher(int material);
    static XSceneObject Bullet(int material);
};
