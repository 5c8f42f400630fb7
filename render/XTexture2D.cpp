// XTexture2D: binding of two-dimensional textures.
#include "render/XTexture2D.h"

#include "render/XExtensions.h"

XTexture2D::XTexture2D() : XTexture(2, "2D", GL_REPEAT)
{
}

void XTexture2D::Bind(int unit)
{
    SelectTextureUnit(unit);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, id);
    ApplyParameters(GL_TEXTURE_2D);
}
