// XExtensions: the entry-point table, filled by name, and the extension query.
#include "render/XExtensions.h"

#include <SDL.h> // SDL_GL_GetProcAddress

#include <cstring> // strcmp, strlen, strstr

namespace {

struct XExtensionEntry {
    const char* name;
    void* address;
};

// The extension functions of the era the renderers were written for. Only the multitexture, secondary-colour
// and point-parameter entries are called; the rest are fetched so that a gated path could use them.
XExtensionEntry entryTable[] = {
    // ARB_multitexture
    {"glActiveTextureARB", nullptr},
    {"glClientActiveTextureARB", nullptr},
    {"glMultiTexCoord1fARB", nullptr},
    {"glMultiTexCoord1fvARB", nullptr},
    {"glMultiTexCoord2fARB", nullptr},
    {"glMultiTexCoord2fvARB", nullptr},
    {"glMultiTexCoord3fARB", nullptr},
    {"glMultiTexCoord3fvARB", nullptr},
    {"glMultiTexCoord4fARB", nullptr},
    {"glMultiTexCoord4fvARB", nullptr},
    // ARB_texture_compression
    {"glCompressedTexImage1DARB", nullptr},
    {"glCompressedTexImage2DARB", nullptr},
    {"glCompressedTexImage3DARB", nullptr},
    {"glCompressedTexSubImage1DARB", nullptr},
    {"glCompressedTexSubImage2DARB", nullptr},
    {"glCompressedTexSubImage3DARB", nullptr},
    {"glGetCompressedTexImageARB", nullptr},
    // ARB_transpose_matrix, ARB_multisample
    {"glLoadTransposeMatrixfARB", nullptr},
    {"glLoadTransposeMatrixdARB", nullptr},
    {"glMultTransposeMatrixfARB", nullptr},
    {"glMultTransposeMatrixdARB", nullptr},
    {"glSampleCoverageARB", nullptr},
    // ARB_point_parameters, ARB_window_pos
    {"glPointParameterfARB", nullptr},
    {"glPointParameterfvARB", nullptr},
    {"glWindowPos2fARB", nullptr},
    {"glWindowPos3fARB", nullptr},
    // ARB_vertex_program
    {"glVertexAttribPointerARB", nullptr},
    {"glEnableVertexAttribArrayARB", nullptr},
    {"glDisableVertexAttribArrayARB", nullptr},
    {"glProgramStringARB", nullptr},
    {"glBindProgramARB", nullptr},
    {"glDeleteProgramsARB", nullptr},
    {"glGenProgramsARB", nullptr},
    {"glProgramEnvParameter4fARB", nullptr},
    {"glProgramEnvParameter4fvARB", nullptr},
    {"glProgramLocalParameter4fARB", nullptr},
    {"glProgramLocalParameter4fvARB", nullptr},
    {"glGetProgramivARB", nullptr},
    {"glIsProgramARB", nullptr},
    // ARB_vertex_buffer_object
    {"glBindBufferARB", nullptr},
    {"glDeleteBuffersARB", nullptr},
    {"glGenBuffersARB", nullptr},
    {"glIsBufferARB", nullptr},
    {"glBufferDataARB", nullptr},
    {"glBufferSubDataARB", nullptr},
    {"glMapBufferARB", nullptr},
    {"glUnmapBufferARB", nullptr},
    // EXT_texture3D, EXT_blend_color, EXT_blend_minmax
    {"glTexImage3DEXT", nullptr},
    {"glTexSubImage3DEXT", nullptr},
    {"glBlendColorEXT", nullptr},
    {"glBlendEquationEXT", nullptr},
    // EXT_compiled_vertex_array, EXT_draw_range_elements, EXT_multi_draw_arrays
    {"glLockArraysEXT", nullptr},
    {"glUnlockArraysEXT", nullptr},
    {"glDrawRangeElementsEXT", nullptr},
    {"glMultiDrawArraysEXT", nullptr},
    {"glMultiDrawElementsEXT", nullptr},
    // EXT_secondary_color
    {"glSecondaryColor3fEXT", nullptr},
    {"glSecondaryColor3fvEXT", nullptr},
    {"glSecondaryColor3ubEXT", nullptr},
    {"glSecondaryColor3ubvEXT", nullptr},
    {"glSecondaryColorPointerEXT", nullptr},
    // EXT_fog_coord, EXT_point_parameters, EXT_blend_func_separate, EXT_stencil_two_side
    {"glFogCoordfEXT", nullptr},
    {"glFogCoordfvEXT", nullptr},
    {"glFogCoordPointerEXT", nullptr},
    {"glPointParameterfEXT", nullptr},
    {"glPointParameterfvEXT", nullptr},
    {"glBlendFuncSeparateEXT", nullptr},
    {"glActiveStencilFaceEXT", nullptr},
    // EXT_vertex_weighting
    {"glVertexWeightfEXT", nullptr},
    {"glVertexWeightfvEXT", nullptr},
    {"glVertexWeightPointerEXT", nullptr},
    // NV_register_combiners, NV_register_combiners2
    {"glCombinerParameterfvNV", nullptr},
    {"glCombinerParameterfNV", nullptr},
    {"glCombinerParameterivNV", nullptr},
    {"glCombinerParameteriNV", nullptr},
    {"glCombinerInputNV", nullptr},
    {"glCombinerOutputNV", nullptr},
    {"glFinalCombinerInputNV", nullptr},
    {"glGetCombinerInputParameterfvNV", nullptr},
    {"glGetCombinerOutputParameterfvNV", nullptr},
    {"glGetFinalCombinerInputParameterfvNV", nullptr},
    {"glCombinerStageParameterfvNV", nullptr},
    // NV_vertex_program
    {"glBindProgramNV", nullptr},
    {"glDeleteProgramsNV", nullptr},
    {"glGenProgramsNV", nullptr},
    {"glLoadProgramNV", nullptr},
    {"glProgramParameter4fNV", nullptr},
    {"glProgramParameter4fvNV", nullptr},
    {"glTrackMatrixNV", nullptr},
    {"glVertexAttribPointerNV", nullptr},
    {"glIsProgramNV", nullptr},
    // NV_vertex_array_range, NV_fence, NV_occlusion_query
    {"glFlushVertexArrayRangeNV", nullptr},
    {"glVertexArrayRangeNV", nullptr},
    {"glGenFencesNV", nullptr},
    {"glDeleteFencesNV", nullptr},
    {"glSetFenceNV", nullptr},
    {"glTestFenceNV", nullptr},
    {"glFinishFenceNV", nullptr},
    {"glGenOcclusionQueriesNV", nullptr},
    {"glDeleteOcclusionQueriesNV", nullptr},
    {"glBeginOcclusionQueryNV", nullptr},
    {"glEndOcclusionQueryNV", nullptr},
    {"glGetOcclusionQueryuivNV", nullptr},
    // WGL-era swap control, kept under the GLX name of this platform
    {"glXSwapIntervalMESA", nullptr},
    {"glXSwapIntervalSGI", nullptr},
};

XExtensionEntryPoints entryPoints;
bool loaded = false;

void* FindEntry(const char* name)
{
    for (const XExtensionEntry& entry : entryTable) {
        if (std::strcmp(entry.name, name) == 0) {
            return entry.address;
        }
    }
    return nullptr;
}

// Object and function pointers do not convert implicitly; the platform guarantees they share a representation.
template <typename FunctionPointer>
FunctionPointer AsFunction(void* address)
{
    return reinterpret_cast<FunctionPointer>(address);
}

// Loads the table on first use when the start-up has not done it yet (tests, tools).
void EnsureLoaded()
{
    if (!loaded) {
        LoadExtensionEntryPoints();
    }
}

} // namespace

