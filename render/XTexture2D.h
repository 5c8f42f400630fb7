// XTexture2D: a two-dimensional texture, the kind every picture, raw resource and font becomes.
// Depends on: XTexture.
#pragma once

#include "render/XTexture.h"

class XTexture2D : public XTexture {
public:
    XTexture2D();
    ~XTexture2D() override = default;

    // Selects the unit, enables GL_TEXTURE_2D there, binds and applies wrap, magnification and minification
    // filters in that order.
    void Bind(int unit) override;
};
