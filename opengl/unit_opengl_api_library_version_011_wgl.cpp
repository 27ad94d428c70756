// The OpenGL system library of the Windows build. Pairs with
// unit_opengl_api_library_version_011_glx.cpp.
#include "opengl/unit_opengl_api_library_version_011.h"

const char* const OpenGLSystemLibraryName = "opengl32.dll";
