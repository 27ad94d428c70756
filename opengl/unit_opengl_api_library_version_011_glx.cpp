// The OpenGL system library of the Linux build (GLX through Mesa or the vendor-neutral
// dispatcher). Pairs with unit_opengl_api_library_version_011_wgl.cpp.
#include "opengl/unit_opengl_api_library_version_011.h"

const char* const OpenGLSystemLibraryName = "libGL.so.1";
