// TextureUnits: per-unit texture target switches.
#include "render/TextureUnits.h"

#include "render/XExtensions.h"

#include <GL/gl.h>

namespace {

const int kBothUnits = -1;

void UnbindTarget(GLenum target, int unit)
{
    if (unit == kBothUnits) {
        SelectTextureUnit(0);
        glBindTexture(target, 0);
        SelectTextureUnit(1);
        glBindTexture(target, 0);
    } else {
        SelectTextureUnit(unit);
        glBindTexture(target, 0);
    }
}

void DisableTarget(GLenum target, int unit)
{
    if (unit == kBothUnits) {
        SelectTextureUnit(0);
        glDisable(target);
        SelectTextureUnit(1);
        glDisable(target);
    } else {
        SelectTextureUnit(unit);
        glDisable(target);
    }
}

} // namespace

void UnbindTexture2D(int unit)
{
    UnbindTarget(GL_TEXTURE_2D, unit);
}

void UnbindTexture1D(int unit)
{
    UnbindTarget(GL_TEXTURE_1D, unit);
}

void UnbindCubeMap(int unit)
{
    UnbindTarget(GL_TEXTURE_CUBE_MAP_ARB, unit);
}

void DisableTextures(int unit)
{
    if (unit == kBothUnits) {
        for (int each = 0; each < 2; ++each) {
            SelectTextureUnit(each);
            glDisable(GL_TEXTURE_1D);
            glDisable(GL_TEXTURE_2D);
            glDisable(GL_TEXTURE_CUBE_MAP_ARB);
        }
    } else {
        SelectTextureUnit(unit);
        glDisable(GL_TEXTURE_1D);
        glDisable(GL_TEXTURE_2D);
    }
}

void DisableTexture1D(int unit)
{
    DisableTarget(GL_TEXTURE_1D, unit);
}

void DisableTexture2D(int unit)
{
    const int first = unit == kBothUnits ? 0 : unit;
    const int last = unit == kBothUnits ? 1 : unit;
    for (int each = first; each <= last; ++each) {
        SelectTextureUnit(each);
        glDisable(GL_TEXTURE_2D);
        SelectClientTextureUnit(each);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
}

void DisableCubeMap(int unit)
{
    if (unit == kBothUnits) {
        for (int each = 0; each < 2; ++each) {
            SelectTextureUnit(each);
            glDisable(GL_TEXTURE_CUBE_MAP_ARB);
            SelectClientTextureUnit(each);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
    } else {
        SelectTextureUnit(unit);
        glDisable(GL_TEXTURE_CUBE_MAP_ARB);
    }
}

void EnableTexture2D(int unit)
{
    if (IsExtensionSupported("GL_ARB_multitexture")) {
        if (unit == kBothUnits) {
            SelectTextureUnit(0);
            glEnable(GL_TEXTURE_2D);
            SelectTextureUnit(1);
        } else {
            SelectTextureUnit(unit);
        }
    }
    glEnable(GL_TEXTURE_2D);
}
