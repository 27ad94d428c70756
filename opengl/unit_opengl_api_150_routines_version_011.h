// The OpenGL 1.5 routine unit: the program resolves no OpenGL 1.5 entry point; the unit
// only tells the version registry that the program carries it.
#pragma once

// Sets the registry entry for GL_VERSION_150.
void RegisterOpenGLAPI150Routines();
