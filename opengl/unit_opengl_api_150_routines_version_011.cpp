// The OpenGL 1.5 registration; see unit_opengl_api_150_routines_version_011.h.
#include "opengl/unit_opengl_api_150_routines_version_011.h"

#include "opengl/unit_TOpenGLVersion_version_011.h"

void RegisterOpenGLAPI150Routines() {
  OpenGLVersionAvailable[GL_VERSION_150] = true;
}
