// XTextureCube: a cube-map texture (the spotlight's projected spot and the normalization map).
//
// Cube maps always sample clamped and linearly filtered; their own wrap and filter fields are kept for the
// record but not applied.
// Depends on: XTexture, XExtensions.
#pragma once

#include "render/XTexture.h"

class XTextureCube : public XTexture {
public:
    XTextureCube();
    ~XTextureCube() override = default;

    // Enables and binds the cube map on the active unit (the unit is selected only when multitexture is
    // reported, which it never is), clamped to the edge in S, T and R and filtered with GL_LINEAR.
    void Bind(int unit) override;
};
