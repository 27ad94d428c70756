// The extension group on Windows: wglGetProcAddress from opengl32.dll, then the
// WGL_EXT_swap_control entry points through it. Pairs with
// unit_opengl_api_windows_extensions_routines_version_011_glx.cpp.
#include "opengl/opengl_entry_point_lookup.h"
#include "opengl/unit_opengl_api_windows_extensions_routines_version_011.h"

// After our headers: windows.h #defines LoadLibrary, which names a member of ours. The system
// declarations are here only to hold ours against them.
#include <windows.h>

#include <GL/gl.h>
#include <GL/wglext.h>

#include <type_traits>

TWGLProc(VANTREL_APIENTRY* TOpenGLAPIWindowsExtensions::wglGetProcAddress)(const char*) = nullptr;
TWGLBool(VANTREL_APIENTRY* TOpenGLAPIWindowsExtensions::wglSwapIntervalEXT)(int) = nullptr;
int(VANTREL_APIENTRY* TOpenGLAPIWindowsExtensions::wglGetSwapIntervalEXT)() = nullptr;

static_assert(std::is_same_v<decltype(TOpenGLAPIWindowsExtensions::wglGetProcAddress),
                             decltype(&::wglGetProcAddress)>);
static_assert(std::is_same_v<decltype(TOpenGLAPIWindowsExtensions::wglSwapIntervalEXT),
                             PFNWGLSWAPINTERVALEXTPROC>);
static_assert(std::is_same_v<decltype(TOpenGLAPIWindowsExtensions::wglGetSwapIntervalEXT),
                             PFNWGLGETSWAPINTERVALEXTPROC>);

bool TOpenGLAPIWindowsExtensions::LookUpEntryPoints() {
  wglGetProcAddress = reinterpret_cast<decltype(wglGetProcAddress)>(
      PlatformModuleSymbol(mLibraryHandle, "wglGetProcAddress"));
  if (wglGetProcAddress == nullptr) {
    return false;
  }
  // NOTE: wglGetProcAddress answers null for every name while no rendering context is current.
  wglSwapIntervalEXT = reinterpret_cast<decltype(wglSwapIntervalEXT)>(
      reinterpret_cast<TModuleProc>(wglGetProcAddress("wglSwapIntervalEXT")));
  wglGetSwapIntervalEXT = reinterpret_cast<decltype(wglGetSwapIntervalEXT)>(
      reinterpret_cast<TModuleProc>(wglGetProcAddress("wglGetSwapIntervalEXT")));
  return wglSwapIntervalEXT != nullptr && wglGetSwapIntervalEXT != nullptr;
}

bool TOpenGLAPIWindowsExtensions::SetSwapInterval(int ParaInterval) {
  return wglSwapIntervalEXT(ParaInterval) != FALSE;
}
