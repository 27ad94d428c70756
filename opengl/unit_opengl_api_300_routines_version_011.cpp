// The OpenGL 3.0 registration; see unit_opengl_api_300_routines_version_011.h.
#include "opengl/unit_opengl_api_300_routines_version_011.h"

#include "opengl/unit_TOpenGLVersion_version_011.h"

void RegisterOpenGLAPI300Routines() {
  OpenGLVersionAvailable[GL_VERSION_300] = true;
}
