// The OpenGL 1.3 routine unit: the program resolves no OpenGL 1.3 entry point; the unit
// only tells the version registry that the program carries it.
#pragma once

// Sets the registry entry for GL_VERSION_130.
void RegisterOpenGLAPI130Routines();
