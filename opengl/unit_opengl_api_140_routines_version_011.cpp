// The OpenGL 1.4 registration; see unit_opengl_api_140_routines_version_011.h.
#include "opengl/unit_opengl_api_140_routines_version_011.h"

#include "opengl/unit_TOpenGLVersion_version_011.h"

void RegisterOpenGLAPI140Routines() {
  OpenGLVersionAvailable[GL_VERSION_140] = true;
}
