// The OpenGL 1.1 constants this program passes beyond those of 1.0 (the matrix stacks of the
// fixed-function pipeline). Same coexistence rule as unit_opengl_api_100_types_version_011.h.
#pragma once

#include "opengl/unit_opengl_api_100_types_version_011.h"

#ifndef GL_MODELVIEW
inline constexpr GLenum GL_MODELVIEW = 0x1700;
#endif
#ifndef GL_PROJECTION
inline constexpr GLenum GL_PROJECTION = 0x1701;
#endif
