// The OpenGL 2.1 registration; see unit_opengl_api_210_routines_version_011.h.
#include "opengl/unit_opengl_api_210_routines_version_011.h"

#include "opengl/unit_TOpenGLVersion_version_011.h"

void RegisterOpenGLAPI210Routines() {
  OpenGLVersionAvailable[GL_VERSION_210] = true;
}
