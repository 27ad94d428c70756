// The OpenGL 1.3 registration; see unit_opengl_api_130_routines_version_011.h.
#include "opengl/unit_opengl_api_130_routines_version_011.h"

#include "opengl/unit_TOpenGLVersion_version_011.h"

void RegisterOpenGLAPI130Routines() {
  OpenGLVersionAvailable[GL_VERSION_130] = true;
}
