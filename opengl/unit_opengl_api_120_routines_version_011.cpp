// The OpenGL 1.2 registration; see unit_opengl_api_120_routines_version_011.h.
#include "opengl/unit_opengl_api_120_routines_version_011.h"

#include "opengl/unit_TOpenGLVersion_version_011.h"

void RegisterOpenGLAPI120Routines() {
  OpenGLVersionAvailable[GL_VERSION_120] = true;
}
