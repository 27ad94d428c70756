// The OpenGL versions and the registry of those the program carries a routine group for.
// The routine units fill the registry at start-up (opengl_routine_units.h); it never asks the
// driver anything.
#pragma once

#include <cstdint>

enum TOpenGLVersion : uint8_t {
  GL_VERSION_NONE,
  GL_VERSION_100,
  GL_VERSION_110,
  GL_VERSION_120,
  GL_VERSION_130,
  GL_VERSION_140,
  GL_VERSION_150,
  GL_VERSION_200,
  GL_VERSION_210,
  GL_VERSION_300,
  GL_VERSION_310,
  GL_VERSION_320,
  GL_VERSION_330,
  GL_VERSION_400,
  GL_VERSION_410,
  GL_VERSION_420,
  GL_VERSION_430,
  GL_VERSION_440
};

inline constexpr int OpenGLVersionCount = GL_VERSION_440 + 1;

// Indexed by TOpenGLVersion; an entry only ever goes from false to true.
extern bool OpenGLVersionAvailable[OpenGLVersionCount];

// The highest registered version; GL_VERSION_NONE when none is.
TOpenGLVersion HighestOpenGLVersionAvailable();
