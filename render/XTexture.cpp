// XTexture: GL texture ownership and the parameters shared by every texture class.
#include "render/XTexture.h"

XTexture::XTexture(int32_t textureType, const char* textureName, GLenum textureWrap)
    : type(textureType), name(textureName), wrap(textureWrap)
{
}

XTexture::~XTexture()
{
    DeleteName();
}

void XTexture::Bind(int /*unit*/)
{
}

void XTexture::GenerateName()
{
    DeleteName();
    glGenTextures(1, &id);
}

void XTexture::DeleteName()
{
    if (id != 0 && glIsTexture(id)) {
        glDeleteTextures(1, &id);
    }
    // Forget the name: OpenGL hands it out again, and this object must never delete another texture's name.
    id = 0;
}

void XTexture::SetName(const std::string& newName)
{
    name = newName;
}

void XTexture::SetWrap(GLenum newWrap)
{
    wrap = newWrap;
}

void XTexture::SetFilter(GLenum filter)
{
    minFilter = filter;
    magFilter = filter;
}

namespace {

// Magnification has no mipmap modes: a mipmap filter magnifies with its base filter. (Handing OpenGL the
// mipmap mode would leave the same filter in place, by refusing it with an error every bind.)
GLenum MagnificationFilter(GLenum filter)
{
    switch (filter) {
    case GL_NEAREST_MIPMAP_NEAREST:
    case GL_NEAREST_MIPMAP_LINEAR:
        return GL_NEAREST;
    case GL_LINEAR_MIPMAP_NEAREST:
    case GL_LINEAR_MIPMAP_LINEAR:
        return GL_LINEAR;
    default:
        return filter;
    }
}

} // namespace

void XTexture::ApplyParameters(GLenum target) const
{
    glTexParameteri(target, GL_TEXTURE_WRAP_S, static_cast<GLint>(wrap));
    glTexParameteri(target, GL_TEXTURE_WRAP_T, static_cast<GLint>(wrap));
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(MagnificationFilter(magFilter)));
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
}
