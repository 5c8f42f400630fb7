// XTexture1D: binding of one-dimensional textures.
#include "render/XTexture1D.h"

#include "render/XExtensions.h"

XTexture1D::XTexture1D() : XTexture(1, "1D", GL_REPEAT)
{
}

void XTexture1D::Bind(int unit)
{
    SelectTextureUnit(unit);
    glBindTexture(GL_TEXTURE_1D, id);
    ApplyParameters(GL_TEXTURE_1D);
}
