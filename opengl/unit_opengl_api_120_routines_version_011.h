// The OpenGL 1.2 routine unit: the program resolves no OpenGL 1.2 entry point; the unit
// only tells the version registry that the program carries it.
#pragma once

// Sets the registry entry for GL_VERSION_120.
void RegisterOpenGLAPI120Routines();
