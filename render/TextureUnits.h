// TextureUnits: switching texture targets off and unbinding them on the two texture units.
//
// `unit` is 0 or 1 (GL_TEXTURE0 + unit), or -1 for both units, which are then handled unit 0 first.
// Depends on: OpenGL, XExtensions.
#pragma once

// Binds texture 0 to the target on the unit(s).
void UnbindTexture2D(int unit);
void UnbindTexture1D(int unit);
void UnbindCubeMap(int unit);

// One unit: disables GL_TEXTURE_1D and GL_TEXTURE_2D. Both units: also the cube map.
void DisableTextures(int unit);
// Disables GL_TEXTURE_1D.
void DisableTexture1D(int unit);
// Disables GL_TEXTURE_2D and the unit's texture-coordinate client array.
void DisableTexture2D(int unit);
// Disables the cube map; for both units also their texture-coordinate client arrays.
void DisableCubeMap(int unit);
// Enables GL_TEXTURE_2D on the active unit (a unit is selected only when multitexture is reported, which it
// never is).
void EnableTexture2D(int unit);
