// The core group on Linux: the GLX context entry points, looked up in libGL.so.1.
// Pairs with unit_opengl_api_windows_core_routines_version_011_wgl.cpp; the WGL variables of
// the shared header are not defined in this build.
#include "opengl/opengl_entry_point_lookup.h"
#include "opengl/unit_opengl_api_windows_core_routines_version_011.h"

// The system declarations, only to hold ours against them.
#include <GL/glx.h>

#include <type_traits>

TGLXContext (*TOpenGLAPIWindowsCore::glXCreateNewContext)(TGLXDisplay, TGLXFBConfig, int,
                                                          TGLXContext, TGLXBool) = nullptr;
TGLXBool (*TOpenGLAPIWindowsCore::glXMakeCurrent)(TGLXDisplay, TGLXDrawable, TGLXContext) = nullptr;
TGLXContext (*TOpenGLAPIWindowsCore::glXGetCurrentContext)() = nullptr;
TGLXDrawable (*TOpenGLAPIWindowsCore::glXGetCurrentDrawable)() = nullptr;
void (*TOpenGLAPIWindowsCore::glXDestroyContext)(TGLXDisplay, TGLXContext) = nullptr;

static_assert(std::is_same_v<decltype(TOpenGLAPIWindowsCore::glXCreateNewContext),
                             decltype(&::glXCreateNewContext)>);
static_assert(
    std::is_same_v<decltype(TOpenGLAPIWindowsCore::glXMakeCurrent), decltype(&::glXMakeCurrent)>);
static_assert(std::is_same_v<decltype(TOpenGLAPIWindowsCore::glXGetCurrentContext),
                             decltype(&::glXGetCurrentContext)>);
static_assert(std::is_same_v<decltype(TOpenGLAPIWindowsCore::glXGetCurrentDrawable),
                             decltype(&::glXGetCurrentDrawable)>);
static_assert(std::is_same_v<decltype(TOpenGLAPIWindowsCore::glXDestroyContext),
                             decltype(&::glXDestroyContext)>);

bool TOpenGLAPIWindowsCore::LookUpEntryPoints() {
  static const TOpenGLEntryPointSlot slots[] = {
      OPENGL_ENTRY_POINT_SLOT(TOpenGLAPIWindowsCore, glXCreateNewContext),
      OPENGL_ENTRY_POINT_SLOT(TOpenGLAPIWindowsCore, glXMakeCurrent),
      OPENGL_ENTRY_POINT_SLOT(TOpenGLAPIWindowsCore, glXGetCurrentContext),
      OPENGL_ENTRY_POINT_SLOT(TOpenGLAPIWindowsCore, glXGetCurrentDrawable),
      OPENGL_ENTRY_POINT_SLOT(TOpenGLAPIWindowsCore, glXDestroyContext),
  };
  return LookUpOpenGLEntryPoints(slots);
}
