// The OpenGL 2.0 registration; see unit_opengl_api_200_routines_version_011.h.
#include "opengl/unit_opengl_api_200_routines_version_011.h"

#include "opengl/unit_TOpenGLVersion_version_011.h"

void RegisterOpenGLAPI200Routines() {
  OpenGLVersionAvailable[GL_VERSION_200] = true;
}
