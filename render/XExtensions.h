// XExtensions: the OpenGL extension entry points and the extension query.
//
// The entry points of the extensions the renderers use are fetched by name once, after the GL context exists,
// into a fixed table. The query that gates the optional paths answers "absent" for every extension, so every
// gated path takes its plain OpenGL 1.x fallback; only the multitexture entry points are called without asking.
// The pointers live in their own struct so that they never collide with the prototypes that <GL/gl.h> declares
// under the same names; the rest of the engine calls them through the small wrappers below.
// Depends on: OpenGL, SDL2 (SDL_GL_GetProcAddress).
#pragma once

#include <GL/gl.h>    // GLenum, GLfloat
#include <GL/glext.h> // PFNGL...PROC

#include <cstddef> // size_t

// The entry points the engine calls. Null until LoadExtensionEntryPoints has run.
struct XExtensionEntryPoints {
    PFNGLACTIVETEXTUREARBPROC activeTexture = nullptr;
    PFNGLCLIENTACTIVETEXTUREARBPROC clientActiveTexture = nullptr;
    PFNGLSECONDARYCOLORPOINTEREXTPROC secondaryColorPointer = nullptr;
    PFNGLPOINTPARAMETERFEXTPROC pointParameterf = nullptr;
    PFNGLPOINTPARAMETERFVEXTPROC pointParameterfv = nullptr;
};

// Fetches every entry point of the table by name; needs a current GL context. A missing function is not
// reported (the platform hands out stubs for unknown names anyway: decide by the query, never by the pointer).
void LoadExtensionEntryPoints();

// True once LoadExtensionEntryPoints has run.
bool ExtensionEntryPointsLoaded();

// The entry points the engine calls.
const XExtensionEntryPoints& GetExtensionEntryPoints();

// The whole table: how many names it holds, and the address stored for one name (null when the name is not
// in the table or was not fetched).
size_t ExtensionEntryPointCount();
void* GetExtensionEntryPoint(const char* name);

// Whether an optional extension path may run. Always false: the engine runs on plain OpenGL 1.x paths.
bool IsExtensionSupported(const char* name);

// Switches off GL_REGISTER_COMBINERS_NV / GL_VERTEX_PROGRAM_NV, so that such state left by other code cannot
// affect a pass. Nothing in the engine enables them; on a driver without the extension the capability does not
// exist and the call is skipped (glDisable would only raise GL_INVALID_ENUM, every frame).
void DisableRegisterCombiners();
void DisableVertexProgram();

// Whether the driver itself lists the extension (GL_EXTENSIONS), independent of IsExtensionSupported.
bool DriverListsExtension(const char* name);

// Makes GL_TEXTURE0 + unit the active texture unit (glActiveTextureARB).
void SelectTextureUnit(int unit);

// Makes GL_TEXTURE0 + unit the client texture unit that array calls address (glClientActiveTextureARB).
void SelectClientTextureUnit(int unit);

// glSecondaryColorPointerEXT and glPointParameterf(v)EXT, for the gated paths only.
void SetSecondaryColorPointer(GLint size, GLenum type, GLsizei stride, const void* pointer);
void SetPointParameter(GLenum name, GLfloat value);
void SetPointParameterVector(GLenum name, const GLfloat* values);
