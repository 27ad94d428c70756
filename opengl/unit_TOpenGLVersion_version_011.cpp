// The version registry; see unit_TOpenGLVersion_version_011.h.
#include "opengl/unit_TOpenGLVersion_version_011.h"

bool OpenGLVersionAvailable[OpenGLVersionCount] = {};

TOpenGLVersion HighestOpenGLVersionAvailable() {
  for (int version = GL_VERSION_440; version >= GL_VERSION_NONE; --version) {
    if (OpenGLVersionAvailable[version]) {
      return static_cast<TOpenGLVersion>(version);
    }
  }
  return GL_VERSION_NONE;
}