void LoadExtensionEntryPoints()
{
    for (XExtensionEntry& entry : entryTable) {
        entry.address = SDL_GL_GetProcAddress(entry.name);
    }
    entryPoints.activeTexture = AsFunction<PFNGLACTIVETEXTUREARBPROC>(FindEntry("glActiveTextureARB"));
    entryPoints.clientActiveTexture =
        AsFunction<PFNGLCLIENTACTIVETEXTUREARBPROC>(FindEntry("glClientActiveTextureARB"));
    entryPoints.secondaryColorPointer =
        AsFunction<PFNGLSECONDARYCOLORPOINTEREXTPROC>(FindEntry("glSecondaryColorPointerEXT"));
    entryPoints.pointParameterf = AsFunction<PFNGLPOINTPARAMETERFEXTPROC>(FindEntry("glPointParameterfEXT"));
    entryPoints.pointParameterfv = AsFunction<PFNGLPOINTPARAMETERFVEXTPROC>(FindEntry("glPointParameterfvEXT"));
    loaded = true;
}

bool ExtensionEntryPointsLoaded()
{
    return loaded;
}

const XExtensionEntryPoints& GetExtensionEntryPoints()
{
    return entryPoints;
}

size_t ExtensionEntryPointCount()
{
    return sizeof(entryTable) / sizeof(entryTable[0]);
}

