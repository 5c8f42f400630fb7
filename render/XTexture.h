// XTexture: an OpenGL texture object with the parameters the engine applies each time it is bound.
//
// The base class binds nothing; XTexture1D, XTexture2D and XTextureCube bind their own targets. Wrap mode and
// filters are fields rather than GL state because the engine re-applies them at every bind: a texture shared
// by several passes always draws with its own settings. The texture owns its GL texture object and deletes it
// when it is destroyed.
// Depends on: OpenGL.
#pragma once

#include <GL/gl.h> // GLenum, GLuint

#include <cstdint> // int32_t
#include <string>

class XTexture {
public:
    XTexture() = default;
    XTexture(const XTexture&) = delete;
    XTexture& operator=(const XTexture&) = delete;
    virtual ~XTexture();

    // Makes the texture current on texture unit `unit` (0 or 1) with its parameters. Nothing for the base class.
    virtual void Bind(int unit);

    // Creates the GL texture object (glGenTextures) that this object will own.
    void GenerateName();
    // Deletes the GL texture object, if there is one; the object stays and can be given a new one.
    void DeleteName();

    void SetName(const std::string& newName);
    void SetWrap(GLenum newWrap);
    // Sets both the minification and the magnification filter. A mipmap mode takes effect for minification only:
    // OpenGL refuses it as a magnification filter and keeps the texture's GL_LINEAR.
    void SetFilter(GLenum filter);

    int32_t GetType() const { return type; }
    const std::string& GetName() const { return name; }
    GLenum GetWrap() const { return wrap; }
    GLuint GetId() const { return id; }
    GLenum GetMinFilter() const { return minFilter; }
    GLenum GetMagFilter() const { return magFilter; }

protected:
    XTexture(int32_t textureType, const char* textureName, GLenum textureWrap);

    // Applies wrap (S and T) and the two filters to the texture bound on `target`.
    void ApplyParameters(GLenum target) const;

    int32_t type = 0; // 0 base and cube, 1 one-dimensional, 2 two-dimensional
    std::string name;
    GLenum wrap = 0;
    GLuint id = 0;
    GLenum minFilter = GL_LINEAR;
    GLenum magFilter = GL_LINEAR;
};
