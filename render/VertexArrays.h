// VertexArrays: the small switches through which every renderer sets OpenGL client arrays and texture units.
//
// The multitexture check of these functions asks for "XGL_ARB_multitexture", a name no driver offers, so they
// always take their plain paths: texture-coordinate pointers select their client unit first, and the array
// switch toggles the array of whichever client unit the last pointer call selected.
// Depends on: OpenGL, XExtensions, XVector3.
#pragma once

#include "math/XVector3.h"

// Client vertex, normal and colour arrays on or off.
void EnableVertexArray(bool on);
void EnableNormalArray(bool on);
void EnableColorArray(bool on);

// Tightly packed position and normal arrays.
void SetVertexPointer(const XVector3* positions);
void SetNormalPointer(const XVector3* normals);

// The texture-coordinate array of the client unit selected now (unit 0 first when multitexture is reported).
void EnableTexCoordArray(bool on);
// The texture-coordinate array of client unit 0.
void EnableTexCoordArray0(bool on);
// EnableTexCoordArray, then EnableTexCoordArray0.
void EnableTexCoordArrays(bool on);

// Selects client unit `unit` (0 or 1) and sets its tightly packed texture-coordinate array of `size` floats.
void SetTexCoordPointer(int unit, int size, const float* coordinates);

// Selects texture unit `unit` (0 or 1) for the texture calls that follow.
void SetActiveTexture(int unit);

// glVertex3f and glTranslatef of a vector.
void EmitVertex(const XVector3& v);
void Translate(const XVector3& v);
