// XTexture1D: a one-dimensional texture. The engine creates none; the class completes the family.
// Depends on: XTexture.
#pragma once

#include "render/XTexture.h"

class XTexture1D : public XTexture {
public:
    XTexture1D();
    ~XTexture1D() override = default;

    // Selects the unit and binds on GL_TEXTURE_1D with the texture's parameters (the target is not enabled).
    void Bind(int unit) override;
};