void* GetExtensionEntryPoint(const char* name)
{
    return FindEntry(name);
}

bool IsExtensionSupported(const char* /*name*/)
{
    return false;
}

bool DriverListsExtension(const char* name)
{
    const char* const list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (list == nullptr || name == nullptr || name[0] == '\0') {
        return false;
    }
    // Whole names only: one extension's name may begin another's.
    const size_t length = std::strlen(name);
    for (const char* found = std::strstr(list, name); found != nullptr; found = std::strstr(found + 1, name)) {
        const bool startsName = found == list || found[-1] == ' ';
        const bool endsName = found[length] == ' ' || found[length] == '\0';
        if (startsName && endsName) {
            return true;
        }
    }
    return false;
}

void DisableRegisterCombiners()
{
    static const bool present = DriverListsExtension("GL_NV_register_combiners");
    if (present) {
        glDisable(GL_REGISTER_COMBINERS_NV);
    }
}

void DisableVertexProgram()
{
    static const bool present = DriverListsExtension("GL_NV_vertex_program");
    if (present) {
        glDisable(GL_VERTEX_PROGRAM_NV);
    }
}

void SelectTextureUnit(int unit)
{
    EnsureLoaded();
    const GLenum texture = static_cast<GLenum>(GL_TEXTURE0_ARB + unit);
    if (entryPoints.activeTexture != nullptr) {
        entryPoints.activeTexture(texture);
    } else {
        glActiveTexture(texture); // no video subsystem to ask: the OpenGL 1.3 core function is the same call
    }
}

void SelectClientTextureUnit(int unit)
{
    EnsureLoaded();
    const GLenum texture = static_cast<GLenum>(GL_TEXTURE0_ARB + unit);
    if (entryPoints.clientActiveTexture != nullptr) {
        entryPoints.clientActiveTexture(texture);
    } else {
        glClientActiveTexture(texture);
    }
}

void SetSecondaryColorPointer(GLint size, GLenum type, GLsizei stride, const void* pointer)
{
    EnsureLoaded();
    if (entryPoints.secondaryColorPointer != nullptr) {
        entryPoints.secondaryColorPointer(size, type, stride, pointer);
    }
}

void SetPointParameter(GLenum name, GLfloat value)
{
    EnsureLoaded();
    if (entryPoints.pointParameterf != nullptr) {
        entryPoints.pointParameterf(name, value);
    }
}

void SetPointParameterVector(GLenum name, const GLfloat* values)
{
    EnsureLoaded();
    if (entryPoints.pointParameterfv != nullptr) {
        entryPoints.pointParameterfv(name, values);
    }
}
