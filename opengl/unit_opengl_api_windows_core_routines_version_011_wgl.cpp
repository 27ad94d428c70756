// The core group on Windows: the WGL context entry points, looked up in opengl32.dll.
// Pairs with unit_opengl_api_windows_core_routines_version_011_glx.cpp; the GLX variables of
// the shared header are not defined in this build.
#include "opengl/opengl_entry_point_lookup.h"
#include "opengl/unit_opengl_api_windows_core_routines_version_011.h"

// After our headers: windows.h #defines LoadLibrary, which names a member of ours. The system
// declarations are here only to hold ours against them.
#include <windows.h>

#include <type_traits>

TWGLRenderingContext(VANTREL_APIENTRY* TOpenGLAPIWindowsCore::wglCreateContext)(TWGLDeviceContext) =
    nullptr;
TWGLBool(VANTREL_APIENTRY* TOpenGLAPIWindowsCore::wglMakeCurrent)(TWGLDeviceContext,
                                                                  TWGLRenderingContext) = nullptr;
TWGLRenderingContext(VANTREL_APIENTRY* TOpenGLAPIWindowsCore::wglGetCurrentContext)() = nullptr;
TWGLDeviceContext(VANTREL_APIENTRY* TOpenGLAPIWindowsCore::wglGetCurrentDC)() = nullptr;
TWGLBool(VANTREL_APIENTRY* TOpenGLAPIWindowsCore::wglDeleteContext)(TWGLRenderingContext) = nullptr;

static_assert(std::is_same_v<decltype(TOpenGLAPIWindowsCore::wglCreateContext),
                             decltype(&::wglCreateContext)>);
static_assert(
    std::is_same_v<decltype(TOpenGLAPIWindowsCore::wglMakeCurrent), decltype(&::wglMakeCurrent)>);
static_assert(std::is_same_v<decltype(TOpenGLAPIWindowsCore::wglGetCurrentContext),
                             decltype(&::wglGetCurrentContext)>);
static_assert(
    std::is_same_v<decltype(TOpenGLAPIWindowsCore::wglGetCurrentDC), decltype(&::wglGetCurrentDC)>);
static_assert(std::is_same_v<decltype(TOpenGLAPIWindowsCore::wglDeleteContext),
                             decltype(&::wglDeleteContext)>);

bool TOpenGLAPIWindowsCore::LookUpEntryPoints() {
  static const TOpenGLEntryPointSlot slots[] = {
      OPENGL_ENTRY_POINT_SLOT(TOpenGLAPIWindowsCore, wglCreateContext),
      OPENGL_ENTRY_POINT_SLOT(TOpenGLAPIWindowsCore, wglMakeCurrent),
      OPENGL_ENTRY_POINT_SLOT(TOpenGLAPIWindowsCore, wglGetCurrentContext),
      OPENGL_ENTRY_POINT_SLOT(TOpenGLAPIWindowsCore, wglGetCurrentDC),
      OPENGL_ENTRY_POINT_SLOT(TOpenGLAPIWindowsCore, wglDeleteContext),
  };
  return LookUpOpenGLEntryPoints(slots);
}
