// VertexArrays: client-array and texture-unit switches.
#include "render/VertexArrays.h"

#include "render/XExtensions.h"

#include <GL/gl.h>

namespace {

// The renderers' multitexture check; the name is deliberately not an extension any driver lists.
bool MultitextureReported()
{
    return IsExtensionSupported("XGL_ARB_multitexture");
}

void SetClientState(GLenum array, bool on)
{
    if (on) {
        glEnableClientState(array);
    } else {
        glDisableClientState(array);
    }
}

} // namespace

void EnableVertexArray(bool on)
{
    SetClientState(GL_VERTEX_ARRAY, on);
}

void EnableNormalArray(bool on)
{
    SetClientState(GL_NORMAL_ARRAY, on);
}

void EnableColorArray(bool on)
{
    SetClientState(GL_COLOR_ARRAY, on);
}

void SetVertexPointer(const XVector3* positions)
{
    glVertexPointer(3, GL_FLOAT, 0, positions);
}

void SetNormalPointer(const XVector3* normals)
{
    glNormalPointer(GL_FLOAT, 0, normals);
}

void EnableTexCoordArray(bool on)
{
    if (MultitextureReported()) {
        SelectClientTextureUnit(0);
    }
    SetClientState(GL_TEXTURE_COORD_ARRAY, on);
}

void EnableTexCoordArray0(bool on)
{
    SelectClientTextureUnit(0);
    SetClientState(GL_TEXTURE_COORD_ARRAY, on);
}

void EnableTexCoordArrays(bool on)
{
    EnableTexCoordArray(on);
    EnableTexCoordArray0(on);
}

void SetTexCoordPointer(int unit, int size, const float* coordinates)
{
    if (!MultitextureReported()) {
        SelectClientTextureUnit(unit);
        glTexCoordPointer(size, GL_FLOAT, 0, coordinates);
    } else if (unit == 0) {
        glTexCoordPointer(size, GL_FLOAT, 0, coordinates);
    }
}

void SetActiveTexture(int unit)
{
    if (!MultitextureReported()) {
        SelectTextureUnit(unit);
    }
}

void EmitVertex(const XVector3& v)
{
    glVertex3f(v.x, v.y, v.z);
}

void Translate(const XVector3& v)
{
    glTranslatef(v.x, v.y, v.z);
}
