// The OpenGL 2.0 routine unit: the program resolves no OpenGL 2.0 entry point; the unit
// only tells the version registry that the program carries it.
#pragma once

// Sets the registry entry for GL_VERSION_200.
void RegisterOpenGLAPI200Routines();
